// MessageCatcher: the engine host for the life of one scope, in front of
// the host that was in force. It keeps the text of every error message the
// engine shows (a template stream's loader, a failed expression or script
// during preparation) and either passes each message on or, when told to
// keep them, shows none. Everything else (progress, input boxes, the
// preview) goes to the host behind it unchanged.
#pragma once

#include <string>
#include <vector>

#include "platform/engine_host.h"

namespace quillet {

struct EngineGlobals;

class MessageCatcher : public EngineHost {
 public:
  enum Mode {
    PassOn,  // every message still reaches the host behind
    Keep,    // error messages are only kept, never shown
  };
  // Installs itself; the host before it comes back when the scope ends.
  MessageCatcher(EngineGlobals& engine, Mode mode);
  ~MessageCatcher() override;
  MessageCatcher(const MessageCatcher&) = delete;
  MessageCatcher& operator=(const MessageCatcher&) = delete;

  // The texts of the error messages shown while installed, in order.
  const std::vector<std::string>& Errors() const { return errors_; }

  using EngineHost::RunWithProgress;
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  void ProcessPendingMessages() override;
  int RunWithProgress(const ProgressRequest& request, const ProgressStep& step) override;
  void ShowPrepared(TfrReport& report) override;
  std::unique_ptr<DialogParent> CreateDialogParent(const std::string& name,
                                                   const Rect& bounds) override;

 private:
  EngineGlobals& engine_;
  Mode mode_;
  EngineHost* behind_;
  std::vector<std::string> errors_;
};

}  // namespace quillet
