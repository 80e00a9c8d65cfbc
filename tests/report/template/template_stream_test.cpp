// Reading and writing whole template streams: round trips, versions, and
// what the loader does with streams it cannot fully read.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "report/printer/printer.h"
#include "report/views/memo/memo_view.h"
#include "report/views/view_registry.h"
#include "tests/report/base/record_support.h"
#include "tests/report/template/template_support.h"

namespace quillet::test {
namespace {

const std::string kNotPlugged = "Report contains the following non-plugged components:\r";
const std::string kIncludeThem = "You must include these components into your project.";

// A view class of the tests' own, registered by name, with one int32 tail.
class TestBoxView : public TfrView {
 public:
  TestBoxView() { NamePrefix = "Box"; }
  std::unique_ptr<TfrView> Create() const override { return std::make_unique<TestBoxView>(); }
  std::string ClassName() const override { return "TfrTestBoxView"; }
  void ReadRecord(RecordReader& s) override {
    TfrView::ReadRecord(s);
    Payload = s.ReadI32();
  }
  void WriteRecord(RecordWriter& s) override {
    TfrView::WriteRecord(s);
    s.WriteI32(Payload);
  }
  void AfterReportLoaded() override { ++AfterLoadedCalls; }
  std::int32_t Payload = 0;
  int AfterLoadedCalls = 0;
};

std::unique_ptr<TfrView> MakeBox() {
  return std::make_unique<TestBoxView>();
}

std::unique_ptr<TestBoxView> Box(const std::string& name, std::int32_t payload) {
  auto v = std::make_unique<TestBoxView>();
  v->ObjectType = gtAddIn;
  v->Name = name;
  v->Payload = payload;
  v->SetGeometry(1, 2, 3, 4);
  return v;
}

std::int32_t I32At(const Bytes& b, std::size_t at) {
  return std::int32_t(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
                      std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24);
}

void PutI32(Bytes& b, std::size_t at, std::int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t((std::uint32_t(v) >> (8 * i)) & 0xFF);
}

// Offsets of the object records' end-position fields in a saved template
// whose objects are all shapes ("TfrShapeView" after marker 10).
std::vector<std::size_t> ShapeEndFields(const Bytes& b, std::size_t firstObject) {
  std::vector<std::size_t> fields;
  std::size_t at = firstObject;
  while (at < b.size() && b[at] == gtAddIn) {
    const std::size_t field = at + 1 + 15 + 1;
    fields.push_back(field);
    at = std::size_t(I32At(b, field));
  }
  return fields;
}

// Header of the templates FillWithShapes makes: version, two bools, name.
constexpr std::size_t kHeaderSize = 1 + 2 + 2 + 18;
// A page record named "Page1", caption "Form", empty script, plus marker.
constexpr std::size_t kPageSize = 91;

using TemplateStream = TemplateTest;

TEST_F(TemplateStream, SaveLoadSaveGivesTheSameBytes) {
  TfrTemplate t;
  FillWithShapes(t, 3, 2);
  t.KeepCurrentPrinter = true;
  t.TwoPass = true;
  t.Pages[1]->ScriptLines = {"begin", "", "end"};
  t.Pages[1]->Type = ptDialog;
  auto& shape = static_cast<TfrShapeView&>(*t.Pages[0]->Objects[1]);
  shape.Memo = {"first", "", "third"};
  shape.ScriptLines = {"x := 1"};
  shape.FrameWidth = 1.5f;
  shape.BandAlign = baCenter;
  shape.Visible = 0;
  t.Dictionary.VariableTable = {{"Total", "[Sum]"}, {"Empty", ""}};
  t.Dictionary.BandSourceTable = {{"Data", "Table1"}};
  const Bytes first = Save(t);
  WriteSeed("two_pages.frf", first);

  TfrTemplate u;
  EXPECT_EQ(Load(u, first), 0u);
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(u.Pages.size(), 2u);
  ASSERT_EQ(u.ObjectCount(), 6u);
  EXPECT_TRUE(u.KeepCurrentPrinter);
  EXPECT_TRUE(u.TwoPass);
  EXPECT_EQ(u.PrinterName, "HP DeskJet 720C");
  EXPECT_EQ(u.Pages[1]->ScriptLines, (StringList{"begin", "", "end"}));
  auto& read = static_cast<TfrShapeView&>(*u.Pages[0]->Objects[1]);
  EXPECT_EQ(read.Name, "Shape2");
  EXPECT_EQ(read.Memo, (StringList{"first", "", "third"}));
  EXPECT_FLOAT_EQ(read.FrameWidth, 1.5f);
  EXPECT_EQ(read.BandAlign, baCenter);
  EXPECT_EQ(read.Visible, 0);
  EXPECT_EQ(read.ShapeKind, skEllipse);
  EXPECT_EQ(read.OwnerPage, u.Pages[0].get());
  EXPECT_EQ(u.Pages[1]->Objects[2]->Name, "Shape6");
  EXPECT_EQ(u.Dictionary.VariableTable, t.Dictionary.VariableTable);
  EXPECT_EQ(Save(u), first);
}

TEST_F(TemplateStream, EndPositionsPointAtTheNextRecord) {
  TfrTemplate t;
  FillWithShapes(t, 3);
  const Bytes b = Save(t);
  const auto fields = ShapeEndFields(b, kHeaderSize + kPageSize);
  ASSERT_EQ(fields.size(), 3u);
  // The last record ends where the dictionary's marker starts.
  const std::size_t dictionary = b.size() - 15;
  EXPECT_EQ(I32At(b, fields.back()), std::int32_t(dictionary));
  EXPECT_EQ(b[dictionary], 254);
}

TEST_F(TemplateStream, VirtualPrinterIsStoredAsCharacterOne) {
  TfrTemplate t;
  t.AddPage();
  t.PrinterName = "Virtual printer";
  const Bytes b = Save(t);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 9), (Bytes{24, 0, 0, 0, 0, 1, 0, 1, 0}));
  TfrTemplate u;
  Load(u, b);
  EXPECT_EQ(u.PrinterName, "Virtual printer");
}

