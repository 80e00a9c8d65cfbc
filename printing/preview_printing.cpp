#include "printing/preview_printing.h"

#include <QEvent>
#include <QLabel>
#include <algorithm>

#include "printing/printed_files.h"
#include "preview/preview_form.h"
#include "preview/qt_engine_host.h"
#include "printing/print_action.h"

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

}  // namespace

void PrintFromPreview(TfrPreviewForm& form, const PrintedFilesHook& printed) {
  TfrReport* report = form.Report();
  if (!report || !form.Pages() || form.PageCount() == 0) return;
  TakePrintedFiles();  // files of earlier jobs are not this one's
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
  const std::vector<std::string> files = TakePrintedFiles();
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
