// The memo's record in template streams and prepared pages, and writing a
// memo into a prepared page (suppression, split passes).
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/views/memo/memo_view.h"
#include "report/views/view_registry.h"
#include "tests/report/base/record_support.h"

namespace quillet {
namespace {

const std::string kMark(1, kParagraphMark);

// The stream version the records of a test are read and written in.
int streamVersion = kNamedRecordsVersion;
struct Version {
  int saved = streamVersion;
  explicit Version(int v) { streamVersion = v; }
  ~Version() { streamVersion = saved; }
};

TfrMemoView Sample() {
  TfrMemoView m;
  m.Name = "Width3";
  m.SetGeometry(-5, 70000, 60, 18);
  m.Flags = flStretched | flWordWrap | flUnderlines | flRTLReading;
  m.FrameTyp = frLeft | frTop;
  m.FrameWidth = 1.5f;
  m.FillColor = 0x00CCDDEE;
  m.Memo = {"W = [Size]", "", "second"};
  m.ScriptLines = {"begin", "end"};
  m.Tag = "t";
  m.Font_ = {"Times New Roman", 12, fsBold | fsItalic, 0x123456, 204};
  m.Alignment = alRotated | alCenter | alVerticalBottom;
  m.HighlightStyle = fsUnderline;
  m.HighlightColor = 0x0000FF;
  m.HighlightFillColor = 0x00FFFF;
  m.HighlightCondition = "Value > 0";
  m.LineSpacing = -1;
  m.CharSpacing = 3;
  return m;
}

std::string Written(TfrMemoView& m) {
  MemoryStream s;
  test::WriteRecordAt(m, s, streamVersion);
  return s.BytesAsString();
}

void Append32(std::string& b, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) b.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
}
void Append16(std::string& b, std::uint16_t v) {
  b.push_back(static_cast<char>(v & 0xFF));
  b.push_back(static_cast<char>(v >> 8));
}

TEST(MemoRecord, TemplateTailBytes) {
  Version v(24);
  TfrMemoView m = Sample();
  std::string tail;
  Append16(tail, 15);
  tail += "Times New Roman";
  tail.push_back(0);
  Append32(tail, 12);
  Append16(tail, fsBold | fsItalic);
  Append32(tail, 0x123456);
  Append32(tail, alRotated | alCenter | alVerticalBottom);
  Append16(tail, 204);
  Append16(tail, fsUnderline);
  Append32(tail, 0x0000FF);
  Append32(tail, 0x00FFFF);
  Append16(tail, 9);
  tail += "Value > 0";
  tail.push_back(0);
  Append32(tail, 0xFFFFFFFF);
  Append32(tail, 3);
  const std::string bytes = Written(m);
  ASSERT_GT(bytes.size(), tail.size());
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
}

// Bytes of the memo tail of Sample() in the given layout.

// The sample as an older writer stored it. The common record of those
// layouts has no band-alignment byte; the present writer adds one whenever
// the record version is above 1, so it is taken out here.
// Older layouts carry no record version, so no band-alignment byte either:
// writing at those versions gives exactly what they hold.
std::string OldLayoutBytes(TfrMemoView& m, int) {
  return Written(m);
}

TEST(MemoRecord, TemplateRoundTripIsByteForByte) {
  Version v(24);
  TfrMemoView m = Sample();
  const std::string first = Written(m);
  TfrMemoView back;
  MemoryStream in{std::string_view(first)};
  test::ReadRecordAt(back, in, streamVersion);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(Written(back), first);
  EXPECT_EQ(back.Name, "Width3");
  EXPECT_EQ(back.Font_, m.Font_);
  EXPECT_EQ(back.Alignment, m.Alignment);
  EXPECT_EQ(back.HighlightStyle, fsUnderline);
  EXPECT_EQ(back.HighlightColor, 0x0000FFu);
  EXPECT_EQ(back.HighlightFillColor, 0x00FFFFu);
  EXPECT_EQ(back.HighlightCondition, "Value > 0");
  EXPECT_EQ(back.LineSpacing, -1);
  EXPECT_EQ(back.CharSpacing, 3);
  EXPECT_EQ(back.Flags, m.Flags);
}

TEST(MemoRecord, OlderTemplateLayoutsRead) {
  for (int version : {21, 22, 23}) {
    Version v(version);
    TfrMemoView m = Sample();
    const std::string bytes = OldLayoutBytes(m, version);
    TfrMemoView back;
    MemoryStream in{std::string_view(bytes)};
    test::ReadRecordAt(back, in, streamVersion);
    EXPECT_TRUE(in.AtEnd()) << version;
    EXPECT_EQ(back.Memo, m.Memo) << version;
    EXPECT_EQ(back.Font_.Name, "Times New Roman");
    EXPECT_EQ(back.Font_.Size, 12);
    EXPECT_EQ(back.Font_.Style, fsBold | fsItalic);
    EXPECT_EQ(back.Font_.Charset, version < 23 ? kDefaultCharset : 204) << version;
    EXPECT_EQ(back.Alignment, m.Alignment);
    EXPECT_EQ(back.HighlightCondition, "Value > 0");
    EXPECT_EQ(back.LineSpacing, 2) << version;  // defaults: not stored
    EXPECT_EQ(back.CharSpacing, 0) << version;
  }
}

TEST(MemoRecord, OldestLayoutTurnsWordWrapOn) {
  Version v(21);
  TfrMemoView m = Sample();
  m.Flags = flStretched;
  const std::string bytes = OldLayoutBytes(m, 21);
  TfrMemoView back;
  MemoryStream in{std::string_view(bytes)};
  test::ReadRecordAt(back, in, streamVersion);
  EXPECT_EQ(back.Flags, flStretched | flWordWrap);
}

TEST(MemoRecord, PreparedRoundTripCarriesTheWorkTextAndNoHighlight) {
  Version v(24);
  TfrMemoView m = Sample();
  m.PreparedMode = true;
  m.WorkText = {"W = 50" + kMark};
  const std::string first = Written(m);
  EXPECT_EQ(first.find("Value > 0"), std::string::npos);
  EXPECT_EQ(first.find("begin"), std::string::npos);

  TfrMemoView back;
  back.PreparedMode = true;
  MemoryStream in{std::string_view(first)};
  test::ReadRecordAt(back, in, streamVersion);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(back.Memo, m.WorkText);
  EXPECT_EQ(back.HighlightCondition, "");
  back.WorkText = back.Memo;
  EXPECT_EQ(Written(back), first);
}

TEST(MemoRecord, EveryShortenedRecordRaisesTheStreamReadError) {
  for (bool prepared : {false, true}) {
    Version v(24);
    TfrMemoView m = Sample();
    m.PreparedMode = prepared;
    m.WorkText = m.Memo;
    const std::string bytes = Written(m);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
      TfrMemoView back;
      back.PreparedMode = prepared;
      MemoryStream in{std::string_view(bytes).substr(0, n)};
      EXPECT_THROW(test::ReadRecordAt(back, in, streamVersion), StreamReadError) << n;
    }
  }
}

