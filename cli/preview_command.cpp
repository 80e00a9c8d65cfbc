// quillet-cli preview: the preview window on a prepared-report file, or on a
// template prepared with the data options. The file is read and checked
// before any window opens, so a bad file is one line on standard error; a
// template's window opens on its first page while the rest forms (until
// then a failure is a line on standard error too). The window runs until
// it is closed, with the program's own preview printing and message boxes.
// Templates opened from the window's Open button are prepared with the same
// data options; with --watch the template is prepared whole, and again
// whenever it or a data file changes (session/live_preview.h).
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "platform/engine_host.h"
#include "platform/errors.h"
#include "platform/qt/qt_text.h"
#include "preview/preview_form.h"
#include "preview/qt_engine_host.h"
#include "printing/preview_printing.h"
#include "session/command_options.h"
#include "session/data_options.h"
#include "session/live_preview.h"
#include "session/report_input.h"

namespace quillet::cli {
namespace {

// Says on standard error what the window shows once it is on screen, and
// closes it after QUILLET_PREVIEW_CLOSE_MS milliseconds when that is set
// (for tests and screenshots: the window otherwise waits for its user).
class ShownWatcher : public QObject {
 public:
  ShownWatcher(TfrPreviewForm& form, std::string file) : form_(form), file_(std::move(file)) {
    form.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &form_ && event->type() == QEvent::Show && !shown_) {
      shown_ = true;
      // A window open on forming pages tells once they are all there.
      if (form_.Forming())
        connect(&form_, &TfrPreviewForm::FormationEnded, this, [this] { Tell(); });
      else
        Tell();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void Tell() {
    std::cerr << "quillet-cli: preview of " << file_ << ": " << form_.PageCount()
              << (form_.PageCount() == 1 ? " page" : " pages") << "\n";
    if (const char* ms = std::getenv("QUILLET_PREVIEW_CLOSE_MS"))
      QTimer::singleShot(std::atoi(ms), &form_, [this] { form_.close(); });
  }

  TfrPreviewForm& form_;
  std::string file_;
  bool shown_ = false;
};

// The program's windows, except that a message before any preview window
// is on screen (the template failing to form its first page) stays a line
// on standard error, through the command's own host.
class PreviewHost : public QtEngineHost {
 public:
  explicit PreviewHost(EngineHost& console) : console_(console) {}
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override {
    if (!WindowOpened) return console_.ShowMessage(text, caption, icon, buttons);
    return QtEngineHost::ShowMessage(text, caption, icon, buttons);
  }
  bool WindowOpened = false;

 private:
  EngineHost& console_;
};

// Installs `host` in `engine` for the life of the scope, then the one
// before it.
class HostScope {
 public:
  HostScope(EngineGlobals& engine, EngineHost& host) : engine_(engine), before_(&engine.Host()) {
    engine_.SetHost(&host);
  }
  ~HostScope() { engine_.SetHost(before_); }
  HostScope(const HostScope&) = delete;
  HostScope& operator=(const HostScope&) = delete;

 private:
  EngineGlobals& engine_;
  EngineHost* before_;
};

}  // namespace

int RunPreview(const Args& args) {
  const Options o(args, {"watch"}, DataOptions::Names());
  if (o.Positional().size() != 1) throw UsageError("give exactly one .frp file or template");
  const bool watch = o.Has("watch");
  ReportInput input(o, o.Positional()[0]);
  if (watch && !input.IsTemplate())
    throw UsageError("--watch follows a template; " + input.Path() + " is a prepared-report file");
  // A template not watched opens on its first page while the rest forms.
  const bool whole = watch || !input.IsTemplate();
  TfrReport& report = input.Report();
  if (whole) {
    if (!input.LoadPages()) return 1;
    if (report.PreparedPages.Count() == 0) throw EngineError(input.Path() + " holds no page");
  }

  // The caption and a print job from the window carry the file's name.
  const std::string name = std::filesystem::path(input.Path()).filename().string();
  report.Title = FromQString(QString::fromStdString(name));
  report.ModalPreview = true;  // ShowPrepared returns once the window is closed

  PreviewHost windows(report.Globals().Host());
  InstallPreviewPrinting(windows);
  std::unique_ptr<ShownWatcher> watcher;
  const auto printing = windows.PreviewOpened;
  windows.PreviewOpened = [&](TfrPreviewForm& form) {
    windows.WindowOpened = true;
    printing(form);
    watcher = std::make_unique<ShownWatcher>(form, input.Path());
    const auto prepare = [o](const std::string& path) {
      return ReportInput::PreparedTemplate(o, path);
    };
    form.PrepareTemplate = prepare;
    if (watch) new LivePreview(form, prepare, input.Path(), DataOptions::FilesRead(o));
  };
  const HostScope scope(report.Globals(), windows);
  if (whole) {
    report.ShowPrepared();
    return 0;
  }
  const TfrReport::PreviewRun run = input.PrepareAndPreview();
  if (run.Shown) return 0;
  if (run.Prepared) throw EngineError(input.Path() + " holds no page");
  return 1;  // the host has said why
}

}  // namespace quillet::cli
