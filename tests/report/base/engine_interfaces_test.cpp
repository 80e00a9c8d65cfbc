// What lower engine folders reach through interfaces: the outer report,
// calculation errors, the band being formed; and the guards that hold a
// view in device coordinates and a prepared page in use.
#include <gtest/gtest.h>

#include <string>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "report/base/calc_errors.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/base/forming_band.h"
#include "report/base/preparation_report.h"
#include "report/template/page.h"
#include "report/views/band_view.h"
#include "tests/report/prepared/prepared_support.h"

namespace quillet {
namespace {

class NamedReport : public PreparationReport {
 public:
  explicit NamedReport(std::string name) : name_(std::move(name)) {}
  TfrView* FindView(std::string_view) const override { return nullptr; }
  std::string EvaluateBracket(const std::string& expression) override { return expression; }
  std::string ReportName() const override { return name_; }

 private:
  std::string name_;
};

class FakeBand : public FormingBand {
 public:
  bool HasBandObject() const override { return hasObject; }
  std::uint8_t FormingKind() const override { return kind; }
  int FormingTop() const override { return 300; }
  int FormingWidth() const override { return 77; }
  int FormingHeight() const override { return 40; }
  int Geometry(Edge edge) const override { return edges[static_cast<int>(edge)]; }
  void SetGeometry(Edge edge, int value) override { edges[static_cast<int>(edge)] = value; }
  bool IsShown() const override { return shown; }
  void SetShown(bool s) override { shown = s; }
  bool IsSplit() const override { return split; }
  void SetSplit(bool s) override { split = s; }
  void SetCondition(const std::string& c) override { condition = c; }
  void LinkChild(FormingBand* c) override { child = c; }
  void UseDataSource(const std::string& source) override { dataSource = source; }
  TfrDataset* BandDataset() const override { return data; }
  bool hasObject = true;
  std::uint8_t kind = btMasterData;
  int edges[4] = {10, 300, 77, 40};
  bool shown = true, split = false;
  std::string condition, dataSource;
  FormingBand* child = nullptr;
  TfrDataset* data = nullptr;
};

using EngineInterfaces = test::PreparedPagesTest;  // the engine state is fresh per test

TEST_F(EngineInterfaces, TheOuterReportGovernsTheRunWhenOneIsSet) {
  NamedReport inner("Inner"), outer("Outer");
  EXPECT_EQ(&OuterReportOf(Prep(), inner), &inner);
  Prep().OuterReport = &outer;
  EXPECT_EQ(&OuterReportOf(Prep(), inner), &outer);
}

TEST_F(EngineInterfaces, AReportThatFormsNoPagesSaysSoByName) {
  NamedReport names("Loader");
  try {
    names.Prepared();
    FAIL() << "no prepared pages expected";
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("\"Loader\""), std::string::npos) << e.what();
  }
}

TEST_F(EngineInterfaces, CalcErrorNamesTheReportAndObjectAndStopsTheOuterRun) {
  NamedReport active("Shapes"), outer("Composite");
  TfrShapeView shape;
  shape.Name = "Shape7";
  shape.Memo = {"first line"};
  Prep().ActiveReport = &active;
  Prep().OuterReport = &outer;
  Prep().ActiveView = &shape;
  RecordCalcError(Prep(), "Division by zero");
  EXPECT_TRUE(Prep().CalcErrorFlag);
  EXPECT_TRUE(outer.StopRequested);
  EXPECT_FALSE(active.StopRequested);
  const std::string& text = Prep().CalcErrorText;
  // The object's own text is left out: the failed expression says more.
  EXPECT_EQ(text.find("first line"), std::string::npos) << text;
  EXPECT_NE(text.find(" Shapes\r"), std::string::npos) << text;
  EXPECT_NE(text.find(" Shape7\r"), std::string::npos) << text;
  EXPECT_TRUE(text.ends_with("\rDivision by zero")) << text;
}

TEST_F(EngineInterfaces, ObjectsArePlacedAgainstTheBandBeingFormed) {
  FakeBand band;
  Prep().ActiveBand = &band;
  TfrShapeView shape;
  shape.PreparedMode = true;
  auto record = [&shape](std::uint8_t align) {
    shape.SetGeometry(5, 6, 20, 10);
    shape.BandAlign = align;
    MemoryStream s;
    shape.Record(s);
  };
  record(baBottom);
  EXPECT_EQ(shape.Top, 300 + 40 - 10);
  record(baTop);
  EXPECT_EQ(shape.Top, 300);
  record(baWidth);
  EXPECT_EQ(shape.Width, 20);  // only cross bands give their width
  band.kind = btCrossData;
  record(baWidth);
  EXPECT_EQ(shape.Width, 77);
  band.hasObject = false;  // the no-band band aligns like any other
  record(baTop);
  EXPECT_EQ(shape.Top, 300);
}

TEST_F(EngineInterfaces, DeviceCoordinatesComeBackWhenDrawingFails) {
  Prep().RenderActive = true;
  TfrShapeView view;
  view.SetGeometry(10, 12, 30, 40);
  view.DeviceScaleX = view.DeviceScaleY = 2.0;
  EXPECT_THROW(
      {
        const DeviceCoordinates device(view);
        EXPECT_EQ(view.Left, 20);
        EXPECT_EQ(view.Height, 80);
        throw EngineError("cannot draw");
      },
      EngineError);
  EXPECT_EQ(view.Left, 10);
  EXPECT_EQ(view.Top, 12);
  EXPECT_EQ(view.Width, 30);
  EXPECT_EQ(view.Height, 40);
}

TEST_F(EngineInterfaces, APageInUseIsReleasedAfterwardsAlsoWhenItCannotBeRebuilt) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  AddShape(pages, 0, 0, 10, 10, 50, 50);
  RecordingCanvas canvas(DeviceKind::Screen);
  const Rect rect{0, 0, 758, 1071};
  {
    const PageInUse inUse(pages, 0);
    EXPECT_EQ(pages[0].InUse, 1);
    pages.DrawPage(0, canvas, rect);
    EXPECT_TRUE(pages[0].RebuiltPage);
  }
  EXPECT_EQ(pages[0].InUse, 0);
  EXPECT_FALSE(pages[0].RebuiltPage);

