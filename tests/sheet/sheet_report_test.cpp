// The sheet's report component: the embedded template, its printer, and the
// print action's preparation into one prepared page.
#include "sheet/sheet_report.h"

#include <gtest/gtest.h>

#include "platform/headless_host.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/prepared/rebuilt_page.h"
#include "report/printer/printer.h"
#include "report/views/memo/memo_view.h"
#include "report/views/shape_view.h"
#include "report/views/view_registry.h"
#include "sheet/sheet_layout.h"
#include "tests/fakes/fake_printer.h"
#include "tests/report/base/record_support.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::FakeDevice;
using test::FakePrinter;

class SheetReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ =
        FakePrinter({FakeDevice::Named("Office laser"), FakeDevice::Named("HP DeskJet 720C")}, 0);
    test::StartFreshEngine([this] { return &platform_; }, &host_);
  }
  void TearDown() override { test::StopFreshEngine(); }

  // The prepared page's records as (type, class name or "", object name).
  struct RecordHead {
    int type;
    std::string className;
    std::string name;
  };
  static std::vector<RecordHead> Heads(const TfrReport& report, int page) {
    std::vector<RecordHead> heads;
    MemoryStream copy = report.PreparedPages[page].ObjectStream.Reader();
    EXPECT_EQ(copy.ReadU8(), 24);
    while (!copy.AtEnd()) {
      RecordHead h;
      h.type = copy.ReadU8();
      if (h.type == gtAddIn) {
        RecordReader reader(copy, kNamedRecordsVersion);
        h.className = ReadCountedString(reader);
      }
      auto view = CreateViewByKind(Engine(), static_cast<std::uint8_t>(h.type), h.className);
      view->PreparedMode = true;
      test::ReadRecordAt(*view, copy);
      h.name = view->Name;
      heads.push_back(h);
    }
    return heads;
  }

  FakePrinter platform_;
  HeadlessHost host_;
};

TEST_F(SheetReportTest, LoadsTheEmbeddedTemplateAndSelectsItsPrinter) {
  SheetReportComponent sheet;
  ASSERT_EQ(sheet.Report().Template.Pages.size(), 1u);
  EXPECT_EQ(sheet.Report().Template.ObjectCount(), 21u);
  EXPECT_EQ(sheet.Report().Template.PrinterName, "HP DeskJet 720C");
  EXPECT_EQ(EnginePrinter(Engine()).SelectedPrinterIndex, 1);
  for (const char* name : {"Shape1", "shape7", "WIDTH3", "Height7"})
    EXPECT_NE(sheet.FindView(name), nullptr) << name;
  EXPECT_EQ(sheet.FindView("Shape8"), nullptr);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(SheetReportTest, KeepsTheCurrentPrinterWhenTheTemplatesOneIsNotInstalled) {
  StopEnginePrinter(Engine());
  platform_ = FakePrinter({FakeDevice::Named("Office laser")}, 0);
  StartEnginePrinter(Engine(), [this] { return &platform_; });
  SheetReportComponent sheet;
  EXPECT_EQ(EnginePrinter(Engine()).SelectedPrinterIndex, 0);
  EXPECT_EQ(sheet.Report().Template.PrinterName, "HP DeskJet 720C");
}

TEST_F(SheetReportTest, DefaultSettingsPrepareIntoOnePageInTemplateOrder) {
  SheetReportComponent sheet;
  SheetSettings settings;
  settings.Preview = true;
  RunPrintAction(settings, sheet);
  TfrReport& report = sheet.Report();
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  EXPECT_EQ(host_.previews.size(), 1u);
  EXPECT_EQ(Prep().PageIndex, 1);
  EXPECT_EQ(host_.progressCaptions, std::vector<std::string>{"Preparing report"});
  for (const std::string& line : host_.progressLines) EXPECT_EQ(line, "Processing page:  1");

  const auto heads = Heads(report, 0);
  std::vector<std::string> names;
  for (const auto& h : heads) names.push_back(h.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Shape1", "Shape2", "Width1", "Height1", "Width2",
                                             "Height2"}));
  for (const auto& h : heads) {
    if (h.name.rfind("Shape", 0) == 0) {
      EXPECT_EQ(h.type, gtAddIn);
      EXPECT_EQ(h.className, "TfrShapeView");
    } else {
      EXPECT_EQ(h.type, gtMemo);
    }
  }

  // The objects come back where the layout put them.
  report.PreparedPages.RebuildPage(0);
  const RebuiltPage& page = *report.PreparedPages[0].RebuiltPage;
  auto* shape1 = dynamic_cast<TfrShapeView*>(page.Objects[0].get());
  ASSERT_NE(shape1, nullptr);
  EXPECT_EQ(shape1->Left, 27);
  EXPECT_EQ(shape1->Top, 16);
  EXPECT_EQ(shape1->Width, 181);
  EXPECT_EQ(shape1->Height, 181);
  EXPECT_EQ(shape1->ShapeKind, 2);
  EXPECT_EQ(shape1->Tag, "5;0;1;0;50;0");
  EXPECT_EQ(shape1->FillColor, clWhite);
  EXPECT_EQ(page.Objects[1]->Top, 217);
  auto* width1 = dynamic_cast<TfrMemoView*>(page.Objects[2].get());
  auto* height1 = dynamic_cast<TfrMemoView*>(page.Objects[3].get());
  ASSERT_NE(width1, nullptr);
  ASSERT_NE(height1, nullptr);
  EXPECT_EQ(width1->Left, 99);
  EXPECT_EQ(width1->Top, 106);
  EXPECT_EQ(height1->Top, 91);
  ASSERT_FALSE(width1->Memo.empty());
  EXPECT_EQ(width1->Memo[0], "W = 50");
  EXPECT_EQ(height1->Memo[0], "H = 50");
}

