#include "preview/qt_engine_host.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <memory>

#include "platform/qt/qt_text.h"
#include "platform/scope_guard.h"
#include "preview/preview_form.h"
#include "preview/preview_panel.h"
#include "preview/progress_form.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"

namespace quillet {
namespace {

QMessageBox::Icon ToQIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

MessageResult FromQButton(int button, MessageButtons offered) {
  switch (button) {
    case QMessageBox::Ok: return MessageResult::Ok;
    case QMessageBox::Yes: return MessageResult::Yes;
    case QMessageBox::No: return MessageResult::No;
    case QMessageBox::Cancel: return MessageResult::Cancel;
    default: break;
  }
  // Closed some other way: the answer that does nothing.
  switch (offered) {
    case MessageButtons::Ok: return MessageResult::Ok;
    case MessageButtons::YesNo: return MessageResult::No;
    default: return MessageResult::Cancel;
  }
}

}  // namespace

MessageResult QtEngineHost::ShowMessage(const std::string& text, const std::string& caption,
                                        MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(ToQIcon(icon), ToQString(caption), ToQString(text), ToQButtons(buttons),
                  QApplication::activeWindow());
  // Above the progress window, which stays on top while a step runs.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  return FromQButton(box.exec(), buttons);
}

bool QtEngineHost::InputBox(const std::string& caption, const std::string& prompt,
                            std::string& value) {
  QInputDialog dialog(QApplication::activeWindow());
  dialog.setWindowTitle(ToQString(caption));
  dialog.setLabelText(ToQString(prompt));
  dialog.setTextValue(ToQString(value));
  if (dialog.exec() != QDialog::Accepted) return false;
  value = FromQString(dialog.textValue());
  return true;
}

void QtEngineHost::ProcessPendingMessages() {
  QCoreApplication::processEvents();
}

int QtEngineHost::RunWithProgress(const ProgressRequest& request, const ProgressStep& step) {
  return TfrProgressForm::Instance().RunWithProgress(request, step);
}

TfrPreviewForm* QtEngineHost::NewPreviewForm(TfrReport& report) {
  std::string caption = "Preview";
  if (!report.Title.empty()) caption += " - " + report.Title;
  auto* form = new TfrPreviewForm(QApplication::activeWindow());
  form->setWindowTitle(ToQString(caption));
  if (PreviewOpened) PreviewOpened(*form);
  return form;
}

bool QtEngineHost::PagesFormed(TfrReport& report, int formed, int total) {
  if (report.Preview) return false;  // the panel shows the pages once formed
  const bool opening = formingReport_ != &report;
  if (opening && formed < 1) return false;
  if (!opening && !forming_) {
    report.StopRequested = true;  // the window went: nothing to form for
    return true;
  }
  // Drawing and the Cancel click get their turn without slowing formation
  // much.
  if (!opening && sinceRefresh_.elapsed() < RefreshMs) return true;
  // Drawing a page points the preparation state at the page drawn and its
  // objects; formation goes on from where it was.
  PreparationState& run = report.Run();
  const PreparationState forming = run;
  const ScopeGuard restore([&run, &forming] { run = forming; });
  if (opening) {
    forming_ = NewPreviewForm(report);
    formingReport_ = &report;
    forming_->StartForming(report, formed, total);
    sinceRefresh_.start();
    QCoreApplication::processEvents();
    return true;
  }
  forming_->ShowFormed(formed, total);
  QCoreApplication::processEvents();
  sinceRefresh_.restart();
  return true;
}

void QtEngineHost::FormationEnded(TfrReport& report, const std::string& error, int formed) {
  if (forming_ && formingReport_ == &report) forming_->EndForming(error, formed);
}

void QtEngineHost::ShowPrepared(TfrReport& report) {
  PreparationState& prep = report.Run();
  prep.ActiveReport = &report;
  prep.OuterReport = &report;
  prep.RenderActive = true;
  prep.ActiveBand = nullptr;
  if (formingReport_ == &report) {
    TfrPreviewForm* form = forming_.data();
    forming_ = nullptr;
    formingReport_ = nullptr;
    if (!form) return;
    std::unique_ptr<TfrPreviewForm> owned(form);
    form->EndForming({}, -1);  // nothing when FormationEnded came first
    // Closed while its pages formed, or while the host said why they ended.
    if (form->ClosedWhileForming() || !form->isVisible() || form->PageCount() == 0) return;
    if (report.ModalPreview) {
      form->exec();
    } else {
      form->setAttribute(Qt::WA_DeleteOnClose);
      (void)owned.release();
    }
    ProcessPendingMessages();
    return;
  }
  if (report.PreparedPages.Count() == 0) return;
  if (report.Preview) {
    static_cast<TfrPreview*>(report.Preview)->Connect(report);
    return;
  }
  TfrPreviewForm* form = NewPreviewForm(report);
  if (report.ModalPreview) {
    // Closing ends the modal loop; the window and the pages it holds go
    // with it.
    std::unique_ptr<TfrPreviewForm> owned(form);
    owned->ShowWindow(report);
  } else {
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->ShowWindow(report);
  }
  ProcessPendingMessages();
}

}  // namespace quillet