TEST(MemoRecord, FactoryMakesMemosForKindZero) {
  auto view = CreateViewByKind(Engine(), gtMemo, "");
  ASSERT_NE(view, nullptr);
  auto* memo = dynamic_cast<TfrMemoView*>(view.get());
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->ObjectType, gtMemo);
  EXPECT_EQ(memo->NamePrefix, "Memo");
  EXPECT_EQ(memo->Flags, flStretched | flWordWrap);
  EXPECT_EQ(memo->Font_.Name, "Arial");
  EXPECT_EQ(memo->Font_.Size, 10);
  EXPECT_EQ(memo->HighlightStyle, fsBold);
  EXPECT_EQ(memo->HighlightFillColor, clWhite);
  EXPECT_EQ(memo->LineSpacing, 2);
  EXPECT_EQ(memo->GapX, 2);
  EXPECT_EQ(memo->GapY, 1);
}

// ---- Writing into a prepared page -----------------------------------------

struct Recorded {
  TfrMemoView memo;
  Recorded() {
    Prep().RenderActive = true;
    memo.PreparedMode = true;
    memo.Font_.Size = 8;
  }
  // Writes the memo and reads the written object back.
  std::unique_ptr<TfrMemoView> RecordAndReadBack(bool* written = nullptr) {
    MemoryStream s;
    memo.Record(s);
    if (written) *written = s.Size() > 0;
    if (s.Size() == 0) return nullptr;
    s.Seek(0);
    EXPECT_EQ(s.ReadU8(), gtMemo);
    auto back = std::make_unique<TfrMemoView>();
    back->PreparedMode = true;
    test::ReadRecordAt(*back, s, streamVersion);
    EXPECT_TRUE(s.AtEnd());
    return back;
  }
};

