#include "app/preview_printing.h"

#include "preview/preview_form.h"
#include "preview/qt_engine_host.h"
#include "printing/print_action.h"

namespace quillet {

void PrintFromPreview(TfrPreviewForm& form) {
  TfrReport* report = form.Report();
  if (!report) return;
  // The job prints the report's own pages: the window gives them back for
  // its duration and takes them again afterwards, whatever happened.
  form.Disconnect();
  try {
    RunPrintDialogAndPrint(*report, form.View.CurrentPage);
  } catch (...) {
    form.Connect(*report);
    throw;
  }
  form.Connect(*report);
  form.ResetView(false);
}

void InstallPreviewPrinting(QtEngineHost& host) {
  host.PreviewOpened = [](TfrPreviewForm& form) { form.PrintHook = &PrintFromPreview; };
}

}  // namespace quillet
