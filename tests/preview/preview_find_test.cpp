// Find text on the sheet: the prepared page of the embedded template after
// the sheet's layout, searched through the recording of what it draws.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>

#include "platform/recording_canvas.h"
#include "preview/preview_search.h"
#include "preview/preview_view.h"
#include "sheet/sheet_layout.h"
#include "sheet/sheet_report.h"
#include "tests/preview/preview_support.h"

namespace quillet {
namespace {

using test::PreviewTest;

class PreviewFindTest : public PreviewTest {
 protected:
  void SetUp() override {
    PreviewTest::SetUp();
    sheet = std::make_unique<SheetReportComponent>();
    SheetSettings settings;  // two 50 mm rectangles
    LayOutSheet(settings, *sheet);
    sheet->Prepare();
    ASSERT_EQ(sheet->Report().PreparedPages.Count(), 1);
  }
  void TearDown() override {
    sheet.reset();
    PreviewTest::TearDown();
  }
  TfrPreviewForm::SearchRequest Request(const char* text, bool caseSensitive,
                                        bool fromCurrent = false) {
    return {text, caseSensitive, fromCurrent};
  }
  // Text operations of page `index` drawn at 100 %, in drawing order.
  std::vector<CanvasOp> TextOps(TfrPreviewForm& form, int index) {
    TfrEMFPages& pages = *form.Pages();
    RecordingCanvas rec(DeviceKind::Metafile, Engine().MeasuringCanvas);
    pages[index].InUse = 1;
    const PrinterPageInfo& info = pages[index].PageInfo;
    pages.DrawPage(index, rec, {0, 0, info.PaperWidthPx, info.PaperHeightPx});
    std::vector<CanvasOp> texts;
    for (const CanvasOp& op : rec.Ops())
      if (op.kind == OpKind::Text) texts.push_back(op);
    return texts;
  }

