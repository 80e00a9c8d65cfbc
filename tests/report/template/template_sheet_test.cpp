// The sheet's embedded template: one A4 page, seven shapes and fourteen
// captions with every stored value, and byte-exact saving.
#include <gtest/gtest.h>

#include "report/views/memo/memo_view.h"
#include "report/views/view_registry.h"
#include "sheet/sheet_template.h"
#include "tests/report/template/template_support.h"

namespace quillet::test {
namespace {

struct SheetObject {
  const char* name;
  int left, top;
};

const SheetObject kSheetObjects[21] = {
    {"Shape1", 27, 16},    {"Shape2", 27, 120},   {"Width1", 134, 49},  {"Height1", 134, 67},
    {"Width2", 134, 152},  {"Height2", 134, 170}, {"Shape3", 28, 224},  {"Shape4", 28, 328},
    {"Shape5", 28, 432},   {"Shape6", 27, 536},   {"Width3", 132, 252}, {"Height3", 132, 270},
    {"Width4", 136, 364},  {"Height4", 136, 382}, {"Width5", 136, 468}, {"Height5", 136, 486},
    {"Width6", 136, 580},  {"Height6", 136, 598}, {"Shape7", 28, 640},  {"Width7", 137, 685},
    {"Height7", 137, 703},
};

class SheetTemplate : public TemplateTest {
 protected:
  void SetUp() override {
    TemplateTest::SetUp();
    if (!CreateViewByKind(Engine(), gtMemo, ""))
      GTEST_SKIP() << "TfrMemoView (kind 0) is not registered";
    const auto form = SheetTemplateForm();
    formBytes.assign(form.begin(), form.end());
  }
  // The template stream inside the "ReportForm" value.
  Bytes StreamBytes() const { return Bytes(formBytes.begin() + 8, formBytes.end()); }

