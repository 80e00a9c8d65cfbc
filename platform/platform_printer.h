// The platform's printing service, as the engine's printer sees it.
//
// One object stands for the platform's printer: the installed printers, the
// current one, its device-mode block (the per-device settings record), its
// capabilities and paper lists, and the print job (title, copies, begin, new
// page, end, abort) with the canvas of the page being printed.
//
// Units: device pixels for every capability and page size; tenths of a
// millimetre for the paper length and width of a device-mode block. Paper
// size codes are the platform's numeric paper codes (9 is A4, 256 custom),
// source codes the platform's 16-bit bin codes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillet {

class Canvas;

// Field-present bits of a device-mode block.
constexpr std::uint32_t dmOrientation = 0x1;
constexpr std::uint32_t dmPaperSize = 0x2;
constexpr std::uint32_t dmPaperLength = 0x4;
constexpr std::uint32_t dmPaperWidth = 0x8;
constexpr std::uint32_t dmCopies = 0x100;
constexpr std::uint32_t dmDefaultSource = 0x200;

// Orientation values of a device-mode block.
constexpr std::int16_t dmOrientPortrait = 1;
constexpr std::int16_t dmOrientLandscape = 2;

// The settings record of one device. A field is meaningful only when its
// bit is set in Fields.
struct DeviceMode {
  std::uint32_t Fields = 0;
  std::int16_t Orientation = dmOrientPortrait;
  std::int16_t PaperSize = 9;
  std::int16_t PaperLength = 0;  // tenths of a millimetre
  std::int16_t PaperWidth = 0;   // tenths of a millimetre
  std::int16_t Copies = 1;
  std::int16_t DefaultSource = 0;
  friend bool operator==(const DeviceMode&, const DeviceMode&) = default;
};

// A handle to a device-mode block; empty when the device has none.
using DeviceModeRef = std::shared_ptr<DeviceMode>;

// The identity of a device as the platform reports it.
struct PrinterDevice {
  std::string DeviceName;
  std::string DriverName;
  std::string PortName;
};

// Device capability queries answered in device pixels.
enum class DeviceCap {
  LogPixelsX,       // pixels per inch horizontally
  LogPixelsY,       // pixels per inch vertically
  PhysicalWidth,    // whole paper width
  PhysicalHeight,   // whole paper height
  PhysicalOffsetX,  // printable area's distance from the paper's left edge
  PhysicalOffsetY,  // printable area's distance from the paper's top edge
};

// How an installed printer stands, for listings.
struct PrinterStatus {
  std::string State;         // "idle", "printing", "stopped", "not accepting jobs",
                             // "unreachable", "not installed"; empty when unknown
  std::string Message;       // the printer's own state message, may be empty
  std::string DefaultPaper;  // the name of its default paper; empty when unknown
};

class PlatformPrinter {
 public:
  virtual ~PlatformPrinter() = default;

  // Installed printers in platform order; may be empty.
  virtual std::vector<std::string> PrinterNames() const = 0;
  // Index of the current printer in PrinterNames().
  virtual int PrinterIndex() const = 0;
  // Makes printer `index` current. An index outside the list raises RangeError.
  virtual void SetPrinterIndex(int index) = 0;

  // The current device and its device-mode block (empty handle when the
  // device has none). The block stays the platform's: a change to it takes
  // effect only when handed back through SetDevice.
  virtual void GetDevice(PrinterDevice& device, DeviceModeRef& mode) = 0;
  // Makes the named device current with the settings of `mode` (an empty
  // handle keeps the device's own settings).
  virtual void SetDevice(const PrinterDevice& device, const DeviceModeRef& mode) = 0;

  // Capabilities of the current device at its current settings.
  virtual int DeviceCaps(DeviceCap cap) const = 0;
  // Printable width and height, device pixels.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;

  // The current device's paper codes, paper names, source codes and source
  // names, in the device's order (names of the codes at the same index).
  virtual std::vector<std::int16_t> PaperCodes() const = 0;
  virtual std::vector<std::string> PaperNames() const = 0;
  virtual std::vector<std::int16_t> PaperSources() const = 0;
  virtual std::vector<std::string> SourceNames() const = 0;
  // The state and default paper of printer `index` of PrinterNames(), asked
  // of the device afresh.
  virtual PrinterStatus Status(int index) const {
    (void)index;
    return {};
  }

  // The device's own document-properties dialog over `mode` (read and
  // written in place), for the device opened by name. Returns below 1 when
  // cancelled or failed, in which case `mode` must be ignored.
  virtual int DocumentProperties(const std::string& deviceName, DeviceMode& mode) = 0;

  // The print job. Title and copies apply to the next BeginDoc.
  virtual void SetTitle(const std::string& title) = 0;
  virtual std::string Title() const = 0;
  virtual void SetCopies(int copies) = 0;
  virtual int Copies() const = 0;
  // Starts a document on the current device; raises EngineError when the
  // device cannot be opened.
  virtual void BeginDoc() = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual void Abort() = 0;
  // True between BeginDoc and EndDoc or Abort.
  virtual bool Printing() const = 0;
  // The canvas of the page being printed (a printer canvas, device pixels,
  // origin at the printable area's top-left corner); nullptr when not printing.
  virtual Canvas* PageCanvas() = 0;
  // The files (UTF-8 paths) that documents ended since the last call were
  // written to, in order, and forgets them: a device that prints into files
  // ("Print to PDF") says where the output went. Empty for paper.
  virtual std::vector<std::string> TakeWrittenFiles() { return {}; }
};

}  // namespace quillet
