// Folder report/printer: the engine printer, the paper of a page and page
// ranges. It includes only platform/ and report/base/.
//
// TfrPrinter: the engine's printer. It wraps the platform printer, appends
// the pseudo-printer "Virtual printer" to the installed ones (so pages can be
// laid out with no printer installed), keeps the selected printer's paper
// sizes and sources and a paper setting that it pushes into the device and
// reads back, and fills the page information every page carries.
//
// Units: paper sizes in tenths of a millimetre, in the current orientation;
// page information in printer pixels and report pixels
// (ReportPixelsPerInch report pixels to the inch).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform_printer.h"
#include "report/base/engine_state.h"

namespace quillet {

constexpr double ReportPixelsPerInch = 93 / 1.015;  // 91.6256157635468

constexpr std::int32_t kCustomPaperSize = 256;
constexpr std::int32_t kA4PaperSize = 9;

// Twelve int32 fields describing paper and printable area.
struct PrinterPageInfo {
  std::int32_t DevPaperWidth = 0;  // printer pixels
  std::int32_t DevPaperHeight = 0;
  std::int32_t PaperWidthPx = 0;  // report pixels
  std::int32_t PaperHeightPx = 0;
  std::int32_t DevOffsetX = 0;  // printable area from the paper's edges
  std::int32_t DevOffsetY = 0;
  std::int32_t OffsetXPx = 0;
  std::int32_t OffsetYPx = 0;
  std::int32_t DevPrintableWidth = 0;
  std::int32_t DevPrintableHeight = 0;
  std::int32_t PrintableWidthPx = 0;
  std::int32_t PrintableHeightPx = 0;
  friend bool operator==(const PrinterPageInfo&, const PrinterPageInfo&) = default;
};
static_assert(sizeof(PrinterPageInfo) == 48);

// One entry of the paper table: width and height as they stand in portrait.
struct PaperTableEntry {
  std::int32_t Code;
  std::string Name;
  std::int32_t Width;  // tenths of a millimetre
  std::int32_t Height;
};

constexpr int kPaperTableSize = 67;
// The 67 paper sizes the virtual printer offers (last: 256, custom, 0 x 0).
std::array<PaperTableEntry, kPaperTableSize>& PaperTable();

class TfrPrinter {
 public:
  // Room in the device lists; what a device reports beyond it is dropped.
  static constexpr int kMaxPaperSizes = 256;  // paper codes and names
  static constexpr int kPaperNameChars = 64;
  static constexpr int kMaxSourceNames = 64;  // device sources (codes and names alike)
  static constexpr int kSourceNameChars = 24;
  static constexpr int kNameBufferSize = 128;  // device, driver and port names

  TfrPrinter();
  TfrPrinter(const TfrPrinter&) = delete;
  TfrPrinter& operator=(const TfrPrinter&) = delete;

  // Rebuilds PrinterNames from `p` (not owned; must outlive this object or
  // be replaced) and selects its current printer, or the virtual printer
  // when it lists none.
  void AttachPrinter(quillet::PlatformPrinter* p);
  // Selects entry `index` of PrinterNames; RangeError outside the list.
  void SelectPrinter(int index);
  // Reads paper, size list, sources and orientation from the selected
  // device. A device whose settings cannot be read selects the virtual
  // printer silently.
  void ReadSettings();
  // Pushes the paper setting into the selected device (or the paper lists
  // of the virtual printer), then reads back what the device accepted.
  void ApplySettings();
  // Changes the paper setting when `force` is set or it does not match;
  // never while the platform printer is printing.
  void SetPaper(std::int32_t size, std::int32_t width, std::int32_t height, std::int32_t source,
                std::uint8_t orientation, bool force);
  bool SettingsMatch(std::int32_t size, std::int32_t width, std::int32_t height,
                     std::int32_t source, std::uint8_t orientation) const;
  // Fills `info` for the current paper. Raises EngineError when the device
  // reports no resolution.
  void FillPageInfo(PrinterPageInfo& info) const;
  // The selected device's own properties dialog; an accepted change is
  // handed to the platform printer and picked up by the next ReadSettings.
  void ShowPrinterProperties();
  // Reloads the paper table names and the virtual printer's name.
  void LoadPaperNames();

  bool IsVirtualSelected() const { return SelectedPrinterIndex == VirtualPrinterIndex; }

  // Identity of the selected device (zero-terminated, zero-filled).
  std::array<char, kNameBufferSize> DeviceName{};
  std::array<char, kNameBufferSize> DriverName{};
  std::array<char, kNameBufferSize> PortName{};
  DeviceModeRef DeviceModeHandle;  // the selected device's block
  DeviceMode* LockedDevMode = nullptr;
  class PlatformPrinter* PlatformPrinter = nullptr;  // not owned; none before AttachPrinter
  std::vector<std::string> PaperSizeNames;
  std::vector<std::string> PaperSourceNames;  // entry 0: the default source
  std::vector<std::string> PrinterNames;      // installed ones, then "Virtual printer"
  std::int32_t SelectedPrinterIndex = 0;
  std::int32_t VirtualPrinterIndex = 0;
  std::uint8_t Orientation = 0;  // 0 portrait, 1 landscape
  std::int32_t PaperSizeCode = kA4PaperSize;
  std::int32_t PaperWidthTenths = 0;
  std::int32_t PaperHeightTenths = 0;
  std::int32_t PaperSource = 0;  // -1 (low 16 bits 0xFFFF): any source
  std::array<std::int16_t, kMaxPaperSizes> PaperSizes{};
  std::int32_t PaperSizeCount = 0;
  std::array<std::int16_t, kMaxPaperSizes> PaperSourceCodes{};  // entry 0 = -1
  std::int32_t PaperSourceCount = 0;

 private:
  bool PlatformPrinting() const;
  void GetDevice();
  void UnlockDevMode() { LockedDevMode = nullptr; }
  void ReadLockedSettings();
};

// The engine printer; RangeError when start-up has not run.
TfrPrinter& EnginePrinter(EngineGlobals& engine);

// Start-up: creates the engine printer and attaches it to the platform
// printer that `obtain` gives. Errors (also from `obtain`) are swallowed;
// PrinterReady is set in every case.
void StartEnginePrinter(EngineGlobals& engine, const std::function<PlatformPrinter*()>& obtain);
// Shutdown: frees the engine printer.
void StopEnginePrinter(EngineGlobals& engine);

}  // namespace quillet
