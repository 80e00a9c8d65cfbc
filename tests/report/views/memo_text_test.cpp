// Text expansion through the report being prepared, the before-print step,
// and the memo's named keys.
#include <gtest/gtest.h>

#include <map>

#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/base/preparation_report.h"
#include "report/views/memo/memo_view.h"

namespace quillet {
namespace {

class FakeReport : public PreparationReport {
 public:
  std::map<std::string, std::string> values{
      {"Size", "50"}, {"Two", "a\r\nb"}, {"Empty", ""}, {"Tail", "x\r\n"}};
  bool replaceText = false;
  TfrView* FindView(std::string_view) const override { return nullptr; }
  std::string EvaluateBracket(const std::string& e) override { return values[e]; }
  void BeforeObjectOutput(std::vector<std::string>& text, TfrView&) override {
    if (replaceText) text = {"[Size] set by handler"};
  }
};

struct WithReport {
  FakeReport report;
  WithReport() {
    Prep().ActiveReport = &report;
    Prep().RenderActive = true;
  }
  ~WithReport() { Prep().ActiveReport = nullptr; }
};

TEST(MemoText, ExpansionReplacesBracketsLineByLine) {
  WithReport r;
  TfrMemoView m;
  m.Memo = {"W = [Size]", "", "[Two]", "[Empty]", "[Tail]", "plain"};
  m.ExpandText();
  EXPECT_EQ(m.WorkText, (StringList{"W = 50", "", "a", "b", "", "x", "plain"}));
  m.Flags |= flTextOnly;
  m.ExpandText();
  EXPECT_EQ(m.WorkText, m.Memo);
}

TEST(MemoText, WithoutAReportTheTextStandsAsItIs) {
  Prep().ActiveReport = nullptr;
  TfrMemoView m;
  m.Memo = {"W = [Size]"};
  m.ExpandText();
  EXPECT_EQ(m.WorkText, m.Memo);
}

TEST(MemoText, RecordWritesTheExpandedTextUnlessTheHandlerSetIt) {
  WithReport r;
  TfrMemoView m;
  m.PreparedMode = true;
  m.Memo = {"W = [Size]"};
  MemoryStream s;
  m.Record(s);
  EXPECT_NE(s.BytesAsString().find("W = 50"), std::string::npos);

  r.report.replaceText = true;  // text from the handler is not expanded again
  MemoryStream t;
  m.Record(t);
  EXPECT_NE(t.BytesAsString().find("[Size] set by handler"), std::string::npos);
}

TEST(MemoText, CalcHeightMeasuresTheExpandedText) {
  WithReport r;
  TfrMemoView m;
  m.Font_.Size = 8;
  m.SetGeometry(0, 0, 200, 18);
  m.Memo = {"[Two]"};
  EXPECT_EQ(m.CallMethod("calcheight", {}, {}, {}), Variant(2 * 13 + 2));
}

TEST(MemoText, NamedKeysReadAndWriteFieldsAndFlagBits) {
  TfrMemoView m;
  m.WriteProperty("wordwrap", Variant(false));
  EXPECT_EQ(m.Flags & flWordWrap, 0);
  m.WriteProperty("Underlines", Variant(true));
  EXPECT_NE(m.Flags & flUnderlines, 0);
  m.WriteProperty("Alignment", Variant(int(alRotated | alRight)));
  EXPECT_EQ(m.Alignment, alRotated | alRight);
  m.WriteProperty("LineSpacing", Variant(5));
  EXPECT_EQ(m.ReadProperty("LINESPACING"), Variant(5));
  EXPECT_EQ(m.ReadProperty("RTLReading"), Variant(false));
  m.Memo = {"a", "b", "c"};
  EXPECT_EQ(m.ReadProperty("Lines.Count"), Variant(3));
  EXPECT_TRUE(m.ReadProperty("NoSuchKey").IsNull());

  m.EnsureProperties();
  std::vector<std::string> names;
  for (const PropertyEntry& e : m.PropertyTable) names.push_back(e.EntryName);
  const std::vector<std::string> expected{
      "Font.Name",     "Font.Size",   "Font.Style",  "Font.Color",  "Font",     "Alignment",
      "DisplayFormat", "Highlight",   "LineSpacing", "CharSpacing", "GapX",     "GapY",
      "Stretched",     "WordWrap",    "WordBreak",   "AutoWidth",   "TextOnly", "Suppress",
      "HideZeros",     "Lines.Count", "Underlines",  "RTLReading"};
  ASSERT_GE(names.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(names.end() - expected.size(), names.end()), expected);
}

}  // namespace
}  // namespace quillet
