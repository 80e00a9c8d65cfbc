// Named properties: tables built on first use, reads and writes of the
// base, memo, shape, band, picture, line and page keys, font keys, list
// methods, and conversion failures.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "report/base/engine_state.h"
#include "report/expr/expression_globals.h"
#include "report/template/page.h"
#include "report/views/band_view.h"
#include "report/views/line_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/picture_view.h"
#include "report/views/shape_view.h"
#include "report/views/subreport_view.h"
#include "report/views/view_bases.h"
#include "report/views/view_properties.h"

namespace quillet {
namespace {

std::vector<std::string> Names(const TfrObject& o) {
  std::vector<std::string> names;
  for (const PropertyEntry& e : o.PropertyTable) names.push_back(e.EntryName);
  return names;
}

TEST(NamedProperties, TablesAreBuiltOnFirstUseOnly) {
  TfrShapeView shape;
  EXPECT_TRUE(shape.PropertyTable.empty());
  shape.EnsureProperties();
  const auto names = Names(shape);
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front(), "Name");
  EXPECT_EQ(names.back(), "Shape");
  EXPECT_NE(shape.FindProperty("bandalign"), nullptr);
  EXPECT_EQ(shape.FindProperty("Shape")->ValueNames.size(), 10u);
  // Band and sub-report views leave the frame, fill, tag and alignment out.
  TfrSubReportView sub;
  sub.EnsureProperties();
  EXPECT_EQ(sub.FindProperty("FillColor"), nullptr);
  EXPECT_NE(sub.FindProperty("Memo.Count"), nullptr);
  TfrBandView band;
  band.FrameTyp = btGroupHeader;
  band.EnsureProperties();
  EXPECT_NE(band.FindProperty("Condition"), nullptr);
  EXPECT_NE(band.FindProperty("OnBeforePrint"), nullptr);
  EXPECT_EQ(band.FindProperty("Memo"), nullptr);
  EXPECT_EQ(band.FindProperty("Tag"), nullptr);
  TfrObject o;
  o.AddProperty(std::string(40, 'x'), 0);
  EXPECT_EQ(o.PropertyTable[0].EntryName.size(), 32u);
}

TEST(NamedProperties, BaseKeysReadAndWrite) {
  TfrShapeView v;
  v.WriteProperty("left", Variant(12));
  v.WriteProperty("Width", Variant("40"));
  v.WriteProperty("FRAMEWIDTH", Variant(2.5));
  v.WriteProperty("Visible", Variant(false));
  v.WriteProperty("Tag", Variant("6;0;0;0;0;0"));
  v.WriteProperty("Memo", Variant("one\r\ntwo\nthree"));
  v.WriteProperty("Shape", Variant(9));
  EXPECT_EQ(v.Left, 12);
  EXPECT_EQ(v.Width, 40);
  EXPECT_FLOAT_EQ(v.FrameWidth, 2.5f);
  EXPECT_EQ(v.Visible, 0);
  EXPECT_EQ(v.Memo, (StringList{"one", "two", "three"}));
  EXPECT_EQ(v.ShapeKind, 9);
  EXPECT_EQ(v.ReadProperty("memo.count").AsInteger(), 3);
  EXPECT_EQ(v.ReadProperty("MEMO").AsText(), "one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(v.ReadProperty("DataField").AsText(), "one");
  EXPECT_EQ(v.ReadProperty("Visible").GetType(), Variant::Type::Boolean);
  EXPECT_EQ(v.ReadProperty("Shape").AsInteger(), 9);
  EXPECT_TRUE(v.ReadProperty("NoSuchKey").IsNull());
  v.Flags = 3;
  v.WriteProperty("Stretched", Variant(false));
  EXPECT_EQ(v.Flags, 2);
  EXPECT_THROW(v.WriteProperty("Left", Variant("abc")), ConversionError);
  EXPECT_EQ(v.Left, 12);
}

TEST(NamedProperties, MemoFontAndListMethods) {
  TfrMemoView m;
  m.Memo = {"a", "b", "c"};
  m.WriteProperty("Font.Name", Variant("Courier New"));
  m.WriteProperty("font.size", Variant(14));
  m.WriteProperty("Font.Style", Variant(3));
  m.WriteProperty("HideZeros", Variant(true));
  EXPECT_EQ(m.Font_.Name, "Courier New");
  EXPECT_EQ(m.Font_.Size, 14);
  EXPECT_EQ(m.Font_.Style, fsItalic | fsBold);
  EXPECT_NE(m.Flags & flHideZeros, 0);
  EXPECT_EQ(m.ReadProperty("FONT.NAME").AsText(), "Courier New");
  EXPECT_EQ(m.ReadProperty("Lines.Count").AsInteger(), 3);
  EXPECT_TRUE(ReadFontProperty(m.Font_, "Font.Name").IsNull());  // exact keys

  EXPECT_EQ(m.CallMethod("GETINDEXPROPERTY", Variant("MEMO"), Variant(1), Variant("")).AsText(),
            "b");
  m.CallMethod("LINES.ADD", Variant("'d' + 'e'"), Variant(), Variant());
  EXPECT_EQ(m.Memo.back(), "de");
  EXPECT_EQ(m.CallMethod("MEMO.INDEXOF", Variant("'c'"), Variant(), Variant()).AsInteger(), 2);
  m.CallMethod("MEMO.DELETE", Variant("0"), Variant(), Variant());
  EXPECT_EQ(m.Memo.front(), "b");
  EXPECT_THROW(m.CallMethod("MEMO.DELETE", Variant("10"), Variant(), Variant()), RangeError);
  m.CallMethod("LINES.CLEAR", Variant(), Variant(), Variant());
  EXPECT_TRUE(m.Memo.empty());
  m.CallMethod("HIDE", Variant(), Variant(), Variant());
  EXPECT_EQ(m.Visible, 0);
  EXPECT_TRUE(m.CallMethod("UNKNOWN", Variant(), Variant(), Variant()).IsNull());
}

TEST(NamedProperties, BandPictureLineKeys) {
  TfrBandView band;
  band.FrameTyp = btMasterData;
  band.WriteProperty("FormNewPage", Variant(true));
  band.WriteProperty("Columns", Variant(3));
  EXPECT_NE(band.Flags & flBandFormNewPage, 0);
  EXPECT_EQ(band.ReadProperty("COLUMNS").AsInteger(), 3);
  EXPECT_TRUE(band.ReadProperty("FormNewPage").AsBoolean());

  TfrPictureView picture;
  picture.WriteProperty("Center", Variant(true));
  picture.WriteProperty("BlobType", Variant(1));
  EXPECT_NE(picture.Flags & flPictureCenter, 0);
  EXPECT_EQ(picture.ReadProperty("blobtype").AsInteger(), 1);
  picture.EnsureProperties();
  EXPECT_EQ(Names(picture).back(), "BlobType");

  TfrLineView line;
  line.EnsureProperties();
  EXPECT_EQ(Names(line).back(), "Stretched");
}

class RecordingControl : public HostedControl {
 public:
  void SetSize(int, int) override {}
  void SetVisible(bool v) override { visible = v; }
  void PaintTo(Canvas&, int, int) override {}
  bool visible = true;
};

class RecordingComponent : public DialogComponent {
 public:
  void Rename(const std::string& n) override { name = n; }
  std::string name;
};

template <class Base>
class ConcreteControl : public Base {
 public:
  std::unique_ptr<TfrView> Create() const override { return std::make_unique<ConcreteControl>(); }
  std::string ClassName() const override { return "TfrTestControl"; }
};

// Controls register only what a dialog control has; writing "Visible"
// reaches the control and writing "Name" renames the component.
TEST(NamedProperties, ControlViewsKeepTheirShortListsAndReachTheirControls) {
  ConcreteControl<TfrControl> control;
  control.EnsureProperties();
  EXPECT_EQ(Names(control), (std::vector<std::string>{"Name", "Left", "Top", "Width", "Height",
                                                      "Visible", "Restrictions"}));
  EXPECT_EQ(control.FindProperty("Restrictions")->EntryFlags, pfHasEditor);
  EXPECT_EQ(control.FindProperty("Name")->EntryFlags, 257);
  EXPECT_EQ(control.FindProperty("FrameColor"), nullptr);
  RecordingControl hosted;
  control.WriteProperty("visible", Variant(false));  // no control yet: the view alone
  EXPECT_EQ(control.Visible, 0);
  control.Control = &hosted;
  control.WriteProperty("VISIBLE", Variant(true));
  EXPECT_TRUE(hosted.visible);
  control.CallMethod("HIDE", Variant(), Variant(), Variant());
  EXPECT_FALSE(hosted.visible);
  EXPECT_EQ(control.Visible, 0);

  ConcreteControl<TfrNonVisualControl> component;
  component.EnsureProperties();
  EXPECT_EQ(Names(component), (std::vector<std::string>{"Name", "Restrictions"}));
  RecordingComponent dialogComponent;
  component.Component = &dialogComponent;
  component.WriteProperty("Name", Variant("Query1"));
  EXPECT_EQ(component.Name, "Query1");
  EXPECT_EQ(dialogComponent.name, "Query1");
  component.WriteProperty("Tag", Variant("x"));
  EXPECT_EQ(dialogComponent.name, "Query1");
}

TEST(NamedProperties, PageSizesInReportPixels) {
  TfrPage page{Engine()};
  page.PaperWidthTenths = 2100;
  EXPECT_EQ(page.ReadProperty("Width").AsInteger(), 756);  // 210 mm x 18 / 5
  page.WriteProperty("Height", Variant(1000));
  EXPECT_EQ(page.PaperHeightTenths, 2778);  // 1000 x 50 / 18 = 2777.8
  page.WriteProperty("StretchToPrintable", Variant(true));
  EXPECT_EQ(page.MarginsApply, 0);
  page.EnsureProperties();
  ASSERT_NE(page.FindProperty("ColumnWidth"), nullptr);
  page.WriteProperty("ColumnWidth", Variant(240));
  EXPECT_EQ(page.ColumnWidth, 240);
  EXPECT_EQ(page.ReadProperty("COLUMNWIDTH").AsInteger(), 240);
  page.Type = ptDialog;
  page.WriteProperty("Width", Variant(500));
  EXPECT_EQ(page.Width, 500);
  EXPECT_EQ(page.ReadProperty("Caption").AsText(), "Form");
}

}  // namespace
}  // namespace quillet
