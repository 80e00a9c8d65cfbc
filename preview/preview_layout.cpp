#include "preview/preview_layout.h"

#include <algorithm>

#include "platform/numeric.h"
#include "report/prepared/prepared_pages.h"

namespace quillet {

PreviewZoomMemory& ZoomMemory() {
  static PreviewZoomMemory memory;
  return memory;
}

double ZoomScale(int mode, double scale, int boxW, int boxH, int paperW, int paperH) {
  if (mode == zmPercent || paperW <= 0 || paperH <= 0) return scale;
  double fit = scale;
  switch (mode) {
    case zmPageWidth: fit = double(boxW - 20) / paperW; break;
    case zmWholePage: fit = double(boxH - 20) / paperH; break;
    case zmTwoPages: fit = double(boxW - 30) / (2.0 * paperW); break;
    default: return scale;
  }
  // A box narrower than the gaps would give a zero or negative zoom, and
  // with it pages turned inside out.
  return std::max(fit, kMinFitScale);
}

namespace {

// The leading `count` pages of the list, or all of them for -1.
int ShownCount(const TfrEMFPages& pages, int count) {
  return count < 0 ? pages.Count() : std::min(count, pages.Count());
}

}  // namespace

int PreviewColumns(const TfrEMFPages& pages, int mode, double scale, int boxW, int shown) {
  int n = 0;
  int x = kPageGap;
  int cols = 0;
  const int count = ShownCount(pages, shown);
  for (int i = 0; i < count; ++i) {
    const int w = Round(pages[i].PageInfo.PaperWidthPx * scale) + x + kPageGap;
    if (w > boxW) {
      // The page that did not fit starts no new count.
      cols = std::max(cols, n);
      n = 0;
      x = kPageGap;
    } else {
      x = w;
      ++n;
      if (i == count - 1) cols = std::max(cols, n);
    }
  }
  if (cols == 0) cols = 1;
  if (mode == zmWholePage) cols = 1;
  if (mode == zmTwoPages) cols = 2;
  return cols;
}

PreviewLayout LayOutPreviewPages(TfrEMFPages& pages, int currentIndex, int mode, double scale,
                                 int boxW, int boxH, int shown) {
  PreviewLayout out;
  out.Scale = scale;
  const int count = ShownCount(pages, shown);
  if (count == 0) return out;
  const PreparedPage& current = pages[std::clamp(currentIndex, 0, count - 1)];
  out.Scale = ZoomScale(mode, scale, boxW, boxH, current.PageInfo.PaperWidthPx,
                        current.PageInfo.PaperHeightPx);
  out.Columns = PreviewColumns(pages, mode, out.Scale, boxW, count);

  int y = kPageGap;
  int maxRight = 0;
  int maxBottom = 0;
  for (int row = 0; row < count; row += out.Columns) {
    int x = kPageGap;
    int rowHeight = 0;
    for (int i = row; i < std::min(count, row + out.Columns); ++i) {
      PreparedPage& page = pages[i];
      const int pw = Round(page.PageInfo.PaperWidthPx * out.Scale);
      const int ph = Round(page.PageInfo.PaperHeightPx * out.Scale);
      const int left = out.Columns == 1 && pw < boxW ? (boxW - pw) / 2 : x;
      page.PreviewRect = {left, y, left + pw, y + ph};
      maxRight = std::max(maxRight, page.PreviewRect.right);
      maxBottom = std::max(maxBottom, page.PreviewRect.bottom);
      rowHeight = std::max(rowHeight, ph);
      x += pw + kPageGap;
    }
    y += rowHeight + kPageGap;
  }
  const int h = maxRight - boxW;
  const int v = maxBottom - boxH;
  out.HorzMax = h < 0 ? 0 : h + kPageGap;
  out.VertMax = v < 0 ? 0 : v + kPageGap;
  return out;
}

int PageAtScrollPosition(const TfrEMFPages& pages, int pos, int shown) {
  const int probe = pos + 11;
  const int count = ShownCount(pages, shown);
  for (int i = 0; i < count; ++i) {
    const Rect& r = pages[i].PreviewRect;
    if (r.top < probe && probe < r.bottom) return i;
  }
  return -1;
}

Rect PageContentRect(const PreparedPage& page, const Rect& r, double scale) {
  // The record keeps the negation of the page's "stretch to printable".
  const bool stretch = page.MarginsApply == 0;
  if (!stretch) return r;
  const PrinterPageInfo& info = page.PageInfo;
  const PageMargins& m = page.Margins;
  Rect c;
  c.left = Round((double(info.OffsetXPx) + m.Left) * scale) + r.left;
  c.top = Round((double(info.OffsetYPx) + m.Top) * scale) + r.top;
  c.right = c.left + Round((double(info.PrintableWidthPx) - m.Left - m.Right) * scale);
  c.bottom = c.top + Round((double(info.PrintableHeightPx) - m.Top - m.Bottom) * scale);
  return c;
}

ScrollTarget ScrollToShow(const Rect& bounds, double scale, const Rect& previewRect, int boxW,
                          int boxH) {
  ScrollTarget t;
  const int hx = Round(bounds.left * scale);
  const int hy = Round(bounds.top * scale);
  const int hw = Round((double(bounds.right) - bounds.left) * scale);
  const int hh = Round((double(bounds.bottom) - bounds.top) * scale);
  t.Scaled = {hx, hy, hx + hw, hy + hh};
  t.Vert =
      kPageGap + hy + hh <= boxH ? previewRect.top - kPageGap : previewRect.top + hy + hh - boxH;
  t.Horz =
      kPageGap + hx + hw <= boxW ? previewRect.left - kPageGap : previewRect.left + hx + hw - boxW;
  return t;
}

}  // namespace quillet