TEST_F(TemplateStream, SavingWritesThePrinterSelectedNow) {
  TfrTemplate t;
  t.AddPage();
  t.PrinterName = "HP DeskJet 720C";  // not installed: the virtual printer stays selected
  StartEnginePrinter(Engine(), nullptr);
  const Bytes b = Save(t);
  StopEnginePrinter(Engine());
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 9), (Bytes{24, 0, 0, 0, 0, 1, 0, 1, 0}));
  // Without a started printer the template's own name stands.
  const Bytes own = Save(t);
  EXPECT_EQ(std::string(own.begin() + 7, own.begin() + 22), "HP DeskJet 720C");
}

TEST_F(TemplateStream, EmptyStreamOnlyClearsTheDictionary) {
  TfrTemplate t;
  FillWithShapes(t, 2);
  t.TwoPass = true;
  t.Dictionary.VariableTable = {{"A", "1"}};
  EXPECT_EQ(Load(t, {}), 0u);
  EXPECT_EQ(t.ObjectCount(), 2u);
  EXPECT_TRUE(t.TwoPass);
  EXPECT_TRUE(t.Dictionary.IsEmpty());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(Prep().RenderActive);
}

TEST_F(TemplateStream, VersionAbove27IsRefusedAndKeepsThePages) {
  TfrTemplate t;
  FillWithShapes(t, 2);
  Bytes b = Save(t);
  b[0] = 28;
  t.Dictionary.VariableTable = {{"A", "1"}};
  Load(t, b);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text,
            "Unsupported FRF format: stream version 28; this program reads versions 21 to 27");
  EXPECT_EQ(host.messages[0].caption, "Error");
  EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(t.ObjectCount(), 2u);
  EXPECT_TRUE(t.Dictionary.IsEmpty());
}

