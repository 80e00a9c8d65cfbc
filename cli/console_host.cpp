#include "cli/console_host.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "platform/utf8.h"

namespace quillet::cli {
namespace {

// Engine text is UTF-8 already; nothing malformed reaches the terminal.
std::string Utf8(const std::string& text) {
  return RepairUtf8(text);
}

// Progress lines: one line redrawn on a terminal; one line each on a log
// when asked for, else none (a failing command's last line is its error).
class ConsoleProgress : public ProgressControl {
 public:
  ConsoleProgress(bool terminal, bool toLog) : terminal_(terminal), toLog_(toLog) {}
  ~ConsoleProgress() override {
    if (terminal_ && drawn_) std::cerr << "\n";
  }
  void SetCaption(const std::string& text) override { caption_ = Utf8(text); }
  void SetFirstLine(const std::string& text) override { Show(Utf8(text)); }
  void SetSecondLine(const std::string& text) override {
    if (!text.empty()) Show(Utf8(text));
  }
  bool StopRequested() const override { return false; }
  void ProcessMessages() override {}
  void SetModalResult(int result) override { result_ = result; }
  int Result() const { return result_; }

 private:
  void Show(const std::string& line) {
    if (line == last_) return;  // the same step reported again
    last_ = line;
    if (terminal_) {
      std::cerr << "\r\x1b[K" << caption_ << ": " << line << std::flush;
      drawn_ = true;
    } else if (toLog_) {
      std::cerr << line << "\n";
    }
  }

  bool terminal_;
  bool toLog_;
  bool drawn_ = false;
  std::string caption_;
  std::string last_;
  int result_ = 0;
};

// A message of several lines as one: its non-empty lines joined by "; "
// (a calculation error's report, band, object and expression lines).
std::string OneLine(const std::string& text) {
  std::string line;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) {
      if (!line.empty()) line += "; ";
      line.append(text, start, end - start);
    }
    start = end + 1;
  }
  return line;
}

}  // namespace

MessageResult ConsoleHost::ShowMessage(const std::string& text, const std::string& caption,
                                       MessageIcon icon, MessageButtons) {
  if (icon == MessageIcon::Error) ++errors;
  std::cerr << "quillet-cli: " << Utf8(caption) << ": " << OneLine(Utf8(text)) << "\n";
  return MessageResult::Ok;
}

bool ConsoleHost::InputBox(const std::string&, const std::string&, std::string&) {
  return false;  // nobody to ask: the default stands
}

int ConsoleHost::RunWithProgress(const ProgressRequest& request, const ProgressStep& step) {
  ConsoleProgress progress(isatty(STDERR_FILENO) != 0, progressToLog);
  progress.SetCaption(request.caption);
  if (!request.firstLine.empty()) progress.SetFirstLine(request.firstLine);
  step(progress);
  return progress.Result();
}

void ConsoleHost::ShowPrepared(TfrReport&) {}

}  // namespace quillet::cli
