// What a PDF of prepared pages says beside its pages: the document's title,
// author and subject, an outline entry for each group header the report
// showed, and each page labelled with its number as the report counts it.
#pragma once

#include <vector>

#include "platform/pdf_document_update.h"

namespace quillet {
class TfrEMFPages;
struct DocumentInfo;
}  // namespace quillet

namespace quillet::cli {

// For a PDF whose pages are `indexes` of `pages`, in that order: `info`,
// the creator "Quillet", the outline entries on those pages (each at its
// header's position) and decimal page labels counting as the report counts
// (page index + 1, so a selected range keeps the report's numbers).
PdfDocumentExtras PdfExtrasOf(const TfrEMFPages& pages, const std::vector<int>& indexes,
                              const DocumentInfo& info);

}  // namespace quillet::cli
