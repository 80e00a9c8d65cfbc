// The preview's page arithmetic: zoom of each mode, columns, placement,
// scroll ranges, the page under a scroll position, stretched content and
// scrolling a match into view.
#include "preview/preview_layout.h"

#include <gtest/gtest.h>

#include "report/prepared/prepared_pages.h"
#include "tests/preview/preview_support.h"

namespace quillet {
namespace {

using test::AddPages;
using test::kA4H;
using test::kA4W;

TEST(PreviewZoom, EachModeFitsTheCurrentPage) {
  EXPECT_DOUBLE_EQ(ZoomScale(zmPercent, 0.75, 820, 600, kA4W, kA4H), 0.75);
  EXPECT_DOUBLE_EQ(ZoomScale(zmPageWidth, 1, 820, 600, kA4W, kA4H), 800.0 / 794);
  EXPECT_DOUBLE_EQ(ZoomScale(zmWholePage, 1, 820, 600, kA4W, kA4H), 580.0 / 1123);
  EXPECT_DOUBLE_EQ(ZoomScale(zmTwoPages, 1, 820, 600, kA4W, kA4H), 790.0 / (2 * 794));
  // A page without a size keeps the zoom; a box smaller than the gaps never
  // turns the zoom negative.
  EXPECT_DOUBLE_EQ(ZoomScale(zmPageWidth, 1.5, 820, 600, 0, kA4H), 1.5);
  EXPECT_DOUBLE_EQ(ZoomScale(zmPageWidth, 1, 5, 600, kA4W, kA4H), kMinFitScale);
}

TEST(PreviewLayout, OnePageFitsCentredTenPixelsFromTheTop) {
  TfrEMFPages pages{Engine()};
  AddPages(pages, 1);
  const PreviewLayout l = LayOutPreviewPages(pages, 0, zmPercent, 1.0, 1200, 1200);
  EXPECT_EQ(l.Columns, 1);
  EXPECT_EQ(pages[0].PreviewRect, (Rect{(1200 - 794) / 2, 10, (1200 - 794) / 2 + 794, 1133}));
  EXPECT_EQ(l.HorzMax, 0);
  EXPECT_EQ(l.VertMax, 0);
}

TEST(PreviewLayout, PageWidthOnAnEightHundredTwentyPixelBox) {
  TfrEMFPages pages{Engine()};
  AddPages(pages, 1);
  const PreviewLayout l = LayOutPreviewPages(pages, 0, zmPageWidth, 1.0, 820, 600);
  EXPECT_DOUBLE_EQ(l.Scale, 800.0 / 794);
  EXPECT_EQ(Round(l.Scale * 100), 101);
  EXPECT_EQ(pages[0].PreviewRect.Width(), 800);
  EXPECT_EQ(pages[0].PreviewRect.left, 10);
}

TEST(PreviewLayout, SmallPagesFillRowsOfAsManyColumnsAsFit) {
  TfrEMFPages pages{Engine()};
  AddPages(pages, 5);
  // 25 %: 198.5 rounds to 198 (halves to even), 280.75 to 281.
  const PreviewLayout l = LayOutPreviewPages(pages, 0, zmPercent, 0.25, 1000, 500);
  EXPECT_EQ(l.Columns, 4);
  EXPECT_EQ(pages[0].PreviewRect, (Rect{10, 10, 208, 291}));
  EXPECT_EQ(pages[1].PreviewRect, (Rect{218, 10, 416, 291}));
  EXPECT_EQ(pages[3].PreviewRect, (Rect{634, 10, 832, 291}));
  EXPECT_EQ(pages[4].PreviewRect, (Rect{10, 301, 208, 582}));
  EXPECT_EQ(l.HorzMax, 0);
  EXPECT_EQ(l.VertMax, 582 - 500 + 10);
}

TEST(PreviewLayout, ModesForceTheirColumnCount) {
  TfrEMFPages pages{Engine()};
  AddPages(pages, 3);
  // Two pages mode lays out two columns even when two pages overflow.
  const PreviewLayout two = LayOutPreviewPages(pages, 0, zmTwoPages, 1.0, 300, 300);
  EXPECT_EQ(two.Columns, 2);
  EXPECT_EQ(pages[1].PreviewRect.top, pages[0].PreviewRect.top);
  EXPECT_EQ(pages[1].PreviewRect.left, pages[0].PreviewRect.right + 10);
  EXPECT_GT(pages[2].PreviewRect.top, pages[0].PreviewRect.bottom);
  // Whole page mode: one column, centred, each page below the other.
  const PreviewLayout whole = LayOutPreviewPages(pages, 0, zmWholePage, 1.0, 3000, 600);
  EXPECT_EQ(whole.Columns, 1);
  EXPECT_EQ(pages[1].PreviewRect.top, pages[0].PreviewRect.bottom + 10);
  EXPECT_EQ(pages[0].PreviewRect.left, (3000 - pages[0].PreviewRect.Width()) / 2);
}

TEST(PreviewLayout, APageWiderThanTheViewStartsAtTenAndScrolls) {
  TfrEMFPages pages{Engine()};
  AddPages(pages, 2);
  const PreviewLayout l = LayOutPreviewPages(pages, 0, zmPercent, 2.0, 1000, 700);
  EXPECT_EQ(l.Columns, 1);
  EXPECT_EQ(pages[0].PreviewRect.left, 10);
  EXPECT_EQ(l.HorzMax, pages[0].PreviewRect.right - 1000 + 10);
  EXPECT_EQ(l.VertMax, pages[1].PreviewRect.bottom - 700 + 10);
}

TEST(PreviewLayout, TheFittingModesFollowTheCurrentPage) {
  TfrEMFPages pages{Engine()};
  AddPages(pages, 1);
  AddPages(pages, 1, 1123, 794);  // a landscape page
  const PreviewLayout l = LayOutPreviewPages(pages, 1, zmPageWidth, 1.0, 1143, 600);
  EXPECT_DOUBLE_EQ(l.Scale, 1.0);
}

TEST(PreviewLayout, PageUnderAScrollPosition) {
  TfrEMFPages pages{Engine()};
  AddPages(pages, 3);
  LayOutPreviewPages(pages, 0, zmPercent, 1.0, 1000, 700);
  EXPECT_EQ(PageAtScrollPosition(pages, 0), 0);
  EXPECT_EQ(PageAtScrollPosition(pages, pages[1].PreviewRect.top - 10), 1);
  // Probing the gap between two pages finds none.
  EXPECT_EQ(PageAtScrollPosition(pages, pages[0].PreviewRect.bottom - 11), -1);
  EXPECT_EQ(PageAtScrollPosition(pages, 100000), -1);
}

TEST(PreviewLayout, StretchedPagesDrawIntoThePrintableArea) {
  TfrEMFPages pages{Engine()};
  AddPages(pages, 1);
  PreparedPage& p = pages[0];
  const Rect r{10, 10, 804, 1133};
  p.MarginsApply = 1;
  EXPECT_EQ(PageContentRect(p, r, 1.0), r);
  p.MarginsApply = 0;
  p.Margins = {20, 30, 40, 50};
  p.PageInfo.OffsetXPx = 5;
  p.PageInfo.OffsetYPx = 7;
  p.PageInfo.PrintableWidthPx = 780;
  p.PageInfo.PrintableHeightPx = 1100;
  // (5 + 20) x 0.5 = 12.5 rounds to 12, halves to even.
  EXPECT_EQ(PageContentRect(p, r, 0.5), (Rect{10 + 12, 10 + 18, 10 + 12 + 360, 10 + 18 + 510}));
}

TEST(PreviewLayout, ScrollingAMatchIntoView) {
  const Rect page{100, 10, 894, 1133};
  // Near the top: the page's corner 10 pixels into the view.
  ScrollTarget t = ScrollToShow({50, 60, 110, 75}, 1.0, page, 800, 600);
  EXPECT_EQ(t.Vert, 0);
  EXPECT_EQ(t.Horz, 90);
  EXPECT_EQ(t.Scaled, (Rect{50, 60, 110, 75}));
  // Near the bottom of a tall page: the match's bottom on the view's bottom.
  t = ScrollToShow({50, 1000, 110, 1015}, 1.0, page, 800, 600);
  EXPECT_EQ(t.Vert, 10 + 1015 - 600);
  // Far right at 200 %: the match's right edge on the view's right edge.
  t = ScrollToShow({700, 60, 760, 75}, 2.0, page, 800, 600);
  EXPECT_EQ(t.Horz, 100 + 1520 - 800);
}

}  // namespace
}  // namespace quillet