TEST_F(TemplateStream, UnknownMarkerLeavesOneEmptyPage) {
  TfrTemplate t;
  FillWithShapes(t, 2);
  Bytes b = Save(t);
  b.insert(b.begin() + kHeaderSize + kPageSize, 11);
  TfrTemplate u;
  FillWithShapes(u, 5, 3);
  Load(u, b);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Unsupported FRF format"}));
  ASSERT_EQ(u.Pages.size(), 1u);
  EXPECT_EQ(u.Pages[0]->Objects.size(), 0u);
  EXPECT_EQ(u.Pages[0]->Name, "Page1");
}

TEST_F(TemplateStream, ExtensionMarkerEndsTheTemplate) {
  TfrTemplate t;
  FillWithShapes(t, 1);
  Bytes b = Save(t);
  b.insert(b.begin() + kHeaderSize + kPageSize, {253, 99, 99});
  TfrTemplate u;
  EXPECT_EQ(Load(u, b), b.size() - (kHeaderSize + kPageSize + 1));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(u.Pages.size(), 1u);
  EXPECT_EQ(u.ObjectCount(), 0u);
}

// Every cut of a template either ends at a record boundary (a shorter but
// sound template) or inside a record: then the load fails as a whole.
TEST_F(TemplateStream, TruncatedStreamsFailAsAWhole) {
  TfrTemplate t;
  FillWithShapes(t, 3);
  t.Dictionary.VariableTable = {{"A", "1"}};
  const Bytes b = Save(t);
  const auto ends = ShapeEndFields(b, kHeaderSize + kPageSize);
  std::vector<std::size_t> boundaries = {kHeaderSize, kHeaderSize + kPageSize};
  for (std::size_t field : ends) boundaries.push_back(std::size_t(I32At(b, field)));

  for (std::size_t n = 1; n < b.size(); ++n) {
    SCOPED_TRACE("cut at " + std::to_string(n));
    host.messages.clear();
    TfrTemplate u;
    Load(u, Bytes(b.begin(), b.begin() + n));
    const bool atBoundary = std::find(boundaries.begin(), boundaries.end(), n) != boundaries.end();
    if (atBoundary) {
      EXPECT_TRUE(host.messages.empty());
      continue;
    }
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Unsupported FRF format"}));
    ASSERT_EQ(u.Pages.size(), 1u);
    EXPECT_EQ(u.ObjectCount(), 0u);
  }
}

TEST_F(TemplateStream, UnregisteredClassesAreListedAndTheRestLoads) {
  TfrTemplate t;
  FillWithShapes(t, 2, 2);
  t.Pages[0]->Objects.insert(t.Pages[0]->Objects.begin() + 1, Box("Box1", 11));
  t.Pages[1]->AddObject(Box("Box2", 22));
  const Bytes b = Save(t);

  WithoutRegisteredKinds noShapes;
  RegisterObjectKind(Engine(), "TfrTestBoxView", MakeBox, {}, "");
  TfrTemplate u;
  EXPECT_EQ(Load(u, b), 0u);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, kNotPlugged + "TfrShapeView\rTfrShapeView\rTfrShapeView\r" +
                                       "TfrShapeView\r" + kIncludeThem);
  EXPECT_EQ(host.messages[0].caption, "Error");
  EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
  EXPECT_TRUE(u.LoadErrorFlag);
  EXPECT_EQ(u.LoadErrorText,
            std::string("TfrShapeView\r") + "TfrShapeView\rTfrShapeView\rTfrShapeView\r");
  ASSERT_EQ(u.Pages.size(), 2u);
  ASSERT_EQ(u.Pages[0]->Objects.size(), 1u);
  ASSERT_EQ(u.Pages[1]->Objects.size(), 1u);
  auto& box1 = static_cast<TestBoxView&>(*u.Pages[0]->Objects[0]);
  auto& box2 = static_cast<TestBoxView&>(*u.Pages[1]->Objects[0]);
  EXPECT_EQ(box1.Payload, 11);
  EXPECT_EQ(box2.Payload, 22);
  // A template that did not load whole is not made ready.
  EXPECT_EQ(box1.AfterLoadedCalls, 0);
  EXPECT_EQ(box2.AfterLoadedCalls, 0);
}

