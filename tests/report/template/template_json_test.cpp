// The JSON form of templates: template streams survive the trip through
// JSON byte for byte, JSON survives the trip through a stream, members are
// named readably with defaults left out, and bad JSON is refused with its
// place.
#include "report/template/template_json.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/codepage.h"
#include "report/template/json_text.h"
#include "report/views/band_view.h"
#include "report/views/line_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/picture_view.h"
#include "report/views/subreport_view.h"
#include "report/views/view_registry.h"
#include "tests/report/base/record_support.h"
#include "tests/report/template/template_support.h"

namespace quillet::test {
namespace {

namespace fs = std::filesystem;

Bytes FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A registered class of the tests' own with a tail this form does not know.
class JsonTestBoxView : public TfrView {
 public:
  std::unique_ptr<TfrView> Create() const override { return std::make_unique<JsonTestBoxView>(); }
  std::string ClassName() const override { return "TfrJsonTestBox"; }
  void ReadRecord(RecordReader& s) override {
    TfrView::ReadRecord(s);
    Payload = s.ReadI32();
    Label = ReadCountedString(s);
  }
  void WriteRecord(RecordWriter& s) override {
    TfrView::WriteRecord(s);
    s.WriteI32(Payload);
    WriteCountedString(s, Label);
  }
  std::int32_t Payload = 0;
  std::string Label;
};

class TemplateJsonTest : public TemplateTest {
 protected:
  void SetUp() override {
    TemplateTest::SetUp();
    RegisterEngineKinds(Engine());
    RegisterObjectKind(
        Engine(), "TfrJsonTestBox", [] { return std::unique_ptr<TfrView>(new JsonTestBoxView); },
        {}, "");
  }

  // Stream bytes → template → JSON → template → stream bytes.
  static Bytes ThroughJson(const Bytes& stream, std::string* json = nullptr) {
    TfrTemplate loaded;
    loaded.KeepStoredPaper = true;
    Load(loaded, stream);
    const std::string text = WriteTemplateJson(loaded);
    if (json) *json = text;
    TfrTemplate built;
    ReadTemplateJson(text, built);
    return Save(built);
  }
  static std::string Rewritten(const std::string& json) {
    TfrTemplate t;
    ReadTemplateJson(json, t);
    return WriteTemplateJson(t);
  }
  // The error reading `json` raises.
  static TemplateJsonError ErrorOf(const std::string& json) {
    TfrTemplate t;
    try {
      ReadTemplateJson(json, t);
    } catch (const TemplateJsonError& e) {
      return e;
    }
    ADD_FAILURE() << "no error for " << json;
    return TemplateJsonError(0, 0, "", "");
  }
};

// Every template stream the engine can write, from the test data, the fuzz
// seeds and the sheet: once saved by the engine, it comes back from JSON
// byte for byte, and its JSON comes back from a stream unchanged.
TEST_F(TemplateJsonTest, EveryKnownTemplateSurvivesJsonBothWays) {
  const fs::path root = fs::path(QUILLET_TEST_DATA) / ".." / "..";
  std::vector<fs::path> files;
  for (const char* folder :
       {"tests/data", "fuzz/corpus/load_template", "fuzz/corpus/prepare_template"})
    for (const auto& entry : fs::directory_iterator(root / folder))
      if (entry.path().extension() == ".frf") files.push_back(entry.path());
  // The sheet's file is a "ReportForm" value: the template stream after
  // an int32 24 and its length.
  const fs::path sheet = root / "sheet/resources/sheet_template.frf";
  files.push_back(sheet);
  ASSERT_GE(files.size(), 10u);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    TfrTemplate t;
    t.KeepStoredPaper = true;
    Bytes bytes = FileBytes(file);
    if (file == sheet) bytes.erase(bytes.begin(), bytes.begin() + 8);
    Load(t, bytes);
    ASSERT_TRUE(host.messages.empty()) << host.messages.front().text;
    const Bytes saved = Save(t);
    std::string json;
    EXPECT_EQ(ThroughJson(saved, &json), saved);
    EXPECT_EQ(Rewritten(json), json);
  }
}

// The examples are kept as the writer writes them, so each comes back from
// a template stream as the same text.
TEST_F(TemplateJsonTest, TheExamplesComeBackFromAStreamAsTheSameText) {
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(QUILLET_TEST_DATA) / "../../examples")) {
    if (entry.path().extension() != ".json") continue;
    SCOPED_TRACE(entry.path().string());
    ++seen;
    const Bytes file = FileBytes(entry.path());
    const std::string json(file.begin(), file.end());
    TfrTemplate t;
    ReadTemplateJson(json, t);
    TfrTemplate loaded;
    loaded.KeepStoredPaper = true;
    Load(loaded, Save(t));
    EXPECT_EQ(WriteTemplateJson(loaded), json);
  }
  EXPECT_GE(seen, 5);  // examples join without this test changing
}

