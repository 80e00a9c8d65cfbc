#include "preview/qt_engine_host.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <memory>

#include "platform/qt/qt_text.h"
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

void QtEngineHost::ShowPrepared(TfrReport& report) {
  PreparationState& prep = Prep();
  prep.ActiveReport = &report;
  prep.OuterReport = &report;
  prep.RenderActive = true;
  prep.ActiveBand = nullptr;
  if (report.PreparedPages.Count() == 0) return;
  std::string caption = "Preview";
  if (!report.Title.empty()) caption += " - " + report.Title;
  if (report.Preview) {
    static_cast<TfrPreview*>(report.Preview)->Connect(report);
    return;
  }
  auto* form = new TfrPreviewForm(QApplication::activeWindow());
  form->setWindowTitle(ToQString(caption));
  if (report.ModalPreview) {
    // Closing ends the modal loop; the window and the pages it holds go
    // with it.
    std::unique_ptr<TfrPreviewForm> owned(form);
    if (PreviewOpened) PreviewOpened(*form);
    owned->ShowWindow(report);
  } else {
    form->setAttribute(Qt::WA_DeleteOnClose);
    if (PreviewOpened) PreviewOpened(*form);
    form->ShowWindow(report);
  }
  ProcessPendingMessages();
}

}  // namespace quillet