TEST_F(TemplateStream, EveryObjectHearsAfterReportLoadedOnce) {
  WithoutRegisteredKinds scope;
  RegisterObjectKind(Engine(), "TfrTestBoxView", MakeBox, {}, "");
  TfrTemplate t;
  t.AddPage().AddObject(Box("Box1", 1));
  t.AddPage().AddObject(Box("Box2", 2));
  TfrTemplate u;
  Load(u, Save(t));
  EXPECT_TRUE(host.messages.empty());
  for (const auto& page : u.Pages)
    for (const auto& v : page->Objects)
      EXPECT_EQ(static_cast<TestBoxView&>(*v).AfterLoadedCalls, 1);
}

TEST_F(TemplateStream, LookupControlClassesAreRenamed) {
  TfrTemplate t;
  FillWithShapes(t, 0);
  const Bytes head = Save(t);
  ByteWriter w;
  w.bytes(Bytes(head.begin(), head.begin() + kHeaderSize + kPageSize));
  for (const char* old : {"TFRBDELOOKUPCONTROL", "TfrIBXLookupControl"}) {
    const std::size_t start = w.size();
    w.u8(10).str(old).u8(0);
    w.i32(std::int32_t(start + 1 + 2 + std::string(old).size() + 1 + 1 + 4 + 3)).u8(1).u8(2).u8(3);
  }
  w.bytes(Bytes(head.begin() + kHeaderSize + kPageSize, head.end()));
  TfrTemplate u;
  EXPECT_EQ(Load(u, w.b), 0u);
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{kNotPlugged + "TfrDBLookupControl\rTfrDBLookupControl\r" +
                                      kIncludeThem}));
}

TEST_F(TemplateStream, KindsFiveToNineAreSkippedByTheirEndPosition) {
  TfrTemplate t;
  FillWithShapes(t, 1);
  Bytes b = Save(t);
  const std::size_t at = kHeaderSize + kPageSize;
  Bytes junk = {7, 0, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE};
  PutI32(junk, 2, std::int32_t(at + junk.size()));
  b.insert(b.begin() + at, junk.begin(), junk.end());
  PutI32(b, at + junk.size() + 17, I32At(b, at + junk.size() + 17) + std::int32_t(junk.size()));
  TfrTemplate u;
  EXPECT_EQ(Load(u, b), 0u);
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(u.ObjectCount(), 1u);
  EXPECT_EQ(u.Pages[0]->Objects[0]->Name, "Shape1");
}

TEST_F(TemplateStream, RecordThatFailsIsSkippedByItsEndPosition) {
  TfrTemplate t;
  FillWithShapes(t, 2);
  Bytes b = Save(t);
  // The first shape's name claims more bytes than the stream has.
  const std::size_t nameLength = kHeaderSize + kPageSize + 1 + 15 + 1 + 4;
  b[nameLength] = 0xFF;
  b[nameLength + 1] = 0xFF;
  TfrTemplate u;
  EXPECT_EQ(Load(u, b), 0u);
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(u.ObjectCount(), 1u);
  EXPECT_EQ(u.Pages[0]->Objects[0]->Name, "Shape2");
}

TEST_F(TemplateStream, ObjectOnAMissingPageIsSkipped) {
  TfrTemplate t;
  FillWithShapes(t, 2);
  Bytes b = Save(t);
  b[kHeaderSize + kPageSize + 1 + 15] = 3;  // page index of the first shape
  TfrTemplate u;
  EXPECT_EQ(Load(u, b), 0u);
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(u.ObjectCount(), 1u);
  EXPECT_EQ(u.Pages[0]->Objects[0]->Name, "Shape2");
}

// An end position that points back into the record would make the loader
// read the same bytes for ever; it ends the load instead.
TEST_F(TemplateStream, EndPositionBehindTheRecordEndsTheLoad) {
  TfrTemplate t;
  FillWithShapes(t, 2);
  for (std::int32_t bad : {0, std::int32_t(kHeaderSize + kPageSize), -5, 1 << 30}) {
    SCOPED_TRACE(bad);
    host.messages.clear();
    Bytes b = Save(t);
    PutI32(b, kHeaderSize + kPageSize + 17, bad);
    TfrTemplate u;
    Load(u, b);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Unsupported FRF format"}));
    EXPECT_EQ(u.ObjectCount(), 0u);
  }
}