// One template with every object kind and every field off its default,
// including values that have no name.
void FillEverything(TfrTemplate& t) {
  t.PrinterName = "Virtual printer";
  t.TwoPass = true;
  t.KeepCurrentPrinter = true;
  TfrPage& report = t.AddPage();
  report.PaperSizeCode = 256;
  report.PaperWidthTenths = 1480;
  report.PaperHeightTenths = 2100;
  report.Orientation = 1;
  report.Margins = {10, 20, 30, 40};
  report.MarginsApply = 0;
  report.PaperSource = 7;
  report.PrintToPrevPage = -1;
  report.Columns = 2;
  report.ColumnGap = 15;
  report.ScriptLines = {"begin", "  x := 1;", "end"};
  TfrPage& dialog = t.AddPage();
  dialog.Type = ptDialog;
  dialog.BorderStyle = bsToolWindow;
  dialog.Caption = "Pick a date";
  dialog.Color = 0x12345678;  // no name: stays a number
  dialog.Left = 1, dialog.Top = 2, dialog.Width = 3, dialog.Height = 4;
  dialog.Position = poDesigned;

  auto band = std::make_unique<TfrBandView>();
  band->Name = "GroupHeader1";
  band->FrameTyp = btGroupHeader;
  band->FormatText = "[Customer]";
  band->Flags = flBandFormNewPage | flBandRepeatHeader | 0x4000;
  band->ChildBand = "Child1";
  band->Master = "MasterData1";
  band->Columns = 3, band->ColumnWidth = 99, band->ColumnGap = 7, band->NewColumnAfter = 4;
  band->SetGeometry(0, 100, 700, 30);
  report.AddObject(std::move(band));

  auto memo = std::make_unique<TfrMemoView>();
  memo->Name = "Memo1";
  memo->SetGeometry(5, 6, 7, 8);
  memo->Flags = flStretched | flHideZeros | flRTLReading;
  memo->FrameTyp = frLeft | frTop | 0x100;
  memo->FrameWidth = 1.5f;
  memo->FrameColor = clSystemBase + 99;
  memo->FrameStyle = fsDashDotDot;
  memo->FillColor = 0x0000FF;
  memo->DisplayFormat = (1 << 24) | (1 << 16) | (3 << 8) | ',';
  memo->FormatText = "#,##0.00";
  memo->Font_ = {"Times New Roman", 14, fsBold | fsItalic, 0x00FF00, 204};
  memo->Memo = {"Привет", "", "[PAGE#]"};
  memo->ScriptLines = {"if x then", "  y"};
  memo->Visible = 0;
  memo->Restrictions = 5;
  memo->Tag = "кафе";
  memo->GapX = 0, memo->GapY = 9;
  memo->BandAlign = baRest;
  memo->RecordSubVersion = 3;
  memo->Alignment = alCenter | alVerticalBottom | alRotated | 0x100;
  memo->HighlightStyle = fsUnderline;
  memo->HighlightColor = clWhite;
  memo->HighlightFillColor = clNone;
  memo->HighlightCondition = "Value > 0";
  memo->LineSpacing = -3;
  memo->CharSpacing = 4;
  report.AddObject(std::move(memo));

  auto odd = std::make_unique<TfrMemoView>();
  odd->Name = "AllBytes";
  odd->DisplayFormat = std::int32_t(0xF1000000);  // bits beyond the word: a number
  odd->Visible = 5;
  odd->FrameWidth = 0.012f;
  std::string bytes;
  for (int b = 1; b < 256; ++b) bytes.push_back(char(b));
  odd->Memo = {Utf8OfCodePage(bytes, 1252)};  // every character of its code page
  odd->HighlightStyle = -2;
  report.AddObject(std::move(odd));

  auto picture = std::make_unique<TfrPictureView>();
  picture->Name = "Logo";
  picture->Picture.SetImage(GraphicKind::Bitmap,
                            RasterImage{2, 2, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF}});
  picture->BlobType = btJPG;
  picture->Flags = flPictureCenter;
  report.AddObject(std::move(picture));
  auto empty = std::make_unique<TfrPictureView>();
  empty->Name = "NoPicture";
  empty->BlobType = 9;
  report.AddObject(std::move(empty));

  auto sub = std::make_unique<TfrSubReportView>();
  sub->Name = "SubReport1";
  sub->SubPageIndex = 1;
  report.AddObject(std::move(sub));
  auto line = std::make_unique<TfrLineView>();
  line->Name = "Line1";
  line->FrameWidth = 12;
  report.AddObject(std::move(line));
  auto shape = MakeShape("Star", 1, 2, skStar);
  shape->Tag = "7;0;1;15;40;0";
  dialog.AddObject(std::move(shape));
  auto box = std::make_unique<JsonTestBoxView>();
  box->ObjectType = gtAddIn;
  box->Name = "Box1";
  box->Payload = -77;
  box->Label = "inside";
  dialog.AddObject(std::move(box));

  t.Dictionary.VariableTable = {{"Total", "[Sum]"}, {"Total", "again"}};
  t.Dictionary.AliasTable = {{"Customers", "Table1"}};
  t.Dictionary.BandSourceTable = {{"Band1", "Customers"}};
}

