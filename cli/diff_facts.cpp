#include "cli/diff_facts.h"

#include <cctype>
#include <cstdio>
#include <map>

#include "report/prepared/prepared_pages.h"
#include "report/views/memo/memo_view.h"
#include "report/views/picture_view.h"
#include "report/views/view.h"

namespace quillet::cli {

std::string ShortKind(const std::string& className) {
  std::string kind = className;
  if (kind.rfind("Tfr", 0) == 0) kind.erase(0, 3);
  if (kind.size() > 4 && kind.compare(kind.size() - 4, 4, "View") == 0)
    kind.resize(kind.size() - 4);
  for (char& c : kind) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return kind.empty() ? className : kind;
}

std::string ColorText(Color color) {
  if (color == clNone) return "none";
  if (IsSystemColor(color)) return "system:" + std::to_string(color & 0xFFFFFF);
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", RedOf(color), GreenOf(color), BlueOf(color));
  return text;
}

ObjectFacts FactsOf(const TfrView& view) {
  ObjectFacts f;
  f.kind = ShortKind(view.ClassName());
  f.name = view.Name;
  f.left = view.Left;
  f.top = view.Top;
  f.width = view.Width;
  f.height = view.Height;
  for (std::size_t i = 0; i < view.Memo.size(); ++i) f.text += (i ? "\n" : "") + view.Memo[i];
  f.frameColor = view.FrameColor;
  f.fillColor = view.FillColor;
  if (const auto* memo = dynamic_cast<const TfrMemoView*>(&view)) {
    const ReportFont& font = memo->Font_;
    f.font = FontFacts{font.Name, font.Size, font.Style, font.Color};
  }
  if (const auto* picture = dynamic_cast<const TfrPictureView*>(&view)) {
    f.hasPicture = true;
    f.pictureBytes = picture->Picture.Bytes();
  }
  return f;
}

std::vector<PageFacts> ReadPageFacts(TfrEMFPages& pages) {
  std::vector<PageFacts> facts;
  for (int i = 0; i < pages.Count(); ++i) {
    pages.RebuildPage(i);
    PageFacts page;
    page.widthPx = pages[i].PageInfo.PaperWidthPx;
    page.heightPx = pages[i].PageInfo.PaperHeightPx;
    std::map<std::string, int> seen;
    for (const auto& view : pages[i].RebuiltPage->Objects) {
      ObjectFacts object = FactsOf(*view);
      object.occurrence = ++seen[object.name];
      page.objects.push_back(std::move(object));
    }
    pages.ReleasePage(i);
    facts.push_back(std::move(page));
  }
  return facts;
}

}  // namespace quillet::cli
