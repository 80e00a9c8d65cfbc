// Printing the prepared pages: the print request, the progress window run,
// documents per paper and the placement of each page on the printer canvas.
#include <cstdint>
#include <limits>
#include <string>

#include "platform/canvas.h"
#include "platform/engine_host.h"
#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/scope_guard.h"
#include "report/base/engine_state.h"
#include "report/base/engine_texts.h"
#include "report/component/report.h"
#include "report/printer/printer.h"

namespace quillet {
namespace {

constexpr int kModalDone = 1;

// round(margin x device / report), the product taken in 64 bits so hostile
// margins from a file cannot wrap; a zero-sized area gives no offset.
std::int32_t ScaledMargin(std::int32_t margin, std::int32_t device, std::int32_t report) {
  if (report == 0) return 0;
  const std::int64_t product = std::int64_t(margin) * device;
  return Round(static_cast<double>(product) / report);
}

std::int32_t Saturated(std::int64_t v) {
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

// Where page `page` goes on the printer canvas, whose origin is the
// printable area's top-left corner.
Rect PrintTarget(const PreparedPage& page) {
  const PrinterPageInfo& info = page.PageInfo;
  if (page.MarginsApply != 0) {
    // The page covers the physical sheet at its true size.
    return {Saturated(-std::int64_t(info.DevOffsetX)), Saturated(-std::int64_t(info.DevOffsetY)),
            Saturated(std::int64_t(info.DevPaperWidth) - info.DevOffsetX),
            Saturated(std::int64_t(info.DevPaperHeight) - info.DevOffsetY)};
  }
  // Stretched into the printable area, inside the page's margins.
  const PageMargins& m = page.Margins;
  return {ScaledMargin(m.Left, info.DevPrintableWidth, info.PrintableWidthPx),
          ScaledMargin(m.Top, info.DevPrintableHeight, info.PrintableHeightPx),
          Saturated(std::int64_t(info.DevPrintableWidth) -
                    ScaledMargin(m.Right, info.DevPrintableWidth, info.PrintableWidthPx)),
          Saturated(std::int64_t(info.DevPrintableHeight) -
                    ScaledMargin(m.Bottom, info.DevPrintableHeight, info.PrintableHeightPx))};
}

PlatformPrinter& PrintingDevice(EngineGlobals& engine) {
  TfrPrinter& printer = EnginePrinter(engine);
  if (!printer.PlatformPrinter || printer.IsVirtualSelected())
    throw EngineError("No printer is installed: the report cannot be printed");
  return *printer.PlatformPrinter;
}

}  // namespace

void TfrReport::PrintPrepared(const std::string& pageRange, int copies, bool collate,
                              int selection) {
  PreparationState& prep = Run();
  prep.ActiveReport = prep.OuterReport = this;
  StopRequested = false;
  PrintRangeText = pageRange;
  PrintCopies = copies;
  PrintCollate = collate;
  PrintSelection = static_cast<std::uint8_t>(selection);
  // An embedded preview panel holding the pages would be disconnected here
  // and connected again at the end; no such panel exists in this system.

  if (Events.OnProgress || !ShowProgress) {
    // The mouse-over handler stays out of the way while pages are rebuilt.
    const KeepValue<std::function<void(TfrView&, int&)>> restore(Events.OnMouseOverObject);
    Events.OnMouseOverObject = nullptr;
    PrintPages(PrintRangeText, PrintCopies, PrintCollate, PrintSelection);
    return;
  }

  firstLineText_ = EngineText(txPrintingPage);
  ProgressRequest request{ProgressCaption(), firstLineText_, [this] { StopRequested = true; }};
  Globals().Host().RunWithProgress(request, [this](ProgressControl& window) {
    progress_ = &window;
    const ScopeGuard forget([this] { progress_ = nullptr; });
    PrintPages(PrintRangeText, PrintCopies, PrintCollate, PrintSelection);
    window.SetModalResult(kModalDone);
  });
}

void TfrReport::PrintPages(const std::string& pageRange, int copies, bool collate, int selection) {
  TfrPrinter& printer = EnginePrinter(Globals());
  printer.AttachPrinter(printer.PlatformPrinter);
  // A bad range item stops the job before any document begins.
  printPages_ = ParsePageRange(pageRange, PreparedPages.Count());
  PrintSelection = static_cast<std::uint8_t>(selection);
  if (copies <= 0) copies = 1;
  PlatformPrinter& device = PrintingDevice(Globals());

  if (PreparedPages.Count() > 0) {
    PreparedPage& first = PreparedPages[0];
    printer.SetPaper(first.PaperSizeCode, first.PaperWidthTenths, first.PaperHeightTenths,
                     first.PaperSource, first.Orientation, true);
    printer.FillPageInfo(first.PageInfo);
  }
  device.SetTitle(Title.empty() ? EngineText(txUntitled) : Title);
  if (Events.OnPrintReport) Events.OnPrintReport();
  device.SetCopies(collate ? 1 : copies);

  device.BeginDoc();
  printFirst_ = true;
  pagesInDocument_ = 0;
  // A failed or stopped job leaves nothing half printed and the printer
  // free; a range that selects no page leaves an empty document, which is
  // dropped too, since ending it would print a blank sheet.
  bool ended = false;
  const ScopeGuard abortUnlessEnded([&device, &ended] {
    if (!ended) device.Abort();
  });
  const int passes = collate ? copies : 1;
  for (int pass = 0; pass < passes; ++pass) {
    for (int i = 0; i < PreparedPages.Count(); ++i) {
      if (!printPages_.Wants(std::int64_t(i) + 1)) continue;
      PrintOnePage(i);
      if (StopRequested) return;
    }
  }
  if (pagesInDocument_ > 0) {
    device.EndDoc();
    ended = true;
  }
}

void TfrReport::PrintOnePage(int index) {
  const int number = index + 1;
  if (PrintSelection == 1 && number % 2 == 0) return;
  if (PrintSelection == 2 && number % 2 != 0) return;
  if (PrintSelection > 2) return;

  TfrPrinter& printer = EnginePrinter(Globals());
  PlatformPrinter& device = PrintingDevice(Globals());
  PreparedPage& page = PreparedPages[index];
  if (!printer.SettingsMatch(page.PaperSizeCode, page.PaperWidthTenths, page.PaperHeightTenths,
                             page.PaperSource, page.Orientation)) {
    // The paper cannot change inside a document: this page starts the next.
    // A document still without pages is dropped rather than sent as a
    // blank sheet.
    if (pagesInDocument_ > 0)
      device.EndDoc();
    else
      device.Abort();
    pagesInDocument_ = 0;
    printer.SetPaper(page.PaperSizeCode, page.PaperWidthTenths, page.PaperHeightTenths,
                     page.PaperSource, page.Orientation, true);
    device.BeginDoc();
  } else if (!printFirst_) {
    device.NewPage();
  }

  printer.FillPageInfo(page.PageInfo);
  Canvas* canvas = device.PageCanvas();
  if (!canvas) throw EngineError("The printer gives no page to draw on");
  {
    // The page's rebuilt objects go as soon as it is printed.
    const PageInUse inUse(PreparedPages, index);
    PreparedPages.DrawPage(index, *canvas, PrintTarget(page));
  }
  ++pagesInDocument_;
  ReportProgress(number);
  Globals().Host().ProcessPendingMessages();
  printFirst_ = false;
}

}  // namespace quillet