  pages.RecordStream(0).WriteU8(99);  // an object kind nobody makes
  EXPECT_THROW(
      {
        const PageInUse inUse(pages, 0);
        pages.DrawPage(0, canvas, rect);
      },
      StreamReadError);
  EXPECT_EQ(pages[0].InUse, 0);
  EXPECT_FALSE(pages[0].RebuiltPage);
  EXPECT_EQ(Prep().ActivePage, nullptr);
}

// A band object reaches its run-time band only while a report renders;
// otherwise its keys act on the band object alone.
TEST_F(EngineInterfaces, BandObjectKeysReachTheRunTimeBandOnlyWhileRendering) {
  TfrPage page{Engine()};
  auto* extra = static_cast<TfrBandView*>(page.AddObject(std::make_unique<TfrBandView>()));
  extra->Name = "Extra";
  auto* view = static_cast<TfrBandView*>(page.AddObject(std::make_unique<TfrBandView>()));
  view->Name = "Items";
  view->FrameTyp = btMasterData;
  view->SetGeometry(0, 100, 500, 20);
  FakeBand band, extraBand;
  TfrUserDataset data;
  data.RangeEnd = reCount;
  data.RangeEndCount = 2;
  band.data = &data;
  view->RunTimeBand = &band;
  extra->RunTimeBand = &extraBand;

  Prep().RenderActive = true;
  EXPECT_EQ(view->ReadProperty("top").AsInteger(), 300);
  view->WriteProperty("Height", Variant(90));
  EXPECT_EQ(band.edges[3], 90);
  view->CallMethod("HIDE", Variant(), Variant(), Variant());
  EXPECT_FALSE(band.shown);
  EXPECT_FALSE(view->ReadProperty("Visible").AsBoolean());
  view->WriteProperty("ChildBand", Variant("extra"));
  EXPECT_EQ(band.child, &extraBand);
  view->WriteProperty("ChildBand", Variant("Nowhere"));
  EXPECT_EQ(band.child, nullptr);
  view->WriteProperty("Breaked", Variant(true));
  EXPECT_TRUE(band.split);
  view->WriteProperty("DataSource", Variant("5"));
  EXPECT_EQ(band.dataSource, "5");
  EXPECT_FALSE(view->ReadProperty("EOF").AsBoolean());
  view->CallMethod("NEXT", Variant(), Variant(), Variant());
  view->CallMethod("NEXT", Variant(), Variant(), Variant());
  EXPECT_TRUE(view->ReadProperty("EOF").AsBoolean());
  view->CallMethod("PRIOR", Variant(), Variant(), Variant());
  EXPECT_FALSE(view->ReadProperty("EOF").AsBoolean());
  view->CallMethod("NEXT", Variant(), Variant(), Variant());
  view->CallMethod("FIRST", Variant(), Variant(), Variant());
  EXPECT_EQ(data.RecordNumber, 0);

  // Loading a template: the band object alone.
  Prep().RenderActive = false;
  band.shown = true;
  band.dataSource.clear();
  EXPECT_EQ(view->ReadProperty("Top").AsInteger(), 100);
  view->WriteProperty("Width", Variant(123));
  EXPECT_EQ(view->Width, 123);
  EXPECT_EQ(band.edges[2], 77);
  view->WriteProperty("Visible", Variant(false));
  EXPECT_TRUE(band.shown);
  view->WriteProperty("DataSource", Variant("5"));
  EXPECT_EQ(band.dataSource, "");
  EXPECT_TRUE(view->ReadProperty("EOF").IsNull());
  view->CallMethod("NEXT", Variant(), Variant(), Variant());
  EXPECT_EQ(data.RecordNumber, 0);
}

}  // namespace
}  // namespace quillet
