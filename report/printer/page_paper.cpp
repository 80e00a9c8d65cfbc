#include "report/printer/page_paper.h"

#include <exception>

namespace quillet {

void ApplyPagePaper(TfrPrinter& printer, PagePaper& page) {
  std::int32_t source = page.PaperSource;
  try {
    printer.SetPaper(page.PaperSizeCode, page.PaperWidthTenths, page.PaperHeightTenths, source,
                     page.Orientation, false);
    printer.FillPageInfo(page.PageInfo);
  } catch (const std::exception&) {
    source = -1;
    printer.SetPaper(kCustomPaperSize, page.PaperWidthTenths, page.PaperHeightTenths, source,
                     page.Orientation, false);
    printer.FillPageInfo(page.PageInfo);
  }
  page.PaperSizeCode = static_cast<std::int16_t>(printer.PaperSizeCode);
  page.PaperWidthTenths = printer.PaperWidthTenths;
  page.PaperHeightTenths = printer.PaperHeightTenths;
  page.Orientation = printer.Orientation;
  page.PaperSource = (source & 0xFFFF) == 0xFFFF ? -1 : printer.PaperSource;
}

}  // namespace quillet
