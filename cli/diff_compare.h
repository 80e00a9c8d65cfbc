// Compares two reports' page facts (diff_facts.h) page by page. Objects of
// a page pair by name and occurrence: the third "Price" of page 2 in A with
// the third "Price" of page 2 in B; an object without a partner was added
// (only in B) or removed (only in A).
#pragma once

#include <string>
#include <vector>

#include "cli/diff_facts.h"

namespace quillet::cli {

struct Difference {
  int page = 0;      // 1-based; 0 for the report as a whole (its page count)
  std::string kind;  // the object's short kind; empty for a page or the report
  std::string name;
  int occurrence = 0;  // of the name on its page; 0 when the name occurs once
  // "pages", "paper", "page", "text", "geometry", "font", "frame colour",
  // "fill colour", "picture", "object"
  std::string property;
  std::string before, after;  // readable values in A and in B ("" when absent)
  // Where to mark the difference on B's page, report pixels; `inB` false
  // when only A has the object (the rectangle is A's).
  bool marked = false;
  bool inB = true;
  int left = 0, top = 0, width = 0, height = 0;
};

// Geometry differs when a side of the rectangle moved by more than
// `tolerance` report pixels (0: any move).
std::vector<Difference> ComparePages(const std::vector<PageFacts>& a,
                                     const std::vector<PageFacts>& b, int tolerance);

// "memo Total", "memo Price #3" (the third of that name on its page), or
// "memo #5" for the fifth unnamed object.
std::string ObjectLabel(const Difference& d);

// One line: `page 3, memo Total: text "1,204.50" → "1,204.05"`.
std::string SummaryLine(const Difference& d);

}  // namespace quillet::cli
