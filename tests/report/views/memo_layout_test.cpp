// Layout of memo text on the 96-dpi measuring canvas, with real font metrics:
// line steps and heights, word wrap, hyphenation and line-break handling.
#include <gtest/gtest.h>

#include "platform/utf8.h"
#include "report/base/engine_state.h"
#include "report/views/memo/memo_view.h"

namespace quillet {
namespace {

const std::string kMark(1, kParagraphMark);

// Width of `text` in the given font on the measuring canvas.
int MeasuredWidth(const std::string& text, int points = 8, int charset = 1) {
  Canvas& mc = *Engine().MeasuringCanvas;
  ReportFont f;
  f.Size = points;
  f.Charset = charset;
  const Font saved = mc.GetFont();
  mc.SetFont(f.ToCanvasFont(f.PixelHeight(96)));
  const int w = mc.TextWidth(text);
  mc.SetFont(saved);
  return w;
}

struct Laid {
  TfrMemoView memo;
  // A memo of Arial `points`, frame width 1, gaps 2 and 1, laid out as the
  // drawing does: geometry prepared at scale 1, then the layout.
  explicit Laid(StringList lines, int width = 60, int height = 18, std::uint16_t flags = 3,
                int points = 8) {
    Prep().RenderActive = true;
    memo.Font_.Size = points;
    memo.Flags = flags;
    memo.SetGeometry(10, 20, width, height);
    memo.Memo = std::move(lines);
    memo.WorkText = memo.Memo;
    memo.PrepareDraw();
    layout = memo.LayoutText();
    memo.RestoreCoords();
  }
  const StringList& Lines() const { return layout.Lines; }
  MemoLayout layout;
};

TEST(MemoLayout, SheetCaptionIsOneLineOfStepThirteen) {
  Laid caption({"W = 50"});
  EXPECT_EQ(caption.Lines(), StringList{"W = 50" + kMark});
  EXPECT_EQ(caption.memo.LineStep, 13);  // line spacing 2 + 11 pixels of Arial 8 pt
  EXPECT_EQ(caption.layout.MeasuredHeight, 15);
  EXPECT_LT(caption.layout.MeasuredHeight, 18);
}

TEST(MemoLayout, CalcHeightOfTheCaptionAndOfEmptyAndHiddenMemos) {
  TfrMemoView memo;
  memo.Font_.Size = 8;
  memo.SetGeometry(0, 0, 60, 18);
  memo.Memo = {"H = 25.5"};
  EXPECT_EQ(memo.CalcHeight(), 15);
  EXPECT_EQ(memo.DrawPass, 1);
  EXPECT_EQ(memo.WorkText, StringList{"H = 25.5" + kMark});
  EXPECT_EQ(memo.Width, 60);  // geometry restored

  memo.Memo = {"one", "two", "three"};
  EXPECT_EQ(memo.CalcHeight(), 3 * 13 + 2);

  memo.MeasuredHeight = 99;  // stale value of an earlier layout
  memo.Memo.clear();
  EXPECT_EQ(memo.CalcHeight(), 0);
  memo.Memo = {"x"};
  memo.Visible = 0;
  EXPECT_EQ(memo.CalcHeight(), 0);
}

TEST(MemoLayout, WrapsAtTheLastSpaceThatFits) {
  const int fit = MeasuredWidth("aaa bbb");
  Laid l({"aaa bbb ccc"}, fit + 4);
  EXPECT_EQ(l.Lines(), (StringList{"aaa bbb", "ccc" + kMark}));
  EXPECT_EQ(l.layout.MeasuredHeight, 2 * 13 + 2);
}

TEST(MemoLayout, WithoutWordWrapEveryLineStaysWhole) {
  Laid l({"aaa bbb ccc", "d"}, 20, 18, flStretched);
  EXPECT_EQ(l.Lines(), (StringList{"aaa bbb ccc" + kMark, "d" + kMark}));
}

TEST(MemoLayout, LineBreakCharacters) {
  EXPECT_EQ(Laid({"abc\r\n"}).Lines(), StringList{"abc" + kMark});
  EXPECT_EQ(Laid({"a\r\nb"}).Lines(), (StringList{"a" + kMark, "b" + kMark}));
  EXPECT_EQ(Laid({"a\rb\nc"}).Lines(), (StringList{"a" + kMark, "b" + kMark, "c" + kMark}));
  // Runs of breaks are one break: no empty line comes of them.
  EXPECT_EQ(Laid({"a\r\n\r\nb"}).Lines(), (StringList{"a" + kMark, "b" + kMark}));
  EXPECT_EQ(Laid({"\r\n"}).Lines(), StringList{kMark});
  EXPECT_EQ(Laid({""}).Lines(), StringList{kMark});
}

TEST(MemoLayout, WordWiderThanTheBoxBreaksBeforeTheFirstCharacterThatDoesNotFit) {
  const int fit = MeasuredWidth("abcde");
  ASSERT_GT(MeasuredWidth("abcdef"), fit);
  const StringList expected{"abcde", "fghij" + kMark};
  EXPECT_EQ(Laid({"abcdefghij"}, fit + 4).Lines(), expected);
  // A Latin word has no hyphenation points: the same result with WordBreak.
  EXPECT_EQ(Laid({"abcdefghij"}, fit + 4, 18, 3 | flWordBreak).Lines(), expected);
}

TEST(MemoLayout, BoxNarrowerThanOneCharacterStillEnds) {
  const StringList lines = Laid({"abc"}, 4).Lines();  // no room at all
  ASSERT_FALSE(lines.empty());
  EXPECT_LE(lines.size(), 4u);
  EXPECT_EQ(lines.back(), "c" + kMark);
}

// Lower-case Russian words.
const std::string kKolokol = "колокол";
const std::string kKolo = "коло";
const std::string kKol = "кол";

TEST(MemoLayout, HyphenPointsOfCyrillicWords) {
  EXPECT_EQ(TfrMemoView::HyphenPoints(kKolokol), (std::vector<int>{2, 4}));
  // молоко: мо-ло-ко, but never a single letter left at the end.
  EXPECT_EQ(TfrMemoView::HyphenPoints("молоко"), (std::vector<int>{2, 4}));
  // Upper-case input gives the same points.
  EXPECT_EQ(TfrMemoView::HyphenPoints("КОЛОКОЛ"), (std::vector<int>{2, 4}));
  // A consonant followed by a sign letter is not split: объект (об-ъ-ект).
  EXPECT_EQ(TfrMemoView::HyphenPoints("объект"), (std::vector<int>{}));
  EXPECT_TRUE(TfrMemoView::HyphenPoints("кол").empty());  // fewer than 4 characters
  EXPECT_TRUE(TfrMemoView::HyphenPoints("bottle").empty());
}

TEST(MemoLayout, WordBreakHyphenatesAtTheLastPointThatFits) {
  const int fit = MeasuredWidth("aa " + kKolo + "-", 8, 204);
  ASSERT_GT(MeasuredWidth("aa " + kKolo + "к", 8, 204), fit);
  Laid hyphenated({}, 0);
  TfrMemoView& m = hyphenated.memo;
  m.Font_.Charset = 204;
  m.Flags = 3 | flWordBreak;
  m.SetGeometry(0, 0, fit + 4, 18);
  m.WorkText = {"aa " + kKolokol};
  m.PrepareDraw();
  MemoLayout layout = m.LayoutText();
  m.RestoreCoords();
  EXPECT_EQ(layout.Lines, (StringList{"aa " + kKolo + "-", kKol + kMark}));

  m.Flags = 3;  // without WordBreak the word moves down whole
  m.PrepareDraw();
  layout = m.LayoutText();
  m.RestoreCoords();
  EXPECT_EQ(layout.Lines, (StringList{"aa", kKolokol + kMark}));
}

TEST(MemoLayout, RotatedTextWrapsAgainstTheHeight) {
  const int fit = MeasuredWidth("aaa bbb");
  Laid wide({"aaa bbb ccc"}, fit + 4, 200);
  EXPECT_EQ(wide.Lines().size(), 2u);

  TfrMemoView& m = wide.memo;
  m.Alignment = alRotated;
  m.SetGeometry(0, 0, 20, 200);  // narrow but tall: one upward line
  m.WorkText = {"aaa bbb ccc"};
  m.PrepareDraw();
  MemoLayout layout = m.LayoutText();
  m.RestoreCoords();
  EXPECT_EQ(layout.Lines, StringList{"aaa bbb ccc" + kMark});
  EXPECT_EQ(layout.MeasuredHeight, 13 + 2 * 2);  // gaps across the lines are GapX

  m.SetGeometry(0, 0, 200, fit + 2);  // wide but low: wraps
  m.PrepareDraw();
  layout = m.LayoutText();
  m.RestoreCoords();
  EXPECT_EQ(layout.Lines, (StringList{"aaa bbb", "ccc" + kMark}));
}

TEST(MemoLayout, LaidOutTextIsKeptAsItIs) {
  Laid l({}, 20);
  l.memo.HasLineMarks = true;
  l.memo.WorkText = {"a long line that does not fit", "x" + kMark};
  l.memo.PrepareDraw();
  const MemoLayout layout = l.memo.LayoutText();
  l.memo.RestoreCoords();
  EXPECT_EQ(layout.Lines, (StringList{"a long line that does not fit", "x" + kMark}));
}

TEST(MemoLayout, EditingPageShowsAWideExpressionWhole) {
  Prep().RenderActive = false;
  TfrMemoView m;
  m.SetGeometry(0, 0, 30, 18);
  m.WorkText = {"[VeryLongExpressionName]"};
  m.PrepareDraw();
  const MemoLayout layout = m.LayoutText();
  m.RestoreCoords();
  Prep().RenderActive = true;
  EXPECT_EQ(layout.Lines, StringList{"[VeryLongExpressionName]"});
}

TEST(MemoLayout, CharactersAndClustersAreNeverCut) {
  struct Case {
    std::string text;
    bool breaksBetweenCharacters;  // no spaces needed
  };
  const Case cases[] = {
      {"日本の紙日本の紙日本の紙日本の紙日本の紙", true},
      {"Łódźłódźłódźłódźłódźłódźłódź", false},
      {"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301", false},
      {"😀😀😀😀😀😀😀😀😀😀😀😀", false},
  };
  for (const Case& c : cases)
    for (int width : {15, 22, 31, 47}) {
      TfrMemoView m;
      m.Flags = 3;
      m.SetGeometry(0, 0, width, 18);
      m.WorkText = {c.text};
      const StringList lines = m.LayoutText().Lines;
      ASSERT_GT(lines.size(), 1u) << width << " " << c.text;
      std::string joined;
      for (std::string piece : lines) {
        if (!piece.empty() && piece.back() == kParagraphMark) piece.pop_back();
        EXPECT_EQ(FindInvalidUtf8(piece), std::string::npos) << width << " " << c.text;
        EXPECT_NE(piece.substr(0, 2), "\u0301") << "an accent never starts a line";
        joined += piece;
      }
      EXPECT_EQ(joined, c.text);
      if (c.breaksBetweenCharacters) EXPECT_GT(lines.size(), 2u) << width;
    }
}

TEST(MemoLayout, IdeographsWrapBetweenCharactersAndLatinWordsStayWhole) {
  const int fit = MeasuredWidth("日本の紙");
  TfrMemoView m;
  m.Font_.Size = 8;
  m.Flags = 3;
  m.SetGeometry(0, 0, fit + 4, 18);
  m.WorkText = {"日本の紙日本。abc"};
  const StringList lines = m.LayoutText().Lines;
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "日本の紙") << "broken between ideographs, no space needed";
  EXPECT_EQ(lines[1].substr(0, std::string("日本。").size()), "日本。")
      << "the full stop stays with its sentence";
}

TEST(MemoLayout, MeasuringShortcutsGiveTheSameLines) {
  const StringList text{
      "The quick brown fox jumps over the lazy dog, then over the fence and far away.",
      "Averyveryverylongwordwithoutanyspacesthatmustbecutsomewhere and more",
      "tab\tand  double  spaces   \r\nafter a break\rand\nmore breaks at the end\r\n",
      "aa " + kKolokol + kKolokol + " " + kKolo + " " + kKolokol + " " + kKol,
      "",
      "W = 50"};
  for (int width : {12, 30, 57, 80, 121, 300}) {
    for (std::uint16_t flags : {std::uint16_t(3), std::uint16_t(3 | flWordBreak)}) {
      for (int charSpacing : {0, 2}) {
        TfrMemoView m;
        m.Font_.Charset = 204;
        m.Flags = flags;
        m.CharSpacing = charSpacing;
        m.SetGeometry(0, 0, width, 18);
        m.WorkText = text;
        SetLayoutShortcuts(false);
        const StringList reference = m.LayoutText().Lines;
        SetLayoutShortcuts(true);
        EXPECT_EQ(m.LayoutText().Lines, reference) << width << " " << flags << " " << charSpacing;
      }
    }
  }
}

TEST(MemoLayout, HeightsOfPieces) {
  TfrMemoView m;  // Arial 10 pt: 13 pixels; line spacing 2
  m.SetGeometry(0, 0, 100, 60);
  EXPECT_EQ(m.LeastPieceHeight(), 2 + 2 + 2 + 13);
  EXPECT_EQ(m.LineStep, 15);
  // 60 - 2 - 2 = 56 pixels of lines: 3 whole lines and 11 left over.
  EXPECT_EQ(m.LeftoverHeight(), 2 + 2 + 11);
  m.Height = 2;  // less than frame and gaps: the remainder keeps the sign
  EXPECT_EQ(m.LeftoverHeight(), 2 + 2 - 2);
  m.LineSpacing = -13;  // a step of zero must not divide by zero
  EXPECT_EQ(m.LeftoverHeight(), 4);
}

}  // namespace
}  // namespace quillet
