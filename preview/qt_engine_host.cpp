#include "preview/qt_engine_host.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "platform/qt/qt_text.h"
#include "preview/progress_form.h"

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

void QtEngineHost::ShowPrepared(TfrReport&) {
  ShowMessage("The report is prepared. The preview window is not part of this program yet.",
              "Preview", MessageIcon::Information, MessageButtons::Ok);
}

}  // namespace quillet
