// The engine host of the command line: messages and progress on standard
// error, progress steps run directly, no preview.
#pragma once

#include <string>

#include "platform/engine_host.h"

namespace quillet::cli {

class ConsoleHost : public EngineHost {
 public:
  using EngineHost::RunWithProgress;

  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  void ProcessPendingMessages() override {}
  int RunWithProgress(const ProgressRequest& request, const ProgressStep& step) override;
  void ShowPrepared(TfrReport& report) override;

  // Error messages shown so far (the command fails when there were any).
  int errors = 0;
  // Progress lines also when standard error is not a terminal (--progress).
  bool progressToLog = false;
};

}  // namespace quillet::cli
