// The engine host of the program: message boxes, the input box and the
// progress window as Qt widgets. Install it with SetHost() once the
// QApplication exists.
#pragma once

#include <functional>

#include "platform/engine_host.h"

class QWidget;

namespace quillet {

class TfrPreviewForm;

class QtEngineHost : public EngineHost {
 public:
  using EngineHost::RunWithProgress;

  // Texts are UTF-8; boxes are modal over the active window.
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  void ProcessPendingMessages() override;
  // Runs through the process's one TfrProgressForm.
  int RunWithProgress(const ProgressRequest& request, const ProgressStep& step) override;
  // Opens the preview window on the report's prepared pages (modal when the
  // report's ModalPreview is set), or connects the report's TfrPreview
  // panel when it has one. Nothing when there are no pages.
  void ShowPrepared(TfrReport& report) override;
  // Called with each new preview window before it is shown (the program
  // installs the print dialog's hook here; tests look at the window).
  std::function<void(TfrPreviewForm&)> PreviewOpened;
};

}  // namespace quillet
