// The preview's Print button: the print dialog, then the print job.
#pragma once

#include <functional>

namespace quillet {

class TfrReport;

// Runs a print job with the prepared pages lent to the report: a preview
// that shows the pages keeps them on screen while the dialogs are open and
// hands them over only for the job, taking them back however it ends.
using PagesLoan = std::function<void(const std::function<void()>& job)>;

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
// With a `loan` the pages are not in the report but in a preview, which
// lends them for the job alone; the dialog and any error box are shown
// while the preview still shows them.
//
// `beforeJob`, when set, runs once the dialog was accepted and before
// anything prints; false from it ends the action with nothing printed.
bool RunPrintDialogAndPrint(TfrReport& report, int currentPage, const PagesLoan& loan = {},
                            const std::function<bool()>& beforeJob = {});

}  // namespace quillet
