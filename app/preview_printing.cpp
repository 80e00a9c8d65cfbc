#include "app/preview_printing.h"

#include "preview/preview_form.h"
#include "preview/qt_engine_host.h"
#include "printing/print_action.h"

namespace quillet {

void PrintFromPreview(TfrPreviewForm& form) {
  TfrReport* report = form.Report();
  if (!report || !form.Pages() || form.PageCount() == 0) return;
  // The window keeps showing its pages while the print dialog (and its
  // Properties dialog, and any error box) is open. The job prints the
  // report's own pages: the window gives them back for the job alone and
  // takes them again afterwards, whatever happened.
  const PagesLoan lend = [&form, report](const std::function<void()>& job) {
    form.Disconnect();
    try {
      job();
    } catch (...) {
      form.Connect(*report);
      form.ResetView(false);
      throw;
    }
    form.Connect(*report);
    form.ResetView(false);
  };
  RunPrintDialogAndPrint(*report, form.View.CurrentPage, lend);
}

void InstallPreviewPrinting(QtEngineHost& host) {
  host.PreviewOpened = [](TfrPreviewForm& form) { form.PrintHook = &PrintFromPreview; };
}

}  // namespace quillet
