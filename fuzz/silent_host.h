// An engine host for fuzz targets: answers every question, keeps nothing
// (so long runs stay small), and runs progress steps directly; and the one
// engine start-up of every fuzz target, free of Qt.
#pragma once

#include <string>

#include "platform/engine_host.h"
#include "platform/recording_canvas.h"
#include "report/base/engine_state.h"
#include "report/component/engine_library.h"
#include "report/printer/printer.h"
#include "report/views/view_registry.h"

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

// The engine as the Qt programs start it, without Qt: the silent host, the
// object kinds, a recording canvas for measuring, the virtual printer and
// the engine globals.
// Called once from LLVMFuzzerInitialize; lives for the whole run.
inline void StartSilentEngine() {
  static SilentHost host;
  static RecordingCanvas measuring(DeviceKind::Screen);
  Engine().SetHost(&host);
  RegisterEngineKinds(Engine());
  Engine().MeasuringCanvas = &measuring;
  StartEnginePrinter(Engine(), nullptr);
  StartEngineLibrary(Engine());
}

}  // namespace quillet::fuzz
