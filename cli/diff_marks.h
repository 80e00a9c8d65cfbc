// The pictures of `diff --png DIR`: each page with a difference drawn as
// report B has it (through the same page drawing as render), with every
// changed or added object outlined in red and every removed object (A's
// place for it) outlined in dashed blue. Files are DIR/page-NNN.png,
// written together or not at all.
#pragma once

#include <string>
#include <vector>

#include "cli/diff_compare.h"

namespace quillet {
class TfrEMFPages;
}

namespace quillet::cli {

// Writes one picture per page of `differences` that B has, at `scale`
// image pixels per report pixel; returns the paths written, in page order.
// A difference of the whole report (its page count) marks no page, nor
// does one on a page only A has.
std::vector<std::string> WriteMarkedPages(TfrEMFPages& pagesB,
                                          const std::vector<Difference>& differences, double scale,
                                          const std::string& folder);

}  // namespace quillet::cli
