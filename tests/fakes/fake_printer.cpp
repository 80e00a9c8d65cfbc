#include "tests/fakes/fake_printer.h"

#include <algorithm>

#include "platform/errors.h"

namespace quillet::test {
namespace {

// Whole device pixels of a length, rounded down as drivers report them.
int DevicePixels(int tenths, int dpi) {
  return static_cast<int>(std::int64_t(tenths) * dpi / 254);
}

bool Landscape(const FakeDevice& d) {
  return d.Mode && (d.Mode->Fields & dmOrientation) && d.Mode->Orientation == dmOrientLandscape;
}

}  // namespace

FakeDevice FakeDevice::Named(const std::string& name, int dpi) {
  FakeDevice d;
  d.Identity = {name, "fake driver", "fake port"};
  d.DpiX = d.DpiY = dpi;
  return d;
}

std::vector<std::string> FakePrinter::PrinterNames() const {
  std::vector<std::string> names;
  for (const FakeDevice& d : Devices) names.push_back(d.Identity.DeviceName);
  return names;
}

void FakePrinter::SetPrinterIndex(int index) {
  if (index < 0 || index >= static_cast<int>(Devices.size())) throw RangeError();
  Current = index;
}

void FakePrinter::GetDevice(PrinterDevice& device, DeviceModeRef& mode) {
  if (Devices.empty()) {
    device = {};
    mode.reset();
    return;
  }
  device = CurrentDevice().Identity;
  // The caller gets its own block, as a platform hands out a copy it may change.
  mode = CurrentDevice().Mode ? std::make_shared<DeviceMode>(*CurrentDevice().Mode) : nullptr;
}

void FakePrinter::SetDevice(const PrinterDevice& device, const DeviceModeRef& mode) {
  ++SetDeviceCalls;
  auto it = std::find_if(Devices.begin(), Devices.end(), [&](const FakeDevice& d) {
    return d.Identity.DeviceName == device.DeviceName;
  });
  if (it == Devices.end()) throw EngineError("No such printer: " + device.DeviceName);
  Current = static_cast<int>(it - Devices.begin());
  if (!mode) return;
  FakeDevice& d = *it;
  DeviceMode accepted = *mode;
  if ((accepted.Fields & (dmPaperLength | dmPaperWidth)) == (dmPaperLength | dmPaperWidth) &&
      accepted.PaperLength > 0 && accepted.PaperWidth > 0) {
    // A custom block gives the size in the orientation asked for.
    int w = accepted.PaperWidth, h = accepted.PaperLength;
    if (accepted.Orientation == dmOrientLandscape) std::swap(w, h);
    d.PaperWidthTenths = w;
    d.PaperHeightTenths = h;
    accepted.PaperSize = 256;
  } else if (auto size = d.Sizes.find(accepted.PaperSize); size != d.Sizes.end()) {
    d.PaperWidthTenths = size->second.first;
    d.PaperHeightTenths = size->second.second;
  } else {
    accepted.PaperSize = d.Mode ? d.Mode->PaperSize : 9;  // refused: keeps its paper
  }
  d.Mode = std::make_shared<DeviceMode>(accepted);
}

int FakePrinter::DeviceCaps(DeviceCap cap) const {
  const FakeDevice& d = CurrentDevice();
  const bool land = Landscape(d);
  const int w = land ? d.PaperHeightTenths : d.PaperWidthTenths;
  const int h = land ? d.PaperWidthTenths : d.PaperHeightTenths;
  switch (cap) {
    case DeviceCap::LogPixelsX: return d.DpiX;
    case DeviceCap::LogPixelsY: return d.DpiY;
    case DeviceCap::PhysicalWidth: return DevicePixels(w, d.DpiX);
    case DeviceCap::PhysicalHeight: return DevicePixels(h, d.DpiY);
    case DeviceCap::PhysicalOffsetX: return d.OffsetX;
    case DeviceCap::PhysicalOffsetY: return d.OffsetY;
  }
  return 0;
}

int FakePrinter::PageWidth() const {
  return DeviceCaps(DeviceCap::PhysicalWidth) - 2 * CurrentDevice().OffsetX;
}

int FakePrinter::PageHeight() const {
  return DeviceCaps(DeviceCap::PhysicalHeight) - 2 * CurrentDevice().OffsetY;
}

std::vector<std::int16_t> FakePrinter::PaperCodes() const {
  std::vector<std::int16_t> codes;
  for (const auto& [code, size] : CurrentDevice().Sizes) codes.push_back(code);
  return codes;
}

std::vector<std::string> FakePrinter::PaperNames() const {
  return CurrentDevice().PaperNamesList;
}
std::vector<std::int16_t> FakePrinter::PaperSources() const {
  return CurrentDevice().Sources;
}
std::vector<std::string> FakePrinter::SourceNames() const {
  return CurrentDevice().SourceNamesList;
}

int FakePrinter::DocumentProperties(const std::string& deviceName, DeviceMode& mode) {
  DialogDeviceNames.push_back(deviceName);
  if (DialogResult >= 1) mode = DialogEdit;
  return DialogResult;
}

void FakePrinter::BeginDoc() {
  if (printing_) throw EngineError("A document is already being printed");
  FakeDocument doc;
  doc.Title = title_;
  doc.Copies = copies_;
  doc.Pages.push_back(std::make_unique<RecordingCanvas>(DeviceKind::Printer));
  Documents.push_back(std::move(doc));
  printing_ = true;
}

void FakePrinter::NewPage() {
  if (!printing_) throw EngineError("No document is being printed");
  Documents.back().Pages.push_back(std::make_unique<RecordingCanvas>(DeviceKind::Printer));
}

void FakePrinter::EndDoc() {
  if (!printing_) throw EngineError("No document is being printed");
  Documents.back().Ended = true;
  printing_ = false;
}

void FakePrinter::Abort() {
  if (!printing_) return;
  Documents.back().Aborted = true;
  printing_ = false;
}

Canvas* FakePrinter::PageCanvas() {
  return printing_ ? Documents.back().Pages.back().get() : nullptr;
}

}  // namespace quillet::test
