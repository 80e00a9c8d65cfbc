#include "report/printer/printer.h"

#include <algorithm>
#include <cstring>

#include "platform/errors.h"
#include "platform/numeric.h"

namespace quillet {
namespace {

// Engine text numbers the printer reads.
constexpr int kTextVirtualPrinter = 55007;
constexpr int kTextFirstPaperName = 55008;
constexpr int kTextDefaultSource = 55435;

// The engine texts the printer needs. Paper names (55008 ..) and the
// default source's name (55435) have no text in this system and read empty.
std::string PrinterText(int number) {
  return number == kTextVirtualPrinter ? "Virtual printer" : std::string();
}

constexpr std::int32_t kVirtualBorderTenths = 50;  // the virtual printer's 5 mm border

void CopyName(std::array<char, TfrPrinter::kNameBufferSize>& buffer, const std::string& name) {
  buffer.fill(0);
  std::memcpy(buffer.data(), name.data(), std::min(name.size(), buffer.size() - 1));
}

// A name no longer than its slot in the transfer buffer.
std::string Truncated(std::string s, std::size_t chars) {
  if (s.size() > chars) s.resize(chars);
  return s;
}

bool IsAnySource(std::int32_t source) {
  return (source & 0xFFFF) == 0xFFFF;
}

}  // namespace

std::array<PaperTableEntry, kPaperTableSize>& PaperTable() {
  static std::array<PaperTableEntry, kPaperTableSize> table{{
      {1, "", 2159, 2794},  {2, "", 2159, 2794},   {3, "", 2794, 4318},  {4, "", 4318, 2794},
      {5, "", 2159, 3556},  {6, "", 1397, 2159},   {7, "", 1842, 2667},  {8, "", 2970, 4200},
      {9, "", 2100, 2970},  {10, "", 2100, 2970},  {11, "", 1480, 2100}, {12, "", 2500, 3540},
      {13, "", 1820, 2570}, {14, "", 2159, 3302},  {15, "", 2150, 2750}, {16, "", 2540, 3556},
      {17, "", 2794, 4318}, {18, "", 2159, 2794},  {19, "", 984, 2254},  {20, "", 1048, 2413},
      {21, "", 1143, 2635}, {22, "", 1207, 2794},  {23, "", 1270, 2921}, {24, "", 4318, 5588},
      {25, "", 5588, 8636}, {26, "", 8636, 11176}, {27, "", 1100, 2200}, {28, "", 1620, 2290},
      {29, "", 3240, 4580}, {30, "", 2290, 3240},  {31, "", 1140, 1620}, {32, "", 1140, 2290},
      {33, "", 2500, 3530}, {34, "", 1760, 2500},  {35, "", 1760, 1250}, {36, "", 1100, 2300},
      {37, "", 984, 1905},  {38, "", 920, 1651},   {39, "", 3778, 2794}, {40, "", 2159, 3048},
      {41, "", 2159, 3302}, {42, "", 2500, 3530},  {43, "", 1000, 1480}, {44, "", 2286, 2794},
      {45, "", 2540, 2794}, {46, "", 3810, 2794},  {47, "", 2200, 2200}, {50, "", 2355, 3048},
      {51, "", 2355, 3810}, {52, "", 2969, 4572},  {53, "", 2354, 3223}, {54, "", 2101, 2794},
      {55, "", 2100, 2970}, {56, "", 2355, 3048},  {57, "", 2270, 3560}, {58, "", 3050, 4870},
      {59, "", 2159, 3223}, {60, "", 2100, 3300},  {61, "", 1480, 2100}, {62, "", 1820, 2570},
      {63, "", 3220, 4450}, {64, "", 1740, 2350},  {65, "", 2010, 2760}, {66, "", 4200, 5940},
      {67, "", 2970, 4200}, {68, "", 3220, 4450},  {256, "", 0, 0},
  }};
  return table;
}

TfrPrinter::TfrPrinter() {
  LoadPaperNames();
}

void TfrPrinter::LoadPaperNames() {
  auto& table = PaperTable();
  for (int i = 0; i < kPaperTableSize; ++i) table[i].Name = PrinterText(kTextFirstPaperName + i);
  if (!PrinterNames.empty()) PrinterNames.back() = PrinterText(kTextVirtualPrinter);
}

bool TfrPrinter::PlatformPrinting() const {
  return PlatformPrinter && PlatformPrinter->Printing();
}

void TfrPrinter::AttachPrinter(quillet::PlatformPrinter* p) {
  PrinterNames.clear();
  SelectedPrinterIndex = 0;
  PlatformPrinter = p;
  const std::vector<std::string> installed = p ? p->PrinterNames() : std::vector<std::string>{};
  if (!installed.empty()) {
    PrinterNames = installed;
    const int current = p->PrinterIndex();
    // A platform that reports no valid current printer starts on its first.
    SelectedPrinterIndex =
        current >= 0 && current < static_cast<int>(installed.size()) ? current : 0;
  }
  PrinterNames.push_back(PrinterText(kTextVirtualPrinter));
  VirtualPrinterIndex = static_cast<std::int32_t>(PrinterNames.size()) - 1;
  if (installed.empty())
    ApplySettings();
  else
    ReadSettings();
}

void TfrPrinter::SelectPrinter(int index) {
  if (index == SelectedPrinterIndex) return;
  if (index < 0 || index >= static_cast<int>(PrinterNames.size()))
    throw RangeError("Printer index " + std::to_string(index) + " is not in the printer list");
  if (index == VirtualPrinterIndex) {
    SelectedPrinterIndex = index;
    ApplySettings();
  } else if (PlatformPrinter && !PlatformPrinter->PrinterNames().empty()) {
    // The platform switches first, so a printer it refuses stays unselected.
    PlatformPrinter->SetPrinterIndex(index);
    SelectedPrinterIndex = index;
    ReadSettings();
  } else {
    SelectedPrinterIndex = index;
  }
}

void TfrPrinter::GetDevice() {
  PrinterDevice device;
  DeviceModeHandle.reset();
  if (!PlatformPrinter) return;
  PlatformPrinter->GetDevice(device, DeviceModeHandle);
  CopyName(DeviceName, device.DeviceName);
  CopyName(DriverName, device.DriverName);
  CopyName(PortName, device.PortName);
}

void TfrPrinter::ReadSettings() {
  GetDevice();
  if (!DeviceModeHandle) GetDevice();
  LockedDevMode = DeviceModeHandle.get();
  if (!LockedDevMode) {
    UnlockDevMode();
    SelectPrinter(VirtualPrinterIndex);
    return;
  }
  try {
    ReadLockedSettings();
  } catch (...) {
    UnlockDevMode();
    SelectPrinter(VirtualPrinterIndex);
    return;
  }
  UnlockDevMode();
}

void TfrPrinter::ReadLockedSettings() {
  const DeviceMode& mode = *LockedDevMode;
  PaperSizeCode = mode.PaperSize;

  const int dpiX = PlatformPrinter->DeviceCaps(DeviceCap::LogPixelsX);
  const int dpiY = PlatformPrinter->DeviceCaps(DeviceCap::LogPixelsY);
  if (dpiX <= 0 || dpiY <= 0) throw EngineError("The printer reports no resolution");
  PaperWidthTenths =
      Round(double(PlatformPrinter->DeviceCaps(DeviceCap::PhysicalWidth)) / dpiX * 254);
  PaperHeightTenths =
      Round(double(PlatformPrinter->DeviceCaps(DeviceCap::PhysicalHeight)) / dpiY * 254);

  // A device may report more entries than the lists have room for; the
  // surplus is dropped rather than written past the lists' ends.
  PaperSizes.fill(0);
  const std::vector<std::int16_t> codes = PlatformPrinter->PaperCodes();
  PaperSizeCount = static_cast<std::int32_t>(std::min<std::size_t>(codes.size(), kMaxPaperSizes));
  std::copy_n(codes.begin(), PaperSizeCount, PaperSizes.begin());
  PaperSizeNames.clear();
  for (const std::string& name : PlatformPrinter->PaperNames()) {
    if (static_cast<int>(PaperSizeNames.size()) >= kMaxPaperSizes) break;
    PaperSizeNames.push_back(Truncated(name, kPaperNameChars));
  }

  PaperSource = mode.DefaultSource;
  const std::vector<std::int16_t> sources = PlatformPrinter->PaperSources();
  const std::vector<std::string> sourceNames = PlatformPrinter->SourceNames();
  const int sourceCount = static_cast<int>(std::min<std::size_t>(sources.size(), kMaxSourceNames));
  std::copy_n(sources.begin(), sourceCount, PaperSourceCodes.begin() + 1);
  PaperSourceCount = sourceCount;
  PaperSourceNames.assign(1, PrinterText(kTextDefaultSource));
  for (int i = 0; i < static_cast<int>(sourceNames.size()) && i < kMaxSourceNames; ++i)
    PaperSourceNames.push_back(Truncated(sourceNames[i], kSourceNameChars));
  PaperSourceCodes[0] = -1;
  PaperSourceCount = PaperSourceCount + 1;

  Orientation = mode.Orientation == dmOrientPortrait ? 0 : 1;
}

void TfrPrinter::ApplySettings() {
  if (IsVirtualSelected()) {
    const auto& table = PaperTable();
    PaperSizeNames.clear();
    for (int i = 0; i < kPaperTableSize; ++i) {
      PaperSizeNames.push_back(table[i].Name);
      PaperSizes[i] = static_cast<std::int16_t>(table[i].Code);
      if (PaperSizeCode != kCustomPaperSize && PaperSizeCode == table[i].Code) {
        PaperWidthTenths = table[i].Width;
        PaperHeightTenths = table[i].Height;
        if (Orientation == 1) std::swap(PaperWidthTenths, PaperHeightTenths);
      }
    }
    PaperSizeCount = kPaperTableSize;
    return;
  }

  GetDevice();
  LockedDevMode = DeviceModeHandle.get();
  if (LockedDevMode) {
    DeviceMode& mode = *LockedDevMode;
    if (PaperSizeCode == kCustomPaperSize) {
      mode.Fields |= dmPaperLength | dmPaperWidth;
      mode.PaperLength = static_cast<std::int16_t>(PaperHeightTenths);
      mode.PaperWidth = static_cast<std::int16_t>(PaperWidthTenths);
    } else {
      mode.Fields &= ~(dmPaperLength | dmPaperWidth);
    }
    if (mode.Fields & dmPaperSize) mode.PaperSize = static_cast<std::int16_t>(PaperSizeCode);
    if (mode.Fields & dmOrientation)
      mode.Orientation = Orientation == 1 ? dmOrientLandscape : dmOrientPortrait;
    if (mode.Fields & dmCopies) mode.Copies = 1;
    if ((mode.Fields & dmDefaultSource) && !IsAnySource(PaperSource))
      mode.DefaultSource = static_cast<std::int16_t>(PaperSource);
    PlatformPrinter->SetDevice({DeviceName.data(), DriverName.data(), PortName.data()},
                               DeviceModeHandle);
  }
  // A device without a block has nothing to take; ReadSettings then falls
  // back to the virtual printer.
  UnlockDevMode();
  ReadSettings();
}

bool TfrPrinter::SettingsMatch(std::int32_t size, std::int32_t width, std::int32_t height,
                               std::int32_t source, std::uint8_t orientation) const {
  if (size != PaperSizeCode) return false;
  const bool sameMeasures = std::abs(std::int64_t(PaperWidthTenths) - width) <= 1 &&
                            std::abs(std::int64_t(PaperHeightTenths) - height) <= 1;
  if (size == kCustomPaperSize) return sameMeasures && orientation == Orientation;
  // A code the paper table does not know says nothing about the measures:
  // the size an earlier page left must not pass for this page's.
  const auto& table = PaperTable();
  const bool known = std::any_of(table.begin(), table.end(),
                                 [size](const PaperTableEntry& e) { return e.Code == size; });
  if (!known && !sameMeasures) return false;
  return orientation == Orientation && (source == PaperSource || IsAnySource(source));
}

void TfrPrinter::SetPaper(std::int32_t size, std::int32_t width, std::int32_t height,
                          std::int32_t source, std::uint8_t orientation, bool force) {
  if (PlatformPrinting()) return;
  if (!force && SettingsMatch(size, width, height, source, orientation)) return;
  PaperSizeCode = size;
  PaperWidthTenths = width;
  PaperHeightTenths = height;
  Orientation = orientation;
  PaperSource = source;
  ApplySettings();
}

void TfrPrinter::FillPageInfo(PrinterPageInfo& info) const {
  if (IsVirtualSelected()) {
    info.PaperWidthPx = Round(PaperWidthTenths * ReportPixelsPerInch / 254);
    info.PaperHeightPx = Round(PaperHeightTenths * ReportPixelsPerInch / 254);
    const std::int32_t border = Round(kVirtualBorderTenths * ReportPixelsPerInch / 254);
    info.OffsetXPx = info.OffsetYPx = border;
    info.PrintableWidthPx = info.PaperWidthPx - 2 * info.OffsetXPx;
    info.PrintableHeightPx = info.PaperHeightPx - 2 * info.OffsetYPx;
    return;
  }
  const int dpiX = PlatformPrinter->DeviceCaps(DeviceCap::LogPixelsX);
  const int dpiY = PlatformPrinter->DeviceCaps(DeviceCap::LogPixelsY);
  if (dpiX <= 0 || dpiY <= 0) throw EngineError("The printer reports no resolution");
  const double kx = ReportPixelsPerInch / dpiX;
  const double ky = ReportPixelsPerInch / dpiY;
  info.DevPaperWidth = PlatformPrinter->DeviceCaps(DeviceCap::PhysicalWidth);
  info.PaperWidthPx = Round(kx * info.DevPaperWidth);
  info.DevPaperHeight = PlatformPrinter->DeviceCaps(DeviceCap::PhysicalHeight);
  info.PaperHeightPx = Round(ky * info.DevPaperHeight);
  info.DevOffsetX = PlatformPrinter->DeviceCaps(DeviceCap::PhysicalOffsetX);
  info.OffsetXPx = Round(kx * info.DevOffsetX);
  info.DevOffsetY = PlatformPrinter->DeviceCaps(DeviceCap::PhysicalOffsetY);
  info.OffsetYPx = Round(ky * info.DevOffsetY);
  info.DevPrintableWidth = PlatformPrinter->PageWidth();
  info.PrintableWidthPx = Round(kx * info.DevPrintableWidth);
  info.DevPrintableHeight = PlatformPrinter->PageHeight();
  info.PrintableHeightPx = Round(ky * info.DevPrintableHeight);
}

void TfrPrinter::ShowPrinterProperties() {
  if (!PlatformPrinter) return;
  PrinterDevice device;
  DeviceModeRef mode;
  PlatformPrinter->GetDevice(device, mode);
  if (!mode) return;
  DeviceMode copy = *mode;
  if (PlatformPrinter->DocumentProperties(device.DeviceName, copy) < 1) return;
  PlatformPrinter->SetDevice(device, std::make_shared<DeviceMode>(copy));
}

void EngineObjectDeleter::operator()(TfrPrinter* printer) const {
  delete printer;
}

TfrPrinter& EnginePrinter(EngineGlobals& engine) {
  if (!engine.Printer.EnginePrinter) throw RangeError("The engine printer has not been started");
  return *engine.Printer.EnginePrinter;
}

void StartEnginePrinter(EngineGlobals& engine, const std::function<PlatformPrinter*()>& obtain) {
  PrinterGlobals& g = engine.Printer;
  g.EnginePrinter.reset(new TfrPrinter());
  try {
    PlatformPrinter* p = obtain ? obtain() : nullptr;
    g.EnginePrinter->AttachPrinter(p);
  } catch (...) {
    // No usable printer service: the virtual printer alone, so that pages
    // still get a paper size to be laid out on.
    g.EnginePrinter->AttachPrinter(nullptr);
  }
  g.DefaultPaperSize = g.EnginePrinter->PaperSizeCode;
  g.PrinterReady = true;
}

void StopEnginePrinter(EngineGlobals& engine) {
  PrinterGlobals& g = engine.Printer;
  g.EnginePrinter.reset();
  g.PrinterReady = false;
}

}  // namespace quillet
