#include "cli/refused_pictures.h"

#include <iostream>

#include "report/prepared/prepared_pages.h"
#include "report/prepared/rebuilt_page.h"
#include "report/template/report_template.h"
#include "report/views/picture_view.h"

namespace quillet::cli {
namespace {

template <typename Objects>
int Warn(const Objects& objects, const std::string& file, int pageNumber, const char* what) {
  int count = 0;
  for (const auto& v : objects) {
    const auto* picture = dynamic_cast<const TfrPictureView*>(&*v);
    if (!picture || picture->Picture.Refusal().empty()) continue;
    std::cerr << "quillet-cli: " << file << ": picture " << picture->Name << " on page "
              << pageNumber << " " << what << ": " << picture->Picture.Refusal() << "\n";
    ++count;
  }
  return count;
}

}  // namespace

int WarnRefusedPictures(const TfrTemplate& report, const std::string& file) {
  int count = 0;
  for (std::size_t p = 0; p < report.Pages.size(); ++p)
    count += Warn(report.Pages[p]->Objects, file, int(p) + 1, "is kept but cannot be drawn");
  return count;
}

int WarnRefusedPictures(TfrEMFPages& pages, const std::vector<int>& indexes,
                        const std::string& file) {
  int count = 0;
  for (int i : indexes) {
    pages.RebuildPage(i);
    if (pages[i].RebuiltPage)
      count += Warn(pages[i].RebuiltPage->Objects, file, i + 1, "was not drawn");
    // One page's objects at a time: kept, every page of a long report would be.
    pages.ReleasePage(i);
  }
  return count;
}

}  // namespace quillet::cli
