#include "printing/print_action.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <exception>
#include <string>

#include "platform/engine_host.h"
#include "platform/qt/qt_text.h"
#include "printing/print_form.h"
#include "report/base/engine_texts.h"
#include "report/base/text_format.h"
#include "report/component/report.h"
#include "report/printer/printer.h"

namespace quillet {

bool RunPrintDialogAndPrint(TfrReport& report, int currentPage, const PagesLoan& loan,
                            const std::function<bool()>& beforeJob) {
  // A lender holds the pages and has checked that there are some.
  if ((!loan && report.PreparedPages.Count() == 0) || !report.Globals().Printer.EnginePrinter)
    return false;
  TfrPrinter& printer = EnginePrinter(report.Globals());
  if (!printer.PlatformPrinter || printer.PlatformPrinter->PrinterNames().empty()) return false;

  TfrPrintForm form(report.Globals());
  form.E1->setText(QString::number(report.DefaultCopies));
  form.CollateCB->setChecked(report.DefaultCollate);
  if (report.ShowPrintDialog && form.exec() != QDialog::Accepted) return false;

  std::string range;
  if (form.RB2->isChecked())
    range = std::to_string(currentPage);
  else if (!form.RB1->isChecked())
    range = FromQString(form.E2->text());
  try {
    // The copies text is read before anything is printed.
    const int copies = StrToInt(FromQString(form.E1->text()));
    if (beforeJob && !beforeJob()) return false;
    const auto job = [&] {
      report.PrintPrepared(range, copies, form.CollateCB->isChecked(), form.CB2->currentIndex());
    };
    if (loan)
      loan(job);
    else
      job();
  } catch (const std::exception& e) {
    report.Globals().Host().ShowMessage(e.what(), EngineText(txError), MessageIcon::Error,
                                        MessageButtons::Ok);
    return false;
  }
  return true;
}

}  // namespace quillet