TEST_F(TemplateJsonTest, EveryFieldOfEveryKindSurvivesJsonBothWays) {
  TfrTemplate t;
  FillEverything(t);
  const Bytes saved = Save(t);
  std::string json;
  EXPECT_EQ(saved.at(0), 24);
  EXPECT_EQ(ThroughJson(saved, &json), saved);
  EXPECT_EQ(Rewritten(json), json);

  TfrTemplate back;
  ReadTemplateJson(json, back);
  auto* box = dynamic_cast<JsonTestBoxView*>(back.FindView("Box1"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->Payload, -77);
  EXPECT_EQ(box->Label, "inside");
  auto* memo = dynamic_cast<TfrMemoView*>(back.FindView("Memo1"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Memo[0], "Привет");
  EXPECT_EQ(memo->FrameWidth, 1.5f);
}

TEST_F(TemplateJsonTest, WritesReadableNamesAndLeavesDefaultsOut) {
  TfrTemplate t;
  FillEverything(t);
  const std::string json = WriteTemplateJson(t);
  for (const char* expected : {R"("printer": "Virtual printer")",
                               R"("kind": "groupHeader")",
                               R"("flags": ["formNewPage", "repeatHeader", "bit14"])",
                               R"("condition": "[Customer]")",
                               R"("sides": ["left", "top", "bit8"])",
                               R"("width": 1.5)",
                               R"("color": 2147483747)",
                               R"("style": "dashDotDot")",
                               R"("fill": "#FF0000")",
                               R"("separator": ",")",
                               R"("text": ["Привет", "", "[PAGE#]"])",
                               R"("tag": "кафе")",
                               R"("visible": false)",
                               R"("alignment": ["center", "rotated", "verticalBottom", "bit8"])",
                               R"("style": ["italic", "bold"])",
                               R"("displayFormat": -251658240)",
                               R"("visible": 5)",
                               R"("width": 0.012)",
                               R"("kind": "bitmap")",
                               R"("blobType": 9)",
                               R"("page": 1)",
                               R"("kind": "star")",
                               R"("type": "TfrJsonTestBox")",
                               R"("color": 305419896)",
                               R"("borderStyle": "toolWindow")",
                               R"("position": "designed")"})
    EXPECT_NE(json.find(expected), std::string::npos) << expected << "\n" << json;

  // A new memo and a new page say nothing beyond their names and places.
  TfrTemplate plain;
  plain.AddPage().AddObject(std::make_unique<TfrMemoView>())->Name = "Memo1";
  EXPECT_EQ(WriteTemplateJson(plain), R"({
  "pages": [
    {
      "name": "Page1",
      "objects": [
        {"type": "memo", "name": "Memo1", "left": 0, "top": 0, "width": 0, "height": 0}
      ]
    }
  ]
}
)");
}

// Keeping a footer together is bit 8 of the band's flags word: a template
// with the option differs from one without it in that bit alone, both forms
// carry it there and back, and scripts reach it by name.
TEST_F(TemplateJsonTest, KeepTogetherTravelsAsOneBitOfTheFlagsWord) {
  const std::uint16_t plain = flBandOnFirstPage | flBandOnLastPage;
  auto saved = [](std::uint16_t flags) {
    TfrTemplate t;
    auto band = std::make_unique<TfrBandView>();
    band->Name = "Footer1";
    band->FrameTyp = btGroupFooter;
    band->Flags = flags;
    band->SetGeometry(0, 100, 700, 30);
    t.AddPage().AddObject(std::move(band));
    return Save(t);
  };
  const Bytes off = saved(plain);
  const Bytes on = saved(plain | flBandKeepTogether);
  ASSERT_EQ(off.size(), on.size());
  std::vector<std::size_t> differ;
  for (std::size_t i = 0; i < on.size(); ++i)
    if (on[i] != off[i]) differ.push_back(i);
  ASSERT_EQ(differ.size(), 1u);
  // The high byte of the little-endian word, after its low byte.
  EXPECT_EQ(on[differ[0]] ^ off[differ[0]], 0x01);
  EXPECT_EQ(off[differ[0] - 1], plain);

  std::string json;
  EXPECT_EQ(ThroughJson(on, &json), on);
  EXPECT_NE(json.find(R"("flags": ["onFirstPage", "onLastPage", "keepTogether"])"),
            std::string::npos)
      << json;
  EXPECT_EQ(ThroughJson(off, &json), off);
  EXPECT_EQ(json.find("keepTogether"), std::string::npos);

  TfrTemplate back;
  Load(back, on);
  auto* band = dynamic_cast<TfrBandView*>(back.FindView("Footer1"));
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(band->Flags, plain | flBandKeepTogether);
  EXPECT_TRUE(band->ReadProperty("KeepTogether").AsBoolean());
  band->WriteProperty("KeepTogether", Variant(false));
  EXPECT_EQ(band->Flags, plain);
}

TEST_F(TemplateJsonTest, MembersLeftOutTakeTheDefaultsOfNewObjects) {
  TfrTemplate t;
  ReadTemplateJson(R"({"pages": [{"objects": [
      {"type": "memo", "left": 1, "top": 2, "width": 3, "height": 4, "text": "one\ntwo"},
      {"type": "band", "kind": "masterData", "dataSource": "3"},
      {"type": "memo", "name": "memo1"},
      {"type": "shape"}]}]})",
                   t);
  ASSERT_EQ(t.Pages.size(), 1u);
  const TfrPage& page = *t.Pages[0];
  EXPECT_EQ(page.Name, "Page1");
  EXPECT_EQ(page.PaperSizeCode, kPaperA4);
  ASSERT_EQ(page.Objects.size(), 4u);
  auto& memo = static_cast<TfrMemoView&>(*page.Objects[0]);
  EXPECT_EQ(memo.Flags, flStretched | flWordWrap);
  EXPECT_EQ(memo.Font_.Name, "Arial");
  EXPECT_EQ(memo.DisplayFormat, 512 + '.');
  EXPECT_EQ(memo.Memo, (StringList{"one", "two"}));
  // Unnamed objects get their kind's prefix and a number no other object uses.
  EXPECT_EQ(memo.Name, "Memo2");
  EXPECT_EQ(page.Objects[1]->Name, "Band1");
  EXPECT_EQ(page.Objects[1]->FrameTyp, btMasterData);
  EXPECT_EQ(page.Objects[1]->FormatText, "3");
  EXPECT_EQ(page.Objects[1]->Flags, flBandOnFirstPage | flBandOnLastPage);
  EXPECT_EQ(page.Objects[3]->Name, "Shape1");
  EXPECT_EQ(page.Objects[3]->ObjectType, gtAddIn);
}

