// What a reader shows beside a PDF's pages — document information, an
// outline (bookmarks) and page labels — added to a finished PDF as a
// standard incremental update: the bytes appended after the file leave
// every byte before untouched, redefine the catalog and the information
// dictionary, and end with a cross-reference section whose trailer points
// back at the file's own (/Prev).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

struct PdfOutlineItem {
  std::string Title;  // UTF-8
  int Page = 0;       // zero-based page of the document
  double Top = 0;     // points above the page's bottom edge (PDF user space)
  // 0 at the top; an item lies under the nearest item before it of a lower
  // level (an item deeper than any before it simply nests one step).
  int Level = 0;
};

struct PdfPageLabelRange {
  int FirstPage = 0;  // zero-based page the range starts on
  int Start = 1;      // that page's decimal label; the next pages count on
};

struct PdfDocumentExtras {
  // UTF-8; empty ones leave what the file has.
  std::string Title;
  std::string Author;
  std::string Subject;
  std::string Creator;
  std::vector<PdfOutlineItem> Outline;        // items on pages the file lacks are left out
  std::vector<PdfPageLabelRange> PageLabels;  // ascending FirstPage; none: no labels
};

// The bytes to append to `pdf` (a complete file with a cross-reference
// table, as Qt's PDF writer makes) so that it carries `extras`. Raises
// StreamReadError (pdf_objects.h) when the file's structure cannot be
// followed, and RangeError when a label range is out of order or names a
// page the file lacks.
std::string PdfDocumentUpdate(std::string_view pdf, const PdfDocumentExtras& extras);

// Label ranges for pages numbered `numbers` (the document's pages in
// order): a range starts wherever a number is not its predecessor plus 1.
std::vector<PdfPageLabelRange> DecimalPageLabels(const std::vector<int>& numbers);

// `text` as a PDF text string: UTF-16BE with its byte order mark, in hex
// ("<FEFF0041>"), so that every script survives.
std::string PdfTextString(std::string_view text);

}  // namespace quillet
