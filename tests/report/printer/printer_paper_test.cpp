// The virtual printer's paper: table sizes, orientation, custom sizes, page
// information, and when a paper setting counts as already in place.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/errors.h"
#include "report/printer/printer.h"
#include "tests/fakes/fake_printer.h"

namespace quillet {
namespace {

// A printer attached to a platform with no printer installed.
struct VirtualPrinter {
  test::FakePrinter platform;
  TfrPrinter printer;
  VirtualPrinter() { printer.AttachPrinter(&platform); }
};

TEST(PrinterPaper, TableHoldsSixtySevenSizesEndingWithCustom) {
  const auto& table = PaperTable();
  ASSERT_EQ(table.size(), 67u);
  EXPECT_EQ(table[8].Code, 9);
  EXPECT_EQ(table[8].Width, 2100);
  EXPECT_EQ(table[8].Height, 2970);
  EXPECT_EQ(table[46].Code, 47);
  EXPECT_EQ(table[47].Code, 50);  // codes 48 and 49 are absent
  EXPECT_EQ(table[25].Height, 11176);
  EXPECT_EQ(table[66].Code, 256);
  EXPECT_EQ(table[66].Width, 0);
  for (const auto& e : table) EXPECT_EQ(e.Name, "");  // no texts for paper names
}

TEST(PrinterPaper, NoPrinterInstalledSelectsTheVirtualPrinter) {
  VirtualPrinter v;
  EXPECT_EQ(v.printer.PrinterNames, std::vector<std::string>{"Virtual printer"});
  EXPECT_EQ(v.printer.SelectedPrinterIndex, 0);
  EXPECT_EQ(v.printer.VirtualPrinterIndex, 0);
  EXPECT_TRUE(v.printer.IsVirtualSelected());
  EXPECT_EQ(v.printer.PaperSizeCount, 67);
  EXPECT_EQ(v.printer.PaperSizeNames.size(), 67u);
  EXPECT_EQ(v.printer.PaperSizes[66], 256);
  EXPECT_EQ(v.printer.PaperSizeCode, 9);
  EXPECT_EQ(v.printer.PaperWidthTenths, 2100);
  EXPECT_EQ(v.printer.PaperHeightTenths, 2970);
}

TEST(PrinterPaper, VirtualA4PageInfo) {
  VirtualPrinter v;
  PrinterPageInfo info;
  info.DevPaperWidth = 1234;  // device fields stay as they were
  v.printer.FillPageInfo(info);
  EXPECT_EQ(info.PaperWidthPx, 758);
  EXPECT_EQ(info.PaperHeightPx, 1071);
  EXPECT_EQ(info.OffsetXPx, 18);
  EXPECT_EQ(info.OffsetYPx, 18);
  EXPECT_EQ(info.PrintableWidthPx, 722);
  EXPECT_EQ(info.PrintableHeightPx, 1035);
  EXPECT_EQ(info.DevPaperWidth, 1234);
  EXPECT_EQ(info.DevOffsetX, 0);
}

TEST(PrinterPaper, VirtualLandscapeSwapsTheTableSize) {
  VirtualPrinter v;
  v.printer.SetPaper(9, 0, 0, -1, 1, false);
  EXPECT_EQ(v.printer.Orientation, 1);
  EXPECT_EQ(v.printer.PaperWidthTenths, 2970);
  EXPECT_EQ(v.printer.PaperHeightTenths, 2100);
  PrinterPageInfo info;
  v.printer.FillPageInfo(info);
  EXPECT_EQ(info.PaperWidthPx, 1071);
  EXPECT_EQ(info.PaperHeightPx, 758);

  v.printer.SetPaper(5, 0, 0, -1, 0, false);  // legal, portrait
  EXPECT_EQ(v.printer.PaperWidthTenths, 2159);
  EXPECT_EQ(v.printer.PaperHeightTenths, 3556);
}

TEST(PrinterPaper, VirtualCustomSizeKeepsItsWidthAndHeight) {
  VirtualPrinter v;
  v.printer.SetPaper(256, 1000, 1500, -1, 0, false);
  EXPECT_EQ(v.printer.PaperSizeCode, 256);
  EXPECT_EQ(v.printer.PaperWidthTenths, 1000);
  EXPECT_EQ(v.printer.PaperHeightTenths, 1500);
  v.printer.SetPaper(256, 1000, 1500, -1, 1, false);  // landscape: not swapped either
  EXPECT_EQ(v.printer.PaperWidthTenths, 1000);
  EXPECT_EQ(v.printer.PaperHeightTenths, 1500);
}

TEST(PrinterPaper, SettingsMatchToleratesOneTenthOnCustomSizes) {
  VirtualPrinter v;
  v.printer.SetPaper(256, 1000, 1500, 3, 0, true);
  TfrPrinter& p = v.printer;
  EXPECT_TRUE(p.SettingsMatch(256, 1000, 1500, 3, 0));
  EXPECT_TRUE(p.SettingsMatch(256, 1001, 1499, 3, 0));
  EXPECT_TRUE(p.SettingsMatch(256, 999, 1501, 77, 0));  // source not compared
  EXPECT_FALSE(p.SettingsMatch(256, 1002, 1500, 3, 0));
  EXPECT_FALSE(p.SettingsMatch(256, 1000, 1498, 3, 0));
  EXPECT_FALSE(p.SettingsMatch(256, 1000, 1500, 3, 1));
  EXPECT_FALSE(p.SettingsMatch(9, 1000, 1500, 3, 0));
}

TEST(PrinterPaper, SettingsMatchOnTableSizesComparesOrientationAndSource) {
  VirtualPrinter v;
  v.printer.SetPaper(9, 0, 0, 4, 0, true);
  TfrPrinter& p = v.printer;
  EXPECT_TRUE(p.SettingsMatch(9, 1, 2, 4, 0));       // width and height are not compared
  EXPECT_TRUE(p.SettingsMatch(9, 0, 0, -1, 0));      // any source
  EXPECT_TRUE(p.SettingsMatch(9, 0, 0, 0xFFFF, 0));  // any source, as a 16-bit field holds it
  EXPECT_FALSE(p.SettingsMatch(9, 0, 0, 5, 0));
  EXPECT_FALSE(p.SettingsMatch(9, 0, 0, 4, 1));
  EXPECT_FALSE(p.SettingsMatch(11, 0, 0, 4, 0));
}

TEST(PrinterPaper, SetPaperLeavesAMatchingSettingAloneUnlessForced) {
  VirtualPrinter v;
  v.printer.SetPaper(256, 1000, 1500, -1, 0, true);
  v.printer.SetPaper(256, 1001, 1500, -1, 0, false);  // matches: nothing changes
  EXPECT_EQ(v.printer.PaperWidthTenths, 1000);
  v.printer.SetPaper(256, 1001, 1500, -1, 0, true);
  EXPECT_EQ(v.printer.PaperWidthTenths, 1001);
}

TEST(PrinterPaper, LoadPaperNamesRenamesTheVirtualPrinter) {
  VirtualPrinter v;
  v.printer.PrinterNames.back() = "changed";
  v.printer.LoadPaperNames();
  EXPECT_EQ(v.printer.PrinterNames.back(), "Virtual printer");
}

TEST(PrinterPaper, StartUpWithoutAPrinterServiceStillMakesThePrinterReady) {
  StartEnginePrinter(Engine(),
                     []() -> PlatformPrinter* { throw std::runtime_error("no service"); });
  EXPECT_TRUE(Engine().Printer.PrinterReady);
  EXPECT_EQ(EnginePrinter(Engine()).PaperSizeCode, 9);
  EXPECT_EQ(Engine().Printer.DefaultPaperSize, 9);
  EXPECT_TRUE(EnginePrinter(Engine()).IsVirtualSelected());
  EXPECT_EQ(EnginePrinter(Engine()).PaperWidthTenths, 2100);
  StopEnginePrinter(Engine());
  EXPECT_FALSE(Engine().Printer.PrinterReady);
  EXPECT_THROW(EnginePrinter(Engine()), RangeError);

  test::FakePrinter none;
  StartEnginePrinter(Engine(), [&none] { return &none; });
  EXPECT_TRUE(Engine().Printer.PrinterReady);
  EXPECT_TRUE(EnginePrinter(Engine()).IsVirtualSelected());
  EXPECT_EQ(EnginePrinter(Engine()).PaperWidthTenths, 2100);
  StopEnginePrinter(Engine());
}

}  // namespace
}  // namespace quillet
