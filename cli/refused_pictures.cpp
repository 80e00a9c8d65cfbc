#include "cli/refused_pictures.h"

#include <iostream>

#include "report/prepared/rebuilt_page.h"
#include "report/template/report_template.h"
#include "report/views/picture_view.h"

namespace quillet::cli {
namespace {

// Calls `line` with the warning of each refused picture among `objects`.
template <typename Objects, typename Line>
void ForEachRefusal(const Objects& objects, const std::string& file, int pageNumber,
                    const char* what, Line&& line) {
  for (const auto& v : objects) {
    const auto* picture = dynamic_cast<const TfrPictureView*>(&*v);
    if (!picture || picture->Picture.Refusal().empty()) continue;
    line("quillet-cli: " + file + ": picture " + picture->Name + " on page " +
         std::to_string(pageNumber) + " " + what + ": " + picture->Picture.Refusal() + "\n");
  }
}

}  // namespace

int WarnRefusedPictures(const TfrTemplate& report, const std::string& file) {
  int count = 0;
  for (std::size_t p = 0; p < report.Pages.size(); ++p)
    ForEachRefusal(report.Pages[p]->Objects, file, int(p) + 1, "is kept but cannot be drawn",
                   [&count](const std::string& line) {
                     std::cerr << line;
                     ++count;
                   });
  return count;
}

void RefusedPictureNotes::NotePage(int index, const RebuiltPage& page) {
  ForEachRefusal(page.Objects, file_, index + 1, "was not drawn",
                 [this](std::string line) { lines_.push_back(std::move(line)); });
}

int RefusedPictureNotes::Warn() const {
  for (const std::string& line : lines_) std::cerr << line;
  return static_cast<int>(lines_.size());
}

}  // namespace quillet::cli
