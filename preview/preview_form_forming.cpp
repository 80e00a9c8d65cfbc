// The preview window on a report whose pages still form: the pages whole so
// far are read straight from the report's list, the forming bar shows the
// count and the progress, and Cancel stops formation keeping what it formed.
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "platform/qt/qt_text.h"
#include "preview/preview_form.h"
#include "preview/preview_view.h"
#include "preview/toolbar_button.h"
#include "report/component/report.h"

namespace quillet {
namespace {

QString PageCountText(int formed, int total) {
  const QLocale locale;
  if (total > 0)
    return QStringLiteral("%1 of %2 pages formed")
        .arg(locale.toString(formed), locale.toString(total));
  return QStringLiteral("%1 %2 formed")
      .arg(locale.toString(formed), formed == 1 ? QStringLiteral("page") : QStringLiteral("pages"));
}

}  // namespace

void TfrPreviewForm::BuildFormingBar() {
  formingBar_ = new QWidget(this);
  formingBar_->setObjectName("FormingBar");
  auto* row = new QHBoxLayout(formingBar_);
  row->setContentsMargins(4, 2, 4, 2);
  formingLabel_ = new QLabel(formingBar_);
  formingLabel_->setObjectName("FormingLabel");
  formingLabel_->setMinimumWidth(160);
  formingProgress_ = new QProgressBar(formingBar_);
  formingProgress_->setObjectName("FormingProgress");
  formingProgress_->setTextVisible(false);
  formingProgress_->setMaximumHeight(14);
  cancelButton_ = new QPushButton(QStringLiteral("Cancel"), formingBar_);
  cancelButton_->setObjectName("CancelForming");
  cancelButton_->setAutoDefault(false);
  cancelButton_->setFocusPolicy(Qt::NoFocus);
  connect(cancelButton_, &QPushButton::clicked, this, [this] { CancelForming(); });
  row->addWidget(formingLabel_);
  row->addWidget(formingProgress_, 1);
  row->addWidget(cancelButton_);
  formingBar_->hide();
}

void TfrPreviewForm::SetFileButtonsEnabled(bool enabled) {
  for (QWidget* button : {loadBtn_, saveBtn_, findBtn_}) button->setEnabled(enabled);
  const bool printer = enabled && PrinterInstalled();
  printBtn_->setEnabled(printer);
  pageSetupBtn_->setEnabled(printer);
}

void TfrPreviewForm::StartForming(TfrReport& report, int formed, int total) {
  forming_ = true;
  closedWhileForming_ = false;
  formed_ = 0;
  pages_ = &report.PreparedPages;
  ownedPages_.reset();
  SetUpForShowing(report);
  SetFileButtonsEnabled(false);
  ShowStatus({}, false);
  cancelButton_->setEnabled(true);
  formingBar_->show();
  ShowFormed(formed, total);
  // Modality cannot change once the window is on screen: a modal preview is
  // modal from the start, and ShowPrepared runs its loop once formed.
  if (report.ModalPreview) setWindowModality(Qt::ApplicationModal);
  show();
}

void TfrPreviewForm::ShowFormed(int formed, int total) {
  if (!forming_) return;
  const bool first = PageCount() == 0;
  formed_ = std::max(formed_, formed);
  formingLabel_->setText(PageCountText(formed_, total));
  if (total > 0) {
    formingProgress_->setRange(0, total);
    formingProgress_->setValue(std::min(formed_, total));
  } else {
    formingProgress_->setRange(0, 0);  // no total known: a busy bar
  }
  if (PageCount() == 0) return;
  if (first) {
    FormResize();
  } else {
    // Pages added at the end leave those before in place: the view stays.
    View.PaintEnabled = false;
    LayOutPages();
    View.PaintEnabled = true;
    pbox_->update();
  }
  ShowPageNumber();
}

void TfrPreviewForm::CancelForming() {
  if (!forming_ || !report_) return;
  report_->StopRequested = true;
  cancelButton_->setEnabled(false);
  formingLabel_->setText(QStringLiteral("Stopping..."));
}

void TfrPreviewForm::EndForming(const std::string& error, int formed) {
  if (!forming_ || !report_) return;
  const bool stopped = report_->StopRequested;
  forming_ = false;
  formingBar_->hide();
  SetFileButtonsEnabled(true);
  const int before = formed_;
  Connect(*report_);
  // An error leaves the page it struck half formed: the pages before it
  // are what formation made whole. A cancelled run keeps what the engine
  // kept, as after a Cancel in the progress window.
  if (!error.empty() && formed >= 1)
    while (pages_->Count() > formed) pages_->DeletePage(pages_->Count() - 1);
  const QString count = PageCountText(PageCount(), 0);
  if (!error.empty()) {
    ShowStatus(QStringLiteral("Formation failed after %1: %2").arg(count, ToQString(error)), true);
  } else if (stopped) {
    ShowStatus(QStringLiteral("Formation was cancelled; %1.").arg(count), false);
  }
  if (PageCount() != before) {
    View.PaintEnabled = false;
    LayOutPages();
    View.PaintEnabled = true;
    pbox_->update();
  }
  ShowPageNumber();
  emit FormationEnded();
}

}  // namespace quillet
