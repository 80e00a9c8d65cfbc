// Pictures whose bytes were kept but cannot be drawn (too large, bad data):
// quillet-cli names each on standard error, so that nothing goes missing
// without a word.
#pragma once

#include <string>
#include <vector>

namespace quillet {
class RebuiltPage;
class TfrTemplate;
}  // namespace quillet

namespace quillet::cli {

// One warning line per refused picture of the template; their count.
int WarnRefusedPictures(const TfrTemplate& report, const std::string& file);

// The refused pictures of prepared pages, noted while the pages are drawn
// (their objects exist only then) and warned about once the output is
// written: one line per picture, in the order the pages were drawn.
class RefusedPictureNotes {
 public:
  explicit RefusedPictureNotes(std::string file) : file_(std::move(file)) {}

  // Notes the refused pictures of page `index` (zero-based).
  void NotePage(int index, const RebuiltPage& page);
  // Writes the lines noted so far to standard error; their count.
  int Warn() const;

 private:
  std::string file_;
  std::vector<std::string> lines_;
};

}  // namespace quillet::cli
