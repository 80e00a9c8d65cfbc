#include "session/message_catcher.h"

#include "report/base/engine_state.h"

namespace quillet {

MessageCatcher::MessageCatcher(EngineGlobals& engine, Mode mode)
    : engine_(engine), mode_(mode), behind_(&engine.Host()) {
  engine_.SetHost(this);
}

MessageCatcher::~MessageCatcher() {
  engine_.SetHost(behind_);
}

MessageResult MessageCatcher::ShowMessage(const std::string& text, const std::string& caption,
                                          MessageIcon icon, MessageButtons buttons) {
  if (icon == MessageIcon::Error) {
    errors_.push_back(text);
    if (mode_ == Keep)
      return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::Cancel;
  }
  return behind_->ShowMessage(text, caption, icon, buttons);
}

bool MessageCatcher::InputBox(const std::string& caption, const std::string& prompt,
                              std::string& value) {
  return behind_->InputBox(caption, prompt, value);
}

void MessageCatcher::ProcessPendingMessages() {
  behind_->ProcessPendingMessages();
}

int MessageCatcher::RunWithProgress(const ProgressRequest& request, const ProgressStep& step) {
  return behind_->RunWithProgress(request, step);
}

void MessageCatcher::ShowPrepared(TfrReport& report) {
  behind_->ShowPrepared(report);
}

std::unique_ptr<DialogParent> MessageCatcher::CreateDialogParent(const std::string& name,
                                                                 const Rect& bounds) {
  return behind_->CreateDialogParent(name, bounds);
}

}  // namespace quillet
