// The paper settings a page carries, and how a page takes its paper from
// the engine printer.
#pragma once

#include <cstdint>

#include "report/printer/printer.h"

namespace quillet {

// Page margins in report pixels.
struct PageMargins {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  friend bool operator==(const PageMargins&, const PageMargins&) = default;
};

// The paper of a template page (and of a page rebuilt for drawing).
struct PagePaper {
  std::int16_t PaperSizeCode = kA4PaperSize;  // 256: custom size
  std::int32_t PaperWidthTenths = 0;          // tenths of a millimetre
  std::int32_t PaperHeightTenths = 0;
  std::uint8_t Orientation = 0;   // 0 portrait, 1 landscape
  std::int32_t PaperSource = -1;  // -1: any source
  PageMargins Margins;
  bool MarginsApply = true;  // false when the page stretches to the printable area
  PrinterPageInfo PageInfo;
  friend bool operator==(const PagePaper&, const PagePaper&) = default;
};

// Asks `printer` for the page's paper (without forcing) and fills PageInfo.
// If that raises an error it asks again for a custom size of the same width,
// height and orientation with any source. The page then takes the printer's
// size code, width, height and orientation; its source stays -1 when it
// asked for any source, otherwise becomes the printer's. Errors of the
// second attempt propagate.
void ApplyPagePaper(TfrPrinter& printer, PagePaper& page);

}  // namespace quillet