TEST(MemoRecordIntoPage, WholeMemoCarriesItsExpandedText) {
  Recorded r;
  r.memo.SetGeometry(10, 20, 60, 18);
  r.memo.Memo = {"W = 50"};
  auto back = r.RecordAndReadBack();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Memo, StringList{"W = 50"});
  EXPECT_EQ(back->Left, 10);
  EXPECT_EQ(back->Font_.Size, 8);
  EXPECT_EQ(r.memo.DrawPass, 0);
  EXPECT_FALSE(r.memo.Splitting);
}

TEST(MemoRecordIntoPage, InvisibleMemoWritesNothing) {
  Recorded r;
  r.memo.Memo = {"x"};
  r.memo.Visible = 0;
  bool written = true;
  r.RecordAndReadBack(&written);
  EXPECT_FALSE(written);
}

TEST(MemoRecordIntoPage, SuppressSkipsARepeatedText) {
  Recorded r;
  r.memo.SetGeometry(0, 0, 60, 18);
  r.memo.Flags |= flSuppress;
  r.memo.Memo = {"Same"};
  bool written = false;
  // A stretched memo is measured, then written with its laid-out lines.
  EXPECT_EQ(r.memo.CalcHeight(), 15);
  r.RecordAndReadBack(&written);
  EXPECT_TRUE(written);
  EXPECT_EQ(r.memo.LastText, "Same" + kMark + "\r\n");
  EXPECT_EQ(r.memo.CalcHeight(), 0);
  r.RecordAndReadBack(&written);
  EXPECT_FALSE(written);
  EXPECT_EQ(r.memo.DrawPass, 0);
  // Without measuring first, the expanded text is compared.
  r.RecordAndReadBack(&written);
  EXPECT_TRUE(written);
  r.RecordAndReadBack(&written);
  EXPECT_FALSE(written);

  r.memo.Memo = {"Other"};
  EXPECT_EQ(r.memo.CalcHeight(), 15);
  r.RecordAndReadBack(&written);
  EXPECT_TRUE(written);
}

// The laid-out lines that wait for a later page.
StringList Unplaced(const TfrMemoView& memo) {
  return StringList(memo.WorkText.end() - static_cast<std::ptrdiff_t>(memo.LinesLeft()),
                    memo.WorkText.end());
}

TEST(MemoRecordIntoPage, SplitMemoWritesTheLinesThatFitAndKeepsTheRest) {
  Recorded r;
  r.memo.SetGeometry(0, 0, 200, 2 * 13 + 2 + 1);  // room for two lines
  r.memo.Memo = {"one", "two", "three", "four"};
  ASSERT_EQ(r.memo.CalcHeight(), 4 * 13 + 2);
  r.memo.DrawPass = 2;
  auto first = r.RecordAndReadBack();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Memo, (StringList{"one" + kMark, "two" + kMark}));
  EXPECT_EQ(Unplaced(r.memo), (StringList{"three" + kMark, "four" + kMark}));
  EXPECT_EQ(r.memo.DrawPass, 0);
  // The next page takes the lines that follow, and nothing is left after it.
  r.memo.DrawPass = 2;
  auto second = r.RecordAndReadBack();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->Memo, (StringList{"three" + kMark, "four" + kMark}));
  EXPECT_EQ(r.memo.LinesLeft(), 0u);
  // Measuring again starts the text afresh.
  r.memo.CalcHeight();
  EXPECT_EQ(r.memo.LinesLeft(), 4u);
}

TEST(MemoRecordIntoPage, SplitInsideAParagraphMarksThePieceAsLaidOut) {
  Recorded r;
  r.memo.SetGeometry(0, 0, 40, 2 * 13 + 2 + 1);
  r.memo.Memo = {"aa bb cc dd ee ff gg hh ii jj"};
  r.memo.CalcHeight();
  const StringList laid = r.memo.WorkText;
  ASSERT_GT(laid.size(), 3u);
  r.memo.DrawPass = 2;
  auto first = r.RecordAndReadBack();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Memo, (StringList{laid[0], laid[1], kMark}));
  EXPECT_EQ(Unplaced(r.memo), StringList(laid.begin() + 2, laid.end()));
}

}  // namespace
}  // namespace quillet