// A stream without a version byte starts with the printer flag, whose low
// byte is 0: it is read as version 21 from its first byte.
TEST_F(TemplateStream, VersionlessStreamReadsAsVersion21) {
  ByteWriter w;
  w.i16(0).i16(-1).zstr("Printer");
  w.u8(255).i32(9).i32(2100).i32(2970).i32(10).i32(20).i32(30).i32(40).u8(1);
  w.bytes(Bytes(6, 0)).i16(0).i16(-1).i32(2).i32(5);
  for (int i = 0; i < 2; ++i) {
    w.u8(10).zstr("TfrShapeView").u8(0);
    w.i32(5 + i).i32(6).i32(70).i32(80).i16(1).i16(15).i32(2).i32(0xFF).i16(0).i32(0x1FFFFFFF);
    w.i32(0).zstr("fmt").zstr("a\rb").u8(skStar);
  }
  w.u8(254).i16(-2).i32(1).zstr("Var").zstr("1+2").i32(0).i32(0);

  WriteSeed("version21.frf", w.b);
  TfrTemplate t;
  EXPECT_EQ(Load(t, w.b), 0u);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(t.TwoPass);
  EXPECT_EQ(t.PrinterName, "Printer");
  ASSERT_EQ(t.Pages.size(), 1u);
  const TfrPage& page = *t.Pages[0];
  EXPECT_EQ(page.Name, "Page1");
  EXPECT_EQ(page.Orientation, 1);
  EXPECT_EQ(page.PaperSource, -1);
  EXPECT_EQ(page.Columns, 2);
  EXPECT_EQ(page.Caption, "Form");
  ASSERT_EQ(page.Objects.size(), 2u);
  const auto& s1 = static_cast<const TfrShapeView&>(*page.Objects[0]);
  const auto& s2 = static_cast<const TfrShapeView&>(*page.Objects[1]);
  EXPECT_EQ(s1.Name, "Shape1");
  EXPECT_EQ(s2.Name, "Shape2");
  EXPECT_EQ(s2.Left, 6);
  EXPECT_EQ(s1.FrameTyp, 15);
  EXPECT_FLOAT_EQ(s1.FrameWidth, 2.0f);
  EXPECT_EQ(s1.FormatText, "fmt");
  EXPECT_EQ(s1.Memo, (StringList{"a", "b"}));
  EXPECT_EQ(s1.ShapeKind, skStar);
  EXPECT_EQ(t.Dictionary.VariableTable, (NameValueTable{{"Var", "1+2"}}));
}

// The old framed memo of a version-23 stream (no end positions): a memo
// record followed by eight bytes of its own.
TEST_F(TemplateStream, OldFramedMemoBecomesAMemo) {
  if (!CreateViewByKind(Engine(), gtMemo, ""))
    GTEST_SKIP() << "TfrMemoView (kind 0) is not registered";
  ByteWriter w;
  w.u8(23).i16(0).i16(0).str("");
  w.u8(255).i32(-1).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0);
  w.i16(0).i16(-1).i32(0).i32(0);
  for (const char* name : {"Memo1", "Memo2"}) {
    w.u8(10).str("TFRFRAMEDMEMOVIEW").u8(0);
    w.str(name).i32(1).i32(2).i32(60).i32(18).i16(3).i16(0).i32(1).i32(0).i16(0).i32(0x1FFFFFFF);
    w.i32(0).str("").i16(1).line("framed", 0).i16(0).u8(0).i16(-1);
    w.str("Arial").i32(8).i16(0).i32(0).i32(0).i16(1).i16(2).i32(0).i32(0xFFFFFF).str("");
    w.bytes(Bytes(8, 0xAB));
  }
  w.u8(254).i16(-2).i32(0).i32(0).i32(0);
  WriteSeed("framed_memo23.frf", w.b);
  TfrTemplate t;
  EXPECT_EQ(Load(t, w.b), 0u);
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(t.ObjectCount(), 2u);
  for (const auto& v : t.Pages[0]->Objects) {
    EXPECT_EQ(v->ObjectType, gtMemo);
    EXPECT_EQ(v->Memo, (StringList{"framed"}));
  }
  EXPECT_EQ(t.Pages[0]->Objects[1]->Name, "Memo2");
}

