// The engine host of the program: message boxes, the input box and the
// progress window as Qt widgets. Install it with SetHost() once the
// QApplication exists.
#pragma once

#include "platform/engine_host.h"

class QWidget;

namespace quillet {

class QtEngineHost : public EngineHost {
 public:
  using EngineHost::RunWithProgress;

  // Texts are engine bytes (Windows-1252); boxes are modal over the active window.
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  void ProcessPendingMessages() override;
  // Runs through the process's one TfrProgressForm.
  int RunWithProgress(const ProgressRequest& request, const ProgressStep& step) override;
  // Seam for the preview window, which is not part of the program yet: it
  // says so in an information box and shows nothing else.
  void ShowPrepared(TfrReport& report) override;
};

}  // namespace quillet
