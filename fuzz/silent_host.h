// An engine host for fuzz targets: answers every question, keeps nothing
// (so long runs stay small), and runs progress steps directly.
#pragma once

#include <string>

#include "platform/engine_host.h"

namespace quillet::fuzz {

class SilentProgress : public ProgressControl {
 public:
  void SetCaption(const std::string&) override {}
  void SetFirstLine(const std::string&) override {}
  void SetSecondLine(const std::string&) override {}
  bool StopRequested() const override { return false; }
  void ProcessMessages() override {}
  void SetModalResult(int result) override { result_ = result; }
  int Result() const { return result_; }

 private:
  int result_ = 0;
};

class SilentHost : public EngineHost {
 public:
  using EngineHost::RunWithProgress;
  MessageResult ShowMessage(const std::string&, const std::string&, MessageIcon,
                            MessageButtons) override {
    return MessageResult::Ok;
  }
  bool InputBox(const std::string&, const std::string&, std::string&) override { return false; }
  void ProcessPendingMessages() override {}
  int RunWithProgress(const ProgressRequest&, const ProgressStep& step) override {
    SilentProgress progress;
    step(progress);
    return progress.Result();
  }
  void ShowPrepared(TfrReport&) override {}
};

}  // namespace quillet::fuzz
