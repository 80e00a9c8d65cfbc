#include "report/rebuilt_page.h"

#include <algorithm>
#include <limits>

#include "report/view.h"

namespace quillet {
namespace {

// Margins come from files: their sums are kept inside the int range.
int Clamped(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

}  // namespace

RebuiltPage::RebuiltPage(const PagePaper& paper) : Paper(paper) {
  ApplyPagePaper(EnginePrinter(), Paper);
  Paper.Margins = paper.Margins;
  Paper.MarginsApply = paper.MarginsApply;
}

RebuiltPage::~RebuiltPage() = default;

int RebuiltPage::LeftLimit() const {
  if (!Paper.MarginsApply) return 0;
  return Paper.Margins.Left != 0 ? Paper.Margins.Left : Paper.PageInfo.OffsetXPx;
}

int RebuiltPage::RightLimit() const {
  const PrinterPageInfo& info = Paper.PageInfo;
  if (!Paper.MarginsApply) return info.PaperWidthPx;
  return Paper.Margins.Right != 0
             ? Clamped(std::int64_t(info.PaperWidthPx) - Paper.Margins.Right)
             : Clamped(std::int64_t(info.OffsetXPx) + info.PrintableWidthPx);
}

}  // namespace quillet
