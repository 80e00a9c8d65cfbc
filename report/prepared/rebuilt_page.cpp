#include "report/prepared/rebuilt_page.h"

#include <algorithm>

#include "report/views/view.h"

namespace quillet {
namespace {

// Margins and page sizes come from files: the limits made of them are kept
// where arithmetic on object positions cannot overflow.
int Clamped(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, -kMaxPageCoordinate, kMaxPageCoordinate));
}

}  // namespace

RebuiltPage::RebuiltPage(EngineGlobals& engine, const PagePaper& paper)
    : Paper(paper), engine_(engine) {
  ApplyPagePaper(EnginePrinter(engine), Paper);
  Paper.Margins = paper.Margins;
  Paper.MarginsApply = paper.MarginsApply;
}

RebuiltPage::~RebuiltPage() = default;

int RebuiltPage::LeftLimit() const {
  if (!Paper.MarginsApply) return 0;
  return Clamped(Paper.Margins.Left != 0 ? Paper.Margins.Left : Paper.PageInfo.OffsetXPx);
}

int RebuiltPage::RightLimit() const {
  const PrinterPageInfo& info = Paper.PageInfo;
  if (!Paper.MarginsApply) return Clamped(info.PaperWidthPx);
  return Paper.Margins.Right != 0 ? Clamped(std::int64_t(info.PaperWidthPx) - Paper.Margins.Right)
                                  : Clamped(std::int64_t(info.OffsetXPx) + info.PrintableWidthPx);
}

}  // namespace quillet
