// An engine host with no windows: it records what it was asked, answers
// from presets, and runs progress steps directly.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/engine_host.h"

namespace quillet {

class HeadlessHost : public EngineHost {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon;
  };

  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  void ProcessPendingMessages() override { ++pendingMessageRuns; }
  using EngineHost::RunWithProgress;
  int RunWithProgress(const ProgressRequest& request, const ProgressStep& step) override;
  void ShowPrepared(TfrReport& report) override;

  // What was asked, in order.
  std::vector<Message> messages;
  std::vector<std::string> progressLines;  // every first and second line set
  std::vector<std::string> progressCaptions;
  std::vector<std::string> inputPrompts;  // every input box's prompt
  std::vector<TfrReport*> previews;
  int pendingMessageRuns = 0;

  // Answers: message boxes answer `messageAnswer`; input boxes take the next
  // preset answer, or cancel when none is left.
  MessageResult messageAnswer = MessageResult::Ok;
  std::deque<std::string> inputAnswers;
  // A stop request (as from a Cancel press: the request's onCancel runs and
  // the result becomes 2) is raised once this many progress lines were set
  // (-1: never). The first line of the request counts as a line.
  int stopAfterLines = -1;
  bool stopRequested = false;
  bool progressVisible = false;  // the window's visibility as the step left it
};

}  // namespace quillet