  std::unique_ptr<SheetReportComponent> sheet;
};

TEST_F(PreviewFindTest, FindsTheWidthCaptionsOneAfterTheOther) {
  TfrPreviewForm form;
  Open(form, sheet->Report(), 900, 700);
  std::vector<Rect> widths;
  for (const CanvasOp& op : TextOps(form, 0))
    if (op.text == "W = 50") widths.push_back(op.bounds);
  ASSERT_EQ(widths.size(), 2u);

  form.StartSearch(Request("W = 50", true));
  ASSERT_TRUE(form.Search.SearchHit);
  EXPECT_EQ(form.Search.HitBounds, widths[0]);
  EXPECT_EQ(form.View.CurrentPage, 1);
  EXPECT_FALSE(form.LastMark.isEmpty());

  EXPECT_TRUE(form.HandleKey(Qt::Key_F3, Qt::NoModifier));
  ASSERT_TRUE(form.Search.SearchHit);
  EXPECT_EQ(form.Search.HitBounds, widths[1]);

  EXPECT_TRUE(form.HandleKey(Qt::Key_F3, Qt::NoModifier));
  EXPECT_FALSE(form.Search.SearchHit);
  EXPECT_EQ(form.Search.SearchPage, 1) << "ran off the last page";

  // The next F3 starts again at the top of the current page.
  EXPECT_TRUE(form.HandleKey(Qt::Key_F3, Qt::NoModifier));
  ASSERT_TRUE(form.Search.SearchHit);
  EXPECT_EQ(form.Search.HitBounds, widths[0]);
}

TEST_F(PreviewFindTest, CaseBlindSearchUpperCasesBothSides) {
  TfrPreviewForm form;
  Open(form, sheet->Report(), 900, 700);
  form.StartSearch(Request("w = 50", true));
  EXPECT_FALSE(form.Search.SearchHit);
  form.StartSearch(Request("w = 50", false));
  EXPECT_TRUE(form.Search.SearchHit);
  EXPECT_EQ(form.Search.SearchText, "W = 50");
  // Text never spans two operations: the two captions together are not found.
  form.StartSearch(Request("W = 50H", false));
  EXPECT_FALSE(form.Search.SearchHit);
  // An empty text finds nothing, and F3 then does nothing at all.
  form.StartSearch(Request("", false));
  EXPECT_FALSE(form.Search.SearchHit);
  const int page = form.Search.SearchPage;
  EXPECT_TRUE(form.HandleKey(Qt::Key_F3, Qt::NoModifier));
  EXPECT_EQ(form.Search.SearchPage, page);
}

TEST_F(PreviewFindTest, AMatchIsScrolledIntoViewAndMarkedInverted) {
  TfrPreviewForm form;
  Open(form, sheet->Report(), 500, 200);
  // A first grab delivers the hidden box's pending resize, whose layout
  // would drop the mark set below.
  form.PageBox()->grab();
  form.ChooseZoom(200);
  form.StartSearch(Request("H = 50", true));
  ASSERT_TRUE(form.Search.SearchHit);
  const Rect& r = (*form.Pages())[0].PreviewRect;
  const ScrollTarget t = ScrollToShow(form.Search.HitBounds, 2.0, r, 500, 200);
  EXPECT_EQ(form.VScrollBar()->value(), std::clamp(t.Vert, 0, form.VScrollBar()->maximum()));
  EXPECT_EQ(form.HScrollBar()->value(), std::clamp(t.Horz, 0, form.HScrollBar()->maximum()));
  ASSERT_FALSE(form.LastMark.isEmpty());
  // The mark takes one row more than the match, which lies just below the
  // view when the match's bottom was brought to the view's bottom.
  const QRect mark = form.LastMark & QRect(0, 0, 500, 200);
  EXPECT_GE(mark.height(), form.LastMark.height() - 1) << "the match is in view";
  EXPECT_EQ(mark.width(), form.LastMark.width());
  // The mark inverts what is under it.
  form.PageBox()->SetMark(form.LastMark);
  const QImage marked = form.PageBox()->grab().toImage();
  form.PageBox()->ClearMark();
  const QImage plain = form.PageBox()->grab().toImage();
  int inverted = 0;
  for (int y = mark.top(); y <= mark.bottom(); ++y)
    for (int x = mark.left(); x <= mark.right(); ++x) {
      const QRgb a = marked.pixel(x, y);
      const QRgb b = plain.pixel(x, y);
      inverted +=
          qRed(a) == 255 - qRed(b) && qGreen(a) == 255 - qGreen(b) && qBlue(a) == 255 - qBlue(b);
    }
  EXPECT_EQ(inverted, mark.width() * mark.height());
}

TEST(PreviewSearch, EveryOperationCountsAndEarlierMatchesArePassedOver) {
  std::vector<CanvasOp> ops(4);
  ops[1].kind = OpKind::Text;
  ops[1].text = "abc";
  ops[1].bounds = {1, 2, 3, 4};
  ops[3].kind = OpKind::Text;
  ops[3].text = "xabcx";
  ops[3].bounds = {5, 6, 7, 8};
  const UpperCaser upper = [](std::string_view s) { return std::string(s); };
  SearchState s;
  s.Start("abc", true, upper);
  ASSERT_TRUE(ExamineRecording(ops, s, upper));
  EXPECT_EQ(s.HitBounds, (Rect{1, 2, 3, 4}));
  EXPECT_EQ(s.SearchRecord, 2);
  ASSERT_TRUE(ExamineRecording(ops, s, upper));
  EXPECT_EQ(s.HitBounds, (Rect{5, 6, 7, 8}));
  EXPECT_EQ(s.SearchRecord, 4);
  EXPECT_FALSE(ExamineRecording(ops, s, upper));
  // Moving to another page restarts at its top; staying keeps the position.
  s.SearchPage = 0;
  s.FollowCurrentPage(1);
  EXPECT_EQ(s.SearchRecord, 4);
  s.FollowCurrentPage(3);
  EXPECT_EQ(s.SearchPage, 2);
  EXPECT_EQ(s.SearchRecord, 0);
}

}  // namespace
}  // namespace quillet