  Bytes formBytes;
};

TEST_F(SheetTemplate, FormIsTheWrappedStream) {
  ASSERT_EQ(formBytes.size(), 2638u);
  WriteSeed("sheet_form.bin", formBytes);
  WriteSeed("sheet.frf", StreamBytes());
  EXPECT_EQ(Bytes(formBytes.begin(), formBytes.begin() + 8),
            (Bytes{24, 0, 0, 0, 0x46, 0x0A, 0, 0}));
  const Bytes stream = StreamBytes();
  EXPECT_EQ(stream[0], 24);
  // The first object record ends at 216, counted from the version byte.
  constexpr std::size_t kFirstEndField = 109 + 1 + 15 + 1;
  EXPECT_EQ(stream[109], 10);
  EXPECT_EQ(Bytes(stream.begin() + kFirstEndField, stream.begin() + kFirstEndField + 4),
            (Bytes{216, 0, 0, 0}));
}

TEST_F(SheetTemplate, LoadsOnePageWithTwentyOneObjects) {
  TfrTemplate t;
  EXPECT_EQ(Load(t, StreamBytes()), 0u);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(t.LoadErrorFlag);
  EXPECT_FALSE(t.KeepCurrentPrinter);
  EXPECT_FALSE(t.TwoPass);
  EXPECT_EQ(t.PrinterName, "HP DeskJet 720C");
  EXPECT_TRUE(t.Dictionary.IsEmpty());
  ASSERT_EQ(t.Pages.size(), 1u);

  const TfrPage& page = *t.Pages[0];
  EXPECT_EQ(page.PaperSizeCode, 9);
  EXPECT_EQ(page.PaperWidthTenths, 2100);
  EXPECT_EQ(page.PaperHeightTenths, 2969);
  EXPECT_EQ(page.Margins.Left, 0);
  EXPECT_EQ(page.Margins.Top, 0);
  EXPECT_EQ(page.Margins.Right, 0);
  EXPECT_EQ(page.Margins.Bottom, 0);
  EXPECT_EQ(page.Orientation, 0);
  EXPECT_EQ(page.PaperSource, 65535);
  EXPECT_EQ(page.PrintToPrevPage, 0);
  EXPECT_NE(page.MarginsApply, 0);
  EXPECT_EQ(page.Columns, 0);
  EXPECT_EQ(page.ColumnGap, 0);
  EXPECT_EQ(page.Type, ptReport);
  EXPECT_EQ(page.Name, "");
  EXPECT_EQ(page.BorderStyle, bsDialog);
  EXPECT_EQ(page.Caption, "Form");
  EXPECT_EQ(page.Color, 0x8000000Fu);
  EXPECT_EQ(page.Left, 220);
  EXPECT_EQ(page.Top, 120);
  EXPECT_EQ(page.Width, 380);
  EXPECT_EQ(page.Height, 300);
  EXPECT_EQ(page.Position, poScreenCenter);
  EXPECT_TRUE(page.ScriptLines.empty());

  ASSERT_EQ(page.Objects.size(), 21u);
  for (std::size_t i = 0; i < 21; ++i) {
    const SheetObject& want = kSheetObjects[i];
    const TfrView& v = *page.Objects[i];
    SCOPED_TRACE(want.name);
    const bool shape = std::string(want.name).starts_with("Shape");
    EXPECT_EQ(v.Name, want.name);
    EXPECT_EQ(v.Left, want.left);
    EXPECT_EQ(v.Top, want.top);
    EXPECT_EQ(v.Width, shape ? 100 : 60);
    EXPECT_EQ(v.Height, shape ? 100 : 18);
    EXPECT_EQ(v.ObjectType, shape ? gtAddIn : gtMemo);
    EXPECT_EQ(v.ClassName(), shape ? "TfrShapeView" : "TfrMemoView");
    EXPECT_EQ(v.Flags, shape ? 1 : 3);
    EXPECT_EQ(v.FrameTyp, 0);
    EXPECT_FLOAT_EQ(v.FrameWidth, 1.0f);
    EXPECT_EQ(v.FrameColor, 0u);
    EXPECT_EQ(v.FrameStyle, 0);
    EXPECT_EQ(v.FillColor, clNone);
    EXPECT_EQ(v.DisplayFormat, 0x22E);
    EXPECT_EQ(v.FormatText, "");
    EXPECT_TRUE(v.Memo.empty());
    EXPECT_TRUE(v.ScriptLines.empty());
    EXPECT_EQ(v.Visible, -1);
    EXPECT_EQ(v.Restrictions, 0);
    EXPECT_EQ(v.Tag, shape ? "0;0;0;0;0;0" : "");
    EXPECT_EQ(v.GapX, 2);
    EXPECT_EQ(v.GapY, 1);
    EXPECT_EQ(v.BandAlign, baNone);
    EXPECT_EQ(v.RecordVersion, 2);
    EXPECT_EQ(v.RecordSubVersion, 0);
    EXPECT_EQ(v.OwnerPage, &page);
    if (shape) {
      EXPECT_EQ(static_cast<const TfrShapeView&>(v).ShapeKind, skEllipse);
    } else {
      const auto& memo = static_cast<const TfrMemoView&>(v);
      EXPECT_EQ(memo.Font_.Name, "Arial");
      EXPECT_EQ(memo.Font_.Size, 8);
      EXPECT_EQ(memo.Font_.Style, 0);
      EXPECT_EQ(memo.Font_.Color, 0u);
      EXPECT_EQ(memo.Font_.Charset, 1);
      EXPECT_EQ(memo.Alignment, 0u);
      EXPECT_EQ(memo.HighlightStyle, 2);
      EXPECT_EQ(memo.HighlightColor, 0u);
      EXPECT_EQ(memo.HighlightFillColor, 0xFFFFFFu);
      EXPECT_EQ(memo.HighlightCondition, "");
      EXPECT_EQ(memo.LineSpacing, 2);
      EXPECT_EQ(memo.CharSpacing, 0);
    }
  }
}

TEST_F(SheetTemplate, SavingTheLoadedTemplateGivesTheSameBytes) {
  TfrTemplate t;
  t.StoreInDFM = true;
  MemoryStream form(formBytes);
  t.ReadReportForm(form);
  t.LoadEmbeddedTemplate();
  ASSERT_EQ(t.ObjectCount(), 21u);
  EXPECT_EQ(Save(t), StreamBytes());
  MemoryStream again;
  t.WriteReportForm(again);
  EXPECT_EQ(again.Bytes(), formBytes);
}

TEST_F(SheetTemplate, ObjectsAreFoundByName) {
  TfrTemplate t;
  Load(t, StreamBytes());
  for (int k = 1; k <= 7; ++k)
    for (const char* prefix : {"Shape", "Width", "Height"}) {
      const std::string name = prefix + std::to_string(k);
      ASSERT_NE(t.FindView(name), nullptr) << name;
      EXPECT_EQ(t.FindView(name)->Name, name);
    }
  EXPECT_EQ(t.FindView("shape3"), t.FindView("Shape3"));
  EXPECT_EQ(t.FindView("Shape8"), nullptr);
}

// Without the shape class the captions still load and the missing class is
// named once per shape record.
TEST_F(SheetTemplate, WithoutTheShapeClassTheCaptionsLoad) {
  WithoutRegisteredKinds noShapes;
  TfrTemplate t;
  EXPECT_EQ(Load(t, StreamBytes()), 0u);
  std::string listed;
  for (int i = 0; i < 7; ++i) listed += "TfrShapeView\r";
  EXPECT_EQ(t.LoadErrorText, listed);
  ASSERT_EQ(host.messages.size(), 1u);
  ASSERT_EQ(t.ObjectCount(), 14u);
  EXPECT_EQ(t.Pages[0]->Objects[0]->Name, "Width1");
  EXPECT_EQ(t.Pages[0]->Objects[13]->Name, "Height7");
}

}  // namespace
}  // namespace quillet::test
