// Pictures whose bytes were kept but cannot be drawn (too large, bad data):
// quillet-cli names each on standard error, so that nothing goes missing
// without a word.
#pragma once

#include <string>
#include <vector>

namespace quillet {
class TfrEMFPages;
class TfrTemplate;
}  // namespace quillet

namespace quillet::cli {

// One warning line per refused picture of the template; their count.
int WarnRefusedPictures(const TfrTemplate& report, const std::string& file);
// The same for the given prepared pages (zero-based indexes), which are
// rebuilt for the look; their count.
int WarnRefusedPictures(TfrEMFPages& pages, const std::vector<int>& indexes,
                        const std::string& file);

}  // namespace quillet::cli
