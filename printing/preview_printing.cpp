#include "printing/preview_printing.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <algorithm>

#include "platform/qt/qt_platform_printer.h"
#include "preview/preview_form.h"
#include "preview/qt_engine_host.h"
#include "printing/print_action.h"
#include "printing/printed_files.h"
#include "report/component/report.h"
#include "report/printer/printer.h"

namespace quillet {
namespace {

const char* const kNoticeName = "printNotice";

// A label in the toolbar strip that fills the strip right of the buttons
// and keeps doing so when the strip is resized.
class NoticeLabel : public QLabel {
 public:
  NoticeLabel(QWidget* strip, QWidget* buttons) : QLabel(strip), buttons_(buttons) {
    setObjectName(QLatin1String(kNoticeName));
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    strip->installEventFilter(this);
    Fit();
  }
  void SetNotice(const QString& notice) {
    notice_ = notice;
    setToolTip(notice);
    Fit();
    show();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == parent() && event->type() == QEvent::Resize) Fit();
    return QLabel::eventFilter(watched, event);
  }

 private:
  void Fit() {
    const QWidget* strip = parentWidget();
    const int left = buttons_ ? buttons_->geometry().right() + 12 : 4;
    setGeometry(left, 0, std::max(0, strip->width() - left - 8), strip->height());
    setText(fontMetrics().elidedText(notice_, Qt::ElideMiddle, width()));
  }

  QWidget* buttons_;
  QString notice_;
};

void ShowNotice(TfrPreviewForm& form, const QString& notice) {
  QWidget* strip = form.ToolbarStrip();
  if (!strip) return;
  auto* label = strip->findChild<NoticeLabel*>(QLatin1String(kNoticeName));
  if (!label) {
    const QList<QWidget*> items = form.ToolbarItems();
    label = new NoticeLabel(strip, items.isEmpty() ? nullptr : items.first()->parentWidget());
  }
  label->SetNotice(notice);
}

// The engine printer's platform printer when it is Qt's, else nullptr.
QtPlatformPrinter* QtPrinter(EngineGlobals& engine) {
  if (!engine.Printer.EnginePrinter) return nullptr;
  return dynamic_cast<QtPlatformPrinter*>(engine.Printer.EnginePrinter->PlatformPrinter);
}

// The Qt printer when its current printer is "Print to PDF", else nullptr.
QtPlatformPrinter* PdfPrinter(EngineGlobals& engine) {
  QtPlatformPrinter* printer = QtPrinter(engine);
  if (!printer) return nullptr;
  const std::vector<std::string> names = printer->PrinterNames();
  const int index = printer->PrinterIndex();
  const bool pdf = index >= 0 && std::size_t(index) < names.size() &&
                   names[std::size_t(index)] == QtPlatformPrinter::kPdfPrinterName;
  return pdf ? printer : nullptr;
}

// Asks for the PDF's name when the job goes to "Print to PDF"; false when
// the user cancelled.
bool ChoosePdfFile(TfrPreviewForm& form, const TfrReport& report) {
  QtPlatformPrinter* printer = PdfPrinter(report.Globals());
  if (!printer) return true;
  // The dialog opens in the folder the files go to by default.
  QDir().mkpath(printer->PdfFolder());
  const QString suggested =
      QDir(printer->PdfFolder()).filePath(PdfNameStem(report.Title) + QStringLiteral(".pdf"));
  QString path = AskPdfFileName()(form, suggested);
  if (path.isEmpty()) return false;
  if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
  printer->SetChosenPdfPath(path);
  return true;
}

}  // namespace

PdfFileQuestion& AskPdfFileName() {
  static PdfFileQuestion ask = [](TfrPreviewForm& form, const QString& suggested) {
    return QFileDialog::getSaveFileName(&form,
                                        QString::fromLatin1(QtPlatformPrinter::kPdfPrinterName),
                                        suggested, QStringLiteral("PDF files (*.pdf)"));
  };
  return ask;
}

void PrintFromPreview(TfrPreviewForm& form, const PrintedFilesHook& printed) {
  TfrReport* report = form.Report();
  if (!report || !form.Pages() || form.PageCount() == 0) return;
  TakePrintedFiles(report->Globals());  // files of earlier jobs are not this one's
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
  RunPrintDialogAndPrint(*report, form.View.CurrentPage, lend,
                         [&form, report] { return ChoosePdfFile(form, *report); });
  // The chosen name served this job only; the next one asks again.
  if (QtPlatformPrinter* printer = QtPrinter(report->Globals())) printer->SetChosenPdfPath({});
  const std::vector<std::string> files = TakePrintedFiles(report->Globals());
  if (files.empty()) return;
  ShowNotice(form, PrintedFilesNotice(files));
  if (printed) printed(files);
}

void InstallPreviewPrinting(QtEngineHost& host, PrintedFilesHook printed) {
  host.PreviewOpened = [printed](TfrPreviewForm& form) {
    form.PrintHook = [printed](TfrPreviewForm& f) { PrintFromPreview(f, printed); };
  };
}

QLabel* PreviewNotice(const TfrPreviewForm& form) {
  QWidget* strip = form.ToolbarStrip();
  return strip ? strip->findChild<QLabel*>(QLatin1String(kNoticeName)) : nullptr;
}

}  // namespace quillet
