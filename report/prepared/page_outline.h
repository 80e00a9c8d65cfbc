// The outline of a prepared report: one entry per group header shown, in
// the order they were shown, for a reader's bookmarks (the PDF outline).
// It lives beside the prepared pages while the report is held in memory;
// prepared-report files do not store it.
#pragma once

#include <string>
#include <vector>

namespace quillet {

struct PageOutlineEntry {
  std::string Text;   // UTF-8; what the header shows, never empty
  int PageIndex = 0;  // zero-based prepared page the header starts on
  int Top = 0;        // report pixels from the paper's top edge
  int Level = 0;      // 0 for the outermost group, 1 for a group inside it...
};

using PageOutline = std::vector<PageOutlineEntry>;

}  // namespace quillet
