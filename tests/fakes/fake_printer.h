// A platform printer for tests: devices with configurable resolution, paper,
// printable-area offsets, paper lists and sources. It keeps each device's
// device-mode block, changes its paper when handed a block (as a driver
// would) and records every document, its pages and what was drawn on them.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform_printer.h"
#include "platform/recording_canvas.h"

namespace quillet::test {

struct FakeDevice {
  PrinterDevice Identity;
  int DpiX = 600;
  int DpiY = 600;
  // Paper in tenths of a millimetre (portrait); the device pixels follow
  // from the resolution and the orientation of its block.
  int PaperWidthTenths = 2100;
  int PaperHeightTenths = 2970;
  int OffsetX = 100;  // printable area's offset, device pixels (also kept on the far side)
  int OffsetY = 100;
  // Accepted paper codes with their portrait sizes; a block asking for a
  // code not listed keeps the current paper.
  std::map<std::int16_t, std::pair<int, int>> Sizes{{9, {2100, 2970}}, {1, {2159, 2794}}};
  std::vector<std::string> PaperNamesList{"A4", "Letter"};
  std::vector<std::int16_t> Sources;
  std::vector<std::string> SourceNamesList;
  // Empty to model a device without a device-mode block.
  DeviceModeRef Mode = std::make_shared<DeviceMode>(DeviceMode{
      dmOrientation | dmPaperSize | dmCopies | dmDefaultSource, dmOrientPortrait, 9, 0, 0, 1, 7});

  // The device a FakeDevice named `name` at `dpi` with A4 paper.
  static FakeDevice Named(const std::string& name, int dpi = 600);
};

struct FakeDocument {
  std::string Title;
  int Copies = 1;
  std::vector<std::unique_ptr<RecordingCanvas>> Pages;
  bool Ended = false;
  bool Aborted = false;
};

class FakePrinter : public PlatformPrinter {
 public:
  FakePrinter() = default;
  explicit FakePrinter(std::vector<FakeDevice> devices, int current = 0)
      : Devices(std::move(devices)), Current(current) {}

  std::vector<std::string> PrinterNames() const override;
  int PrinterIndex() const override { return Current; }
  void SetPrinterIndex(int index) override;
  void GetDevice(PrinterDevice& device, DeviceModeRef& mode) override;
  void SetDevice(const PrinterDevice& device, const DeviceModeRef& mode) override;
  int DeviceCaps(DeviceCap cap) const override;
  int PageWidth() const override;
  int PageHeight() const override;
  std::vector<std::int16_t> PaperCodes() const override;
  std::vector<std::string> PaperNames() const override;
  std::vector<std::int16_t> PaperSources() const override;
  std::vector<std::string> SourceNames() const override;
  int DocumentProperties(const std::string& deviceName, DeviceMode& mode) override;
  void SetTitle(const std::string& title) override { title_ = title; }
  std::string Title() const override { return title_; }
  void SetCopies(int copies) override { copies_ = copies; }
  int Copies() const override { return copies_; }
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() const override { return printing_; }
  Canvas* PageCanvas() override;

  FakeDevice& CurrentDevice() { return Devices.at(Current); }
  const FakeDevice& CurrentDevice() const { return Devices.at(Current); }

  std::vector<FakeDevice> Devices;
  int Current = 0;
  int SetDeviceCalls = 0;
  // What the properties dialog does: its result, and the change it makes to
  // the block when the result is 1 or more.
  int DialogResult = 0;
  DeviceMode DialogEdit;
  std::vector<std::string> DialogDeviceNames;  // devices the dialog was opened for
  std::vector<FakeDocument> Documents;

 private:
  std::string title_;
  int copies_ = 1;
  bool printing_ = false;
};

}  // namespace quillet::test