// A built-in kind whose class is not plugged in is listed by its class name.
TEST_F(TemplateStream, FramedMemoWithoutAMemoClassIsListed) {
  struct WithoutMemo {
    WithoutMemo() { RegisterBuiltInKind(gtMemo, nullptr); }
    ~WithoutMemo() {
      RegisterBuiltInKind(gtMemo,
                          [] { return std::unique_ptr<TfrView>(std::make_unique<TfrMemoView>()); });
    }
  } noMemo;
  TfrTemplate t;
  FillWithShapes(t, 1);
  Bytes b = Save(t);
  const std::size_t at = kHeaderSize + kPageSize;
  ByteWriter w;
  w.u8(10).str("TfrFramedMemoView").u8(0).i32(0).u8(9);
  PutI32(w.b, 1 + 20 + 1, std::int32_t(at + w.size()));
  b.insert(b.begin() + at, w.b.begin(), w.b.end());
  PutI32(b, at + w.size() + 17, I32At(b, at + w.size() + 17) + std::int32_t(w.size()));
  TfrTemplate u;
  EXPECT_EQ(Load(u, b), 0u);
  EXPECT_EQ(MessageTexts(),
            (std::vector<std::string>{kNotPlugged + "TfrMemoView\r" + kIncludeThem}));
  EXPECT_EQ(u.ObjectCount(), 1u);
}

// Frame widths: whole widths up to 10 as such, others in thousandths.
TEST_F(TemplateStream, FrameWidthEncoding) {
  struct Row {
    float width;
    std::int32_t stored;
    float readBack;
  };
  for (Row row : {Row{1.5f, 1500, 1.5f}, Row{1, 1, 1}, Row{12, 12000, 12}, Row{10, 10, 10},
                  Row{0.5f, 500, 0.5f}, Row{0.01f, 10, 10}}) {
    SCOPED_TRACE(row.width);
    TfrShapeView v;
    v.Name = "S";
    v.FrameWidth = row.width;
    MemoryStream s;
    test::WriteRecordAt(v, s);
    EXPECT_FLOAT_EQ(v.FrameWidth, row.width);
    const Bytes b = s.Bytes();
    constexpr std::size_t kFrameWidthAt = 4 + 2 + 16 + 4;
    EXPECT_EQ(I32At(b, kFrameWidthAt), row.stored);
    TfrShapeView r;
    MemoryStream in(b);
    test::ReadRecordAt(r, in);
    EXPECT_FLOAT_EQ(r.FrameWidth, row.readBack);
  }
  // A stored 12 means twelve thousandths.
  TfrShapeView v;
  v.Name = "S";
  MemoryStream s;
  test::WriteRecordAt(v, s);
  Bytes b = s.Bytes();
  PutI32(b, 4 + 2 + 16 + 4, 12);
  MemoryStream in(b);
  test::ReadRecordAt(v, in);
  EXPECT_FLOAT_EQ(v.FrameWidth, 0.012f);
}

TEST_F(TemplateStream, StringListBytes) {
  MemoryStream s;
  RecordWriter writer(s, kNamedRecordsVersion);
  WriteStringList(writer, {"a", ""});
  EXPECT_EQ(s.Bytes(), (Bytes{2, 0, 1, 0, 'a', 13, 0, 0, 0}));
  s.Seek(0);
  RecordReader reader(s, kNamedRecordsVersion);
  EXPECT_EQ(ReadStringList(reader), (StringList{"a", ""}));
  MemoryStream empty;
  RecordWriter emptyWriter(empty, kNamedRecordsVersion);
  WriteStringList(emptyWriter, {});
  EXPECT_EQ(empty.Bytes(), (Bytes{0, 0, 0}));
}

}  // namespace
}  // namespace quillet::test
