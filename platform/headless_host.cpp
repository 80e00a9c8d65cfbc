#include "platform/headless_host.h"

namespace quillet {
namespace {

class HeadlessProgress : public ProgressControl {
 public:
  HeadlessProgress(HeadlessHost& host, const ProgressRequest& request)
      : host_(host), request_(request) {}
  void SetCaption(const std::string& text) override { host_.progressCaptions.push_back(text); }
  void SetFirstLine(const std::string& text) override { Line(text); }
  void SetSecondLine(const std::string& text) override { Line(text); }
  bool StopRequested() const override { return host_.stopRequested; }
  void ProcessMessages() override { host_.ProcessPendingMessages(); }
  void SetModalResult(int result) override { result_ = result; }
  bool Visible() const override { return host_.progressVisible; }
  void SetVisible(bool visible) override { host_.progressVisible = visible; }
  int Result() const { return result_; }

 private:
  void Line(const std::string& text) {
    host_.progressLines.push_back(text);
    if (host_.stopAfterLines >= 0 &&
        static_cast<int>(host_.progressLines.size()) >= host_.stopAfterLines &&
        !host_.stopRequested) {
      // As a Cancel press would: the caller hears of it, the result becomes 2.
      host_.stopRequested = true;
      result_ = 2;
      if (request_.onCancel) request_.onCancel();
    }
  }

  HeadlessHost& host_;
  const ProgressRequest& request_;
  int result_ = 0;
};

}  // namespace

MessageResult HeadlessHost::ShowMessage(const std::string& text, const std::string& caption,
                                        MessageIcon icon, MessageButtons) {
  messages.push_back({text, caption, icon});
  return messageAnswer;
}

bool HeadlessHost::InputBox(const std::string&, const std::string& prompt, std::string& value) {
  inputPrompts.push_back(prompt);
  if (inputAnswers.empty()) return false;
  value = inputAnswers.front();
  inputAnswers.pop_front();
  return true;
}

int HeadlessHost::RunWithProgress(const ProgressRequest& request, const ProgressStep& step) {
  HeadlessProgress progress(*this, request);
  progress.SetCaption(request.caption);
  if (!request.firstLine.empty()) progress.SetFirstLine(request.firstLine);
  progressVisible = true;
  struct Hide {
    HeadlessHost& host;
    ~Hide() { host.progressVisible = false; }
  } hide{*this};
  if (step) step(progress);
  return progress.Result();
}

void HeadlessHost::ShowPrepared(TfrReport& report) {
  previews.push_back(&report);
}

}  // namespace quillet
