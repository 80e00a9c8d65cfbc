// The engine printer over real devices (the fake platform printer): reading
// and pushing settings, selecting printers, page information in device
// pixels, the properties dialog, and refusing changes while printing.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "report/printer/printer.h"
#include "tests/fakes/fake_printer.h"

namespace quillet {
namespace {

using test::FakeDevice;
using test::FakePrinter;

FakePrinter TwoPrinters() {
  FakeDevice laser = FakeDevice::Named("Laser", 600);
  laser.Sources = {15, 2, 4};
  laser.SourceNamesList = {"Automatically select", "Tray 2", "Manual feed"};
  FakeDevice inkjet = FakeDevice::Named("Inkjet", 300);
  inkjet.OffsetX = 40;
  inkjet.OffsetY = 50;
  return FakePrinter({laser, inkjet}, 1);
}

TEST(PrinterDevice, AttachListsInstalledPrintersThenTheVirtualOne) {
  FakePrinter platform = TwoPrinters();
  TfrPrinter p;
  p.AttachPrinter(&platform);
  EXPECT_EQ(p.PrinterNames, (std::vector<std::string>{"Laser", "Inkjet", "Virtual printer"}));
  EXPECT_EQ(p.SelectedPrinterIndex, 1);
  EXPECT_EQ(p.VirtualPrinterIndex, 2);
  EXPECT_STREQ(p.DeviceName.data(), "Inkjet");
  EXPECT_STREQ(p.DriverName.data(), "fake driver");
  EXPECT_EQ(p.PaperSizeCode, 9);
  EXPECT_EQ(p.Orientation, 0);
  EXPECT_EQ(p.PaperSizeCount, 2);
  EXPECT_EQ(p.PaperSizes[0], 1);
  EXPECT_EQ(p.PaperSizes[1], 9);
  EXPECT_EQ(p.PaperSizes[2], 0);
  EXPECT_EQ(p.PaperSizeNames, (std::vector<std::string>{"A4", "Letter"}));
  EXPECT_EQ(p.PaperSource, 7);
  EXPECT_EQ(p.PaperSourceCount, 1);
  EXPECT_EQ(p.PaperSourceCodes[0], -1);
  EXPECT_EQ(p.LockedDevMode, nullptr);
}

TEST(PrinterDevice, SixHundredDpiPrinter) {
  FakePrinter platform({FakeDevice::Named("Laser", 600)});
  TfrPrinter p;
  p.AttachPrinter(&platform);
  ASSERT_EQ(platform.DeviceCaps(DeviceCap::PhysicalWidth), 4960);
  EXPECT_EQ(p.PaperWidthTenths, 2100);
  EXPECT_EQ(p.PaperHeightTenths, 2970);
  PrinterPageInfo info;
  p.FillPageInfo(info);
  EXPECT_EQ(info.DevPaperWidth, 4960);
  EXPECT_EQ(info.PaperWidthPx, 757);
  EXPECT_EQ(info.DevPaperHeight, 7015);
  EXPECT_EQ(info.PaperHeightPx, 1071);
  EXPECT_EQ(info.DevOffsetX, 100);
  EXPECT_EQ(info.OffsetXPx, 15);
  EXPECT_EQ(info.DevOffsetY, 100);
  EXPECT_EQ(info.OffsetYPx, 15);
  EXPECT_EQ(info.DevPrintableWidth, 4760);
  EXPECT_EQ(info.PrintableWidthPx, 727);
  EXPECT_EQ(info.DevPrintableHeight, 6815);
  EXPECT_EQ(info.PrintableHeightPx, 1041);
}

TEST(PrinterDevice, SourcesReadWithTheDefaultSourceFirst) {
  FakePrinter platform = TwoPrinters();
  TfrPrinter p;
  p.AttachPrinter(&platform);
  p.SelectPrinter(0);
  EXPECT_STREQ(p.DeviceName.data(), "Laser");
  EXPECT_EQ(platform.Current, 0);
  EXPECT_EQ(p.PaperSourceCount, 4);
  EXPECT_EQ(p.PaperSourceCodes[0], -1);
  EXPECT_EQ(p.PaperSourceCodes[1], 15);
  EXPECT_EQ(p.PaperSourceCodes[3], 4);
  EXPECT_EQ(p.PaperSourceNames,
            (std::vector<std::string>{"", "Automatically select", "Tray 2", "Manual feed"}));
}

TEST(PrinterDevice, ApplySettingsPushesThePaperIntoTheDeviceMode) {
  FakePrinter platform = TwoPrinters();
  TfrPrinter p;
  p.AttachPrinter(&platform);

  p.SetPaper(1, 0, 0, 2, 1, false);  // letter, landscape, tray 2
  const DeviceMode& pushed = *platform.CurrentDevice().Mode;
  EXPECT_EQ(pushed.PaperSize, 1);
  EXPECT_EQ(pushed.Orientation, dmOrientLandscape);
  EXPECT_EQ(pushed.DefaultSource, 2);
  EXPECT_EQ(pushed.Fields & (dmPaperLength | dmPaperWidth), 0u);
  // Read back from the device: its own physical size, in landscape.
  EXPECT_EQ(p.PaperSizeCode, 1);
  EXPECT_EQ(p.Orientation, 1);
  EXPECT_EQ(p.PaperWidthTenths, 2794);
  EXPECT_EQ(p.PaperHeightTenths, 2159);
  EXPECT_EQ(p.PaperSource, 2);

  p.SetPaper(9, 0, 0, -1, 0, false);  // any source leaves the device's source alone
  EXPECT_EQ(platform.CurrentDevice().Mode->DefaultSource, 2);
  EXPECT_EQ(p.PaperWidthTenths, 2100);

  p.SetPaper(256, 1500, 2000, -1, 0, false);
  const DeviceMode& custom = *platform.CurrentDevice().Mode;
  EXPECT_EQ(custom.Fields & (dmPaperLength | dmPaperWidth), dmPaperLength | dmPaperWidth);
  EXPECT_EQ(custom.PaperWidth, 1500);
  EXPECT_EQ(custom.PaperLength, 2000);
  EXPECT_EQ(p.PaperSizeCode, 256);
  // Read back through whole device pixels at 300 dpi: the width a tenth short,
  // which the custom-size tolerance absorbs, so asking again changes nothing.
  EXPECT_EQ(p.PaperWidthTenths, 1499);
  EXPECT_EQ(p.PaperHeightTenths, 2000);
  EXPECT_TRUE(p.SettingsMatch(256, 1500, 2000, -1, 0));
}

TEST(PrinterDevice, FieldsTheBlockDoesNotDeclareAreNotWritten) {
  FakeDevice bare = FakeDevice::Named("Bare");
  bare.Mode->Fields = dmPaperSize;
  bare.Mode->Copies = 3;
  bare.Mode->DefaultSource = 7;
  FakePrinter platform({bare});
  TfrPrinter p;
  p.AttachPrinter(&platform);
  p.SetPaper(1, 0, 0, 4, 1, false);
  const DeviceMode& pushed = *platform.CurrentDevice().Mode;
  EXPECT_EQ(pushed.PaperSize, 1);
  EXPECT_EQ(pushed.Orientation, dmOrientPortrait);
  EXPECT_EQ(pushed.Copies, 3);
  EXPECT_EQ(pushed.DefaultSource, 7);
  EXPECT_EQ(p.Orientation, 0);  // what the device accepted
}

TEST(PrinterDevice, SwitchingBetweenRealAndVirtualPrinters) {
  FakePrinter platform = TwoPrinters();
  TfrPrinter p;
  p.AttachPrinter(&platform);
  p.SelectPrinter(2);
  EXPECT_TRUE(p.IsVirtualSelected());
  EXPECT_EQ(p.PaperSizeCount, 67);
  EXPECT_EQ(platform.Current, 1);  // the platform's printer is not touched
  PrinterPageInfo info;
  p.FillPageInfo(info);
  EXPECT_EQ(info.OffsetXPx, 18);

  p.SelectPrinter(0);
  EXPECT_FALSE(p.IsVirtualSelected());
  EXPECT_EQ(platform.Current, 0);
  EXPECT_EQ(p.PaperSizeCount, 2);
  EXPECT_THROW(p.SelectPrinter(3), RangeError);
  EXPECT_THROW(p.SelectPrinter(-1), RangeError);
  EXPECT_EQ(p.SelectedPrinterIndex, 0);
}

TEST(PrinterDevice, ADeviceWithoutSettingsFallsBackToTheVirtualPrinter) {
  FakeDevice broken = FakeDevice::Named("Broken");
  broken.Mode.reset();
  FakePrinter platform({FakeDevice::Named("Good"), broken});
  TfrPrinter p;
  p.AttachPrinter(&platform);
  p.SelectPrinter(1);
  EXPECT_TRUE(p.IsVirtualSelected());
  EXPECT_EQ(p.PaperSizeCount, 67);

  FakeDevice noResolution = FakeDevice::Named("Zero dpi");
  noResolution.DpiX = 0;
  FakePrinter platform2({noResolution});
  TfrPrinter q;
  q.AttachPrinter(&platform2);
  EXPECT_TRUE(q.IsVirtualSelected());
  EXPECT_EQ(q.PaperWidthTenths, 2100);
}

TEST(PrinterDevice, OverlongDeviceListsAreCutToTheirRoom) {
  FakeDevice many = FakeDevice::Named("Many");
  many.Sizes.clear();
  many.PaperNamesList.clear();
  for (int code = 1; code <= 300; ++code) {
    many.Sizes[static_cast<std::int16_t>(code == 9 ? 9 : code + 1000)] = {2100, 2970};
    many.PaperNamesList.push_back(std::string(80, 'n'));
  }
  for (int i = 0; i < 100; ++i) {
    many.Sources.push_back(static_cast<std::int16_t>(300 + i));
    many.SourceNamesList.push_back(std::string(30, 's'));
  }
  FakePrinter platform({many});
  TfrPrinter p;
  p.AttachPrinter(&platform);
  EXPECT_EQ(p.PaperSizeCount, 256);
  EXPECT_EQ(p.PaperSizeNames.size(), 256u);
  EXPECT_EQ(p.PaperSizeNames[0].size(), 64u);
  EXPECT_EQ(p.PaperSourceCount, 65);
  EXPECT_EQ(p.PaperSourceNames.size(), 65u);
  EXPECT_EQ(p.PaperSourceNames[1].size(), 24u);
  EXPECT_EQ(p.PaperSourceCodes[64], 363);
}

TEST(PrinterDevice, SetPaperChangesNothingWhilePrinting) {
  FakePrinter platform = TwoPrinters();
  TfrPrinter p;
  p.AttachPrinter(&platform);
  platform.BeginDoc();
  const int calls = platform.SetDeviceCalls;
  p.SetPaper(1, 0, 0, -1, 1, true);
  EXPECT_EQ(p.PaperSizeCode, 9);
  EXPECT_EQ(p.Orientation, 0);
  EXPECT_EQ(platform.SetDeviceCalls, calls);
  platform.EndDoc();
  p.SetPaper(1, 0, 0, -1, 1, true);
  EXPECT_EQ(p.PaperSizeCode, 1);
}

TEST(PrinterDevice, PropertiesDialogHandsBackOnlyAnAcceptedChange) {
  FakePrinter platform = TwoPrinters();
  TfrPrinter p;
  p.AttachPrinter(&platform);
  platform.DialogResult = 0;
  platform.DialogEdit = *platform.CurrentDevice().Mode;
  platform.DialogEdit.PaperSize = 1;
  const int calls = platform.SetDeviceCalls;
  p.ShowPrinterProperties();
  EXPECT_EQ(platform.DialogDeviceNames, std::vector<std::string>{"Inkjet"});
  EXPECT_EQ(platform.SetDeviceCalls, calls);
  EXPECT_EQ(platform.CurrentDevice().Mode->PaperSize, 9);

  platform.DialogResult = 1;
  p.ShowPrinterProperties();
  EXPECT_EQ(platform.CurrentDevice().Mode->PaperSize, 1);
  EXPECT_EQ(p.PaperSizeCode, 9);  // picked up by the next read only
  p.ReadSettings();
  EXPECT_EQ(p.PaperSizeCode, 1);
  EXPECT_EQ(p.PaperWidthTenths, 2159);
}

TEST(PrinterDevice, StartUpRemembersTheDefaultPaperSize) {
  FakeDevice letter = FakeDevice::Named("Letter printer");
  letter.Mode->PaperSize = 1;
  letter.PaperWidthTenths = 2159;
  letter.PaperHeightTenths = 2794;
  FakePrinter platform({letter});
  StartEnginePrinter(Engine(), [&platform] { return &platform; });
  EXPECT_TRUE(Engine().Printer.PrinterReady);
  EXPECT_EQ(Engine().Printer.DefaultPaperSize, 1);
  EXPECT_EQ(EnginePrinter(Engine()).PrinterNames.size(), 2u);
  StopEnginePrinter(Engine());
}

}  // namespace
}  // namespace quillet
