// The preview's Print button: the print dialog, then the print job.
#pragma once

namespace quillet {

class TfrReport;

// Shows the print dialog for `report` (unless its ShowPrintDialog is off,
// when the dialog's initial values serve) and prints what it asks for;
// `currentPage` is the 1-based page the preview shows, printed alone when
// "Current page" is chosen. Does nothing when the report has no prepared
// pages or the platform lists no installed printer. A copies text or page
// range that is not a whole number, or a printer failure, is shown in an
// "Error" box through the engine host with nothing printed; the prepared
// pages are left as they were. True when the print job ran to its end (or
// was cancelled in the progress window).
//
// The preview disconnects itself before calling this and connects and
// resets its view afterwards.
bool RunPrintDialogAndPrint(TfrReport& report, int currentPage);

}  // namespace quillet
