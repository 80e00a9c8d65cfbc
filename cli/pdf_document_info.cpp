#include "cli/pdf_document_info.h"

#include <algorithm>

#include "report/prepared/prepared_pages.h"
#include "report/printer/printer.h"
#include "report/template/report_template.h"

namespace quillet::cli {

PdfDocumentExtras PdfExtrasOf(const TfrEMFPages& pages, const std::vector<int>& indexes,
                              const DocumentInfo& info) {
  PdfDocumentExtras extras;
  extras.Title = info.Title;
  extras.Author = info.Author;
  extras.Subject = info.Subject;
  extras.Creator = "Quillet";

  // Where each prepared page went in the document; -1 for those left out.
  std::vector<int> position(std::size_t(pages.Count()), -1);
  std::vector<int> numbers;
  for (std::size_t k = 0; k < indexes.size(); ++k) {
    position[std::size_t(indexes[k])] = int(k);
    numbers.push_back(indexes[k] + 1);  // PAGE# of the page
  }
  extras.PageLabels = DecimalPageLabels(numbers);

  constexpr double kPointsPerInch = 72;
  for (const PageOutlineEntry& entry : pages.Outline) {
    if (entry.PageIndex < 0 || entry.PageIndex >= pages.Count()) continue;
    const int at = position[std::size_t(entry.PageIndex)];
    if (at < 0) continue;
    const PreparedPage& page = pages[entry.PageIndex];
    const int top = std::clamp(entry.Top, 0, std::max(0, page.PageInfo.PaperHeightPx));
    const double y = (page.PageInfo.PaperHeightPx - top) / ReportPixelsPerInch * kPointsPerInch;
    extras.Outline.push_back({entry.Text, at, y, entry.Level});
  }
  return extras;
}

}  // namespace quillet::cli