// Each refusal names the place: line and column of the value, and the
// JSON pointer of the member.
TEST_F(TemplateJsonTest, RefusesBadJsonWithItsPlace) {
  struct Case {
    const char* json;
    int line, column;
    const char* path;
    const char* message;
  };
  const Case cases[] = {
      {"{\n  \"pages\": [,]\n}", 2, 13, "", "syntax error"},
      {"{\"pages\": [{\"objects\": [\n  {\"type\": \"band\",\n   \"kind\": \"masterdata\"}]}]}", 3,
       12, "/pages/0/objects/0/kind", "unknown band kind \"masterdata\""},
      {"{\"pages\": [{\"objects\": [{\"type\": \"memo\", \"left\": \"10\"}]}]}", 1, 50,
       "/pages/0/objects/0/left", "a whole number is needed, not a string"},
      {"{\"pages\": [{\"objects\": [{\"type\": \"memo\", \"left\": 1.5}]}]}", 1, 50,
       "/pages/0/objects/0/left", "a whole number is needed, not a fraction"},
      {"{\"pages\": [{\"objects\": [{\"type\": \"memo\", \"widht\": 3}]}]}", 1, 51,
       "/pages/0/objects/0/widht", "unknown member \"widht\""},
      {"{\"pages\": [{\"objects\": [{\"type\": \"TfrNothing\"}]}]}", 1, 34,
       "/pages/0/objects/0/type", "unknown object type \"TfrNothing\""},
      {"{\"pages\": [{\"objects\": [{\"type\": \"memo\", \"flags\": [\"stretched\", \"wrap\"]}]}]}",
       1, 65, "/pages/0/objects/0/flags/1", "unknown flag \"wrap\""},
      {"{\"pages\": [{\"objects\": [{\"type\": \"memo\", \"fill\": \"#12345\"}]}]}", 1, 50,
       "/pages/0/objects/0/fill", "unknown colour \"#12345\""},
      {"{\"pages\": [{\"objects\": [{\"type\": \"memo\", \"top\": 3000000000}]}]}", 1, 49,
       "/pages/0/objects/0/top", "out of range"},
      {"{\"pages\": [{\"dialog\": {\"borderStyle\": \"none\"}}]}", 1, 39,
       "/pages/0/dialog/borderStyle", "cannot be stored"},
      {"[]", 1, 1, "/", "an object is needed, not an array"},
      {"{\"pages\": [\n  9e9999]}", 2, 3, "", "number overflow parsing '9e9999'"},
      // A whole number too long for 64 bits is out of range, not a fraction.
      {"{\"pages\": [{\"objects\": [{\"type\": \"memo\", \"left\": 99999999999999999999999}]}]}", 1,
       50, "/pages/0/objects/0/left", "is out of range (-2147483648 to 2147483647)"},
      {"{\"pages\": [{\"objects\": [{\"type\": \"memo\", \"left\": -1e308}]}]}", 1, 50,
       "/pages/0/objects/0/left", "is out of range"},
      // A member named twice would lose one of its values.
      {"{\"pages\": [],\n \"twoPass\": true, \"pages\": []}", 2, 19, "",
       "member \"pages\" appears twice in one object"},
      {"{\"pages\": [{\"objects\": [{\"type\": \"memo\", \"left\": 1,\n \"left\": 2}]}]}", 2, 2, "",
       "member \"left\" appears twice"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const TemplateJsonError e = ErrorOf(c.json);
    EXPECT_EQ(e.Line(), c.line);
    EXPECT_EQ(e.Column(), c.column);
    EXPECT_EQ(e.Path(), c.path);
    EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
  }
}

// A message quotes at most about 80 characters of the text it is about,
// however long the text.
TEST_F(TemplateJsonTest, MessagesQuoteLongTextsShortened) {
  const std::string key(1000000, 'k');
  const TemplateJsonError e =
      ErrorOf("{\"pages\": [{\"objects\": [{\"type\": \"memo\", \"" + key + "\": 1}]}]}");
  EXPECT_LT(std::string(e.what()).size(), 300u);
  EXPECT_NE(e.Message().find("unknown member \"kkkk"), std::string::npos) << e.Message();
  EXPECT_NE(e.Message().find("...\""), std::string::npos) << e.Message();
  EXPECT_EQ(e.Line(), 1);
  EXPECT_EQ(e.Column(), int(key.size()) + 46);  // the place stays exact
}

TEST_F(TemplateJsonTest, ARefusedDocumentLeavesTheTemplateAlone) {
  TfrTemplate t;
  FillWithShapes(t, 2);
  const Bytes before = Save(t);
  EXPECT_THROW(ReadTemplateJson(R"({"printer": "x", "pages": [{"objects": [{"type": 1}]}]})", t),
               TemplateJsonError);
  EXPECT_EQ(Save(t), before);
}

TEST_F(TemplateJsonTest, TellsJsonFromTemplateStreamsByTheFirstByte) {
  EXPECT_TRUE(LooksLikeTemplateJson("{}"));
  EXPECT_TRUE(LooksLikeTemplateJson(" \r\n\t{\"pages\": []}"));
  EXPECT_FALSE(LooksLikeTemplateJson(""));
  EXPECT_FALSE(LooksLikeTemplateJson("  [{}]"));
  // Saved with a UTF-8 byte-order mark, it is still JSON, and reads.
  EXPECT_TRUE(LooksLikeTemplateJson("\xEF\xBB\xBF{\"pages\": []}"));
  TfrTemplate bom;
  ReadTemplateJson("\xEF\xBB\xBF{\"pages\": [{\"name\": \"P\"}]}", bom);
  ASSERT_EQ(bom.Pages.size(), 1u);
  EXPECT_EQ(bom.Pages[0]->Name, "P");
  TfrTemplate t;
  FillWithShapes(t, 1);
  const Bytes stream = Save(t);
  EXPECT_FALSE(LooksLikeTemplateJson(std::string(stream.begin(), stream.end())));
}

// Objects name their page in one byte; past page 256 they would come back
// on another page, so neither the JSON reader nor the stream writer takes them.
TEST_F(TemplateJsonTest, ObjectsPastPage256AreRefusedNotMoved) {
  TfrTemplate t;
  FillWithShapes(t, 0, 257);
  EXPECT_NO_THROW(Save(t));
  t.Pages.back()->AddObject(MakeShape("Late", 1, 1));
  MemoryStream out;
  EXPECT_THROW(t.SaveTemplate(out), StreamWriteError);
  EXPECT_EQ(out.Size(), 0u);

  std::string json = R"({"pages": [)";
  for (int i = 0; i < 256; ++i) json += "{}, ";
  TfrTemplate many;
  ReadTemplateJson(json + "{}]}", many);
  EXPECT_EQ(many.Pages.size(), 257u);
  EXPECT_EQ(ErrorOf(json + R"({"objects": [{"type": "line"}]}]})").Path(), "/pages/256/objects");
}

// Picture bytes convert both ways without loss, and what does not convert
// is refused rather than altered.
TEST(TemplateJsonText, Base64ConvertsBothWaysOrRefuses) {
  Bytes bytes;
  for (int n = 0; n < 7; ++n) {
    EXPECT_EQ(DecodeBase64(EncodeBase64(bytes)), bytes) << n;
    bytes.push_back(std::uint8_t(0xF0 + n));
  }
  EXPECT_EQ(EncodeBase64({'A', 'B', 'C', 'D'}), "QUJDRA==");
  EXPECT_EQ(DecodeBase64("QUJD\nRA"), (Bytes{'A', 'B', 'C', 'D'}));  // padding optional
  for (const char* bad : {"Q", "QUJD=A==", "QU*D", "=", "QUJDR==="})
    EXPECT_FALSE(DecodeBase64(bad)) << bad;
}

// Texts of any script come back from a stream as they were written, and
// the stream is version 25 only when a text needs it.
TEST_F(TemplateJsonTest, TextsOfEveryScriptSurviveAStream) {
  const std::string latin = R"({"pages": [{"objects": [
    {"type": "memo", "name": "Latin", "text": ["Zoë's Café"], "tag": "Ünïcode"},
    {"type": "memo", "name": "Russian", "text": ["Карандаш"], "font": {"charset": 204}}]}]})";
  const std::string every = R"({"pages": [{"name": "Σελίδα", "objects": [
    {"type": "memo", "name": "Texts", "text": ["Zoë's Café", "Łódź notebook", "Карандаш",
      "日本の紙", "Ελληνικά", "שלום עולם", "😀 emoji"], "script": ["s := 'Ελληνικά';"]}]}]})";
  for (const auto& [json, version] : {std::pair{latin, 24}, std::pair{every, 25}}) {
    TfrTemplate t;
    ReadTemplateJson(json, t);
    const std::string first = WriteTemplateJson(t);
    const Bytes stream = Save(t);
    EXPECT_EQ(stream.at(0), version);
    TfrTemplate back;
    back.KeepStoredPaper = true;
    Load(back, stream);
    EXPECT_EQ(WriteTemplateJson(back), first);
  }
}

}  // namespace
}  // namespace quillet::test