TEST_F(SheetReportTest, PreparationLeavesTheTemplateAloneAndRepeatsItself) {
  SheetReportComponent sheet;
  SheetSettings settings;
  LayOutSheet(settings, sheet);
  TfrReport& report = sheet.Report();
  MemoryStream before;
  report.SaveTemplate(before);

  sheet.Prepare();
  const std::vector<std::uint8_t> first = report.PreparedPages[0].ObjectStream.Bytes();
  MemoryStream after;
  report.SaveTemplate(after);
  EXPECT_EQ(before.Bytes(), after.Bytes());

  sheet.Prepare();
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  EXPECT_EQ(report.PreparedPages[0].ObjectStream.Bytes(), first);
  // Found again after the template came back from its snapshot.
  EXPECT_EQ(sheet.FindView("Shape1")->Top, 16);
}

TEST_F(SheetReportTest, PrintingSendsPageOneToTheTemplatesPrinter) {
  SheetReportComponent sheet;
  SheetSettings settings;
  settings.Preview = false;
  RunPrintAction(settings, sheet);
  EXPECT_EQ(sheet.Report().PreparedPages.Count(), 1);
  EXPECT_TRUE(host_.previews.empty());
  EXPECT_TRUE(host_.messages.empty());
  ASSERT_EQ(platform_.Documents.size(), 1u);
  const auto& doc = platform_.Documents[0];
  EXPECT_EQ(platform_.Current, 1);  // "HP DeskJet 720C", the template's printer
  EXPECT_EQ(doc.Title, "Untitled");
  EXPECT_EQ(doc.Copies, 1);
  EXPECT_TRUE(doc.Ended);
  ASSERT_EQ(doc.Pages.size(), 1u);
  EXPECT_FALSE(doc.Pages[0]->Ops().empty());
  EXPECT_EQ(host_.progressLines.back(), "Printing page:  1");
}

TEST_F(SheetReportTest, PrintingWithNoPrinterReportsAnError) {
  StopEnginePrinter(Engine());
  platform_ = FakePrinter();
  StartEnginePrinter(Engine(), [this] { return &platform_; });
  SheetReportComponent sheet;
  SheetSettings settings;
  settings.Preview = false;
  RunPrintAction(settings, sheet);
  EXPECT_EQ(sheet.Report().PreparedPages.Count(), 1);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].caption, "Error");
  EXPECT_EQ(host_.messages[0].icon, MessageIcon::Error);
  EXPECT_NE(host_.messages[0].text.find("No printer"), std::string::npos);
}

}  // namespace
}  // namespace quillet
