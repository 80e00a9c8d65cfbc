// The progress window: a small always-on-top modal window in whose modal loop
// a long engine operation (preparation, printing, export) runs.
//
// Showing the window posts it a private event; the handler of that event runs
// the step, which rewrites the first line per page, lets events run (repaint,
// the Cancel click) and sets the result. The loop ends when the step returns.
#pragma once

#include <QDialog>
#include <QEvent>
#include <exception>

#include "platform/engine_host.h"

class QEventLoop;
class QLabel;
class QPushButton;

namespace quillet {

class TfrProgressForm : public QDialog, public ProgressControl {
  Q_OBJECT

 public:
  // The private message 1025 (the platform's first user message + 1) that
  // starts the step once the window is on screen.
  static constexpr QEvent::Type StartStepEvent = static_cast<QEvent::Type>(QEvent::User + 1025);

  // The one window of the process, created on first use (needs the
  // QApplication) and deleted when the application object goes.
  static TfrProgressForm& Instance();

  // Sets caption, first line, the Cancel caption; empties the second line;
  // posts StartStepEvent and runs the modal loop until `step` returns.
  // Returns the modal result: what the step set last, 2 after a Cancel press
  // the step did not overrule, 0 when neither happened. An exception thrown
  // by the step ends the loop and is rethrown here. Called again while a step
  // runs (a nested operation), the step runs at once inside the same window.
  int RunWithProgress(const ProgressRequest& request, const ProgressStep& step);

  bool Running() const { return loop_ != nullptr; }
  QString Caption() const { return windowTitle(); }
  QString FirstLine() const;
  QString SecondLine() const;
  QPushButton* CancelButton() const { return button1_; }

  // ProgressControl: texts are UTF-8.
  void SetCaption(const std::string& text) override;
  void SetFirstLine(const std::string& text) override;
  void SetSecondLine(const std::string& text) override;
  bool StopRequested() const override { return stopRequested_; }
  void ProcessMessages() override;
  void SetModalResult(int result) override { result_ = result; }
  bool Visible() const override { return isVisible(); }
  void SetVisible(bool visible) override { setVisible(visible); }

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  // Cancel and Escape: stop request, result 2; the loop waits for the step.
  void reject() override;

 private:
  TfrProgressForm();
  void RunStep();

  QLabel* label1_;
  QLabel* label2_;
  QPushButton* button1_;
  QEventLoop* loop_ = nullptr;
  ProgressStep step_;
  std::function<void()> onCancel_;
  int result_ = 0;
  bool stopRequested_ = false;
  std::exception_ptr failure_;
};

}  // namespace quillet
