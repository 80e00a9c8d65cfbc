#include "report/rebuilt_page.h"

#include "report/view.h"

namespace quillet {

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
  return Paper.Margins.Right != 0 ? info.PaperWidthPx - Paper.Margins.Right
                                  : info.OffsetXPx + info.PrintableWidthPx;
}

}  // namespace quillet
