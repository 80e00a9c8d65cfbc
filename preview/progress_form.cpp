#include "preview/progress_form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include "platform/qt/qt_text.h"
#include "widgets/engine_window_font.h"

namespace quillet {
namespace {

// Engine text 55001.
constexpr const char* kCancelText = "Cancel";

QPointer<TfrProgressForm>& InstanceSlot() {
  static QPointer<TfrProgressForm> instance;
  return instance;
}

void DeleteInstance() {
  delete InstanceSlot().data();
}

}  // namespace

TfrProgressForm& TfrProgressForm::Instance() {
  QPointer<TfrProgressForm>& slot = InstanceSlot();
  if (!slot) {
    slot = new TfrProgressForm;
    // Widgets must go before the application object does.
    qAddPostRoutine(DeleteInstance);
  }
  return *slot;
}

TfrProgressForm::TfrProgressForm()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowMinMaxButtonsHint | Qt::WindowStaysOnTopHint) {
  setObjectName("frProgressForm");
  setFont(EngineWindowFont());
  setFixedSize(278, 106);
  setModal(true);

  auto makeLine = [this](const char* name, int y) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(20, y, 237, 13);
    return label;
  };
  label1_ = makeLine("Label1", 26);
  label2_ = makeLine("Label2", 42);

  button1_ = new QPushButton(this);
  button1_->setObjectName("Button1");
  button1_->setGeometry(100, 68, 75, 25);
  button1_->setAutoDefault(false);
  connect(button1_, &QPushButton::clicked, this, &TfrProgressForm::reject);
}

QString TfrProgressForm::FirstLine() const {
  return label1_->text();
}
QString TfrProgressForm::SecondLine() const {
  return label2_->text();
}

void TfrProgressForm::SetCaption(const std::string& text) {
  setWindowTitle(ToQString(text));
}
void TfrProgressForm::SetFirstLine(const std::string& text) {
  label1_->setText(ToQString(text));
}
void TfrProgressForm::SetSecondLine(const std::string& text) {
  label2_->setText(ToQString(text));
}

void TfrProgressForm::ProcessMessages() {
  QCoreApplication::processEvents();
}

int TfrProgressForm::RunWithProgress(const ProgressRequest& request, const ProgressStep& step) {
  if (Running()) {
    // A nested operation reuses the window: its step runs here and now, with
    // its own result; a Cancel press stops both operations.
    SetCaption(request.caption);
    SetFirstLine(request.firstLine);
    const int outerResult = result_;
    std::function<void()> outerCancel = onCancel_;
    onCancel_ = [outerCancel, inner = request.onCancel] {
      if (inner) inner();
      if (outerCancel) outerCancel();
    };
    result_ = stopRequested_ ? 2 : 0;
    struct Restore {
      TfrProgressForm& form;
      int outerResult;
      std::function<void()> outerCancel;
      ~Restore() {
        form.result_ = form.stopRequested_ ? 2 : outerResult;
        form.onCancel_ = std::move(outerCancel);
      }
    };
    int innerResult = 0;
    {
      Restore restore{*this, outerResult, outerCancel};
      if (step) step(*this);
      innerResult = result_;
    }
    return innerResult;
  }

  button1_->setText(kCancelText);
  SetCaption(request.caption);
  SetFirstLine(request.firstLine);
  label2_->clear();
  step_ = step;
  onCancel_ = request.onCancel;
  result_ = 0;
  stopRequested_ = false;
  failure_ = nullptr;

  QCoreApplication::postEvent(this, new QEvent(StartStepEvent));
  QEventLoop loop;
  loop_ = &loop;
  show();
  activateWindow();
  loop.exec(QEventLoop::DialogExec);
  loop_ = nullptr;
  hide();

  step_ = nullptr;
  onCancel_ = nullptr;
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  return result_;
}

bool TfrProgressForm::event(QEvent* e) {
  if (e->type() == StartStepEvent) {
    RunStep();
    return true;
  }
  return QDialog::event(e);
}

void TfrProgressForm::RunStep() {
  if (!loop_) return;  // a stale start event from a run that already ended
  try {
    if (step_) step_(*this);
  } catch (...) {
    // Nothing may leave an event handler; RunWithProgress rethrows it.
    failure_ = std::current_exception();
  }
  loop_->exit(result_);
}

void TfrProgressForm::showEvent(QShowEvent* e) {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  QDialog::showEvent(e);
}

void TfrProgressForm::closeEvent(QCloseEvent* e) {
  // Only the operation's end or Cancel closes the window.
  e->ignore();
}

void TfrProgressForm::reject() {
  if (!loop_) return;
  stopRequested_ = true;
  result_ = 2;
  if (onCancel_) onCancel_();
}

}  // namespace quillet
