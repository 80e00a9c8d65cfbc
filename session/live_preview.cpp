#include "session/live_preview.h"

#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <utility>

#include "platform/qt/qt_text.h"
#include "preview/preview_form.h"
#include "report/component/report.h"
#include "report/template/report_file_kind.h"
#include "session/command_options.h"
#include "session/message_catcher.h"

namespace quillet {
namespace {

// A message box's lines on one status line.
std::string OneLine(const std::string& text) {
  std::string line;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    if (end > at) line += (line.empty() ? "" : " | ") + text.substr(at, end - at);
    at = end + 1;
  }
  return line;
}

// What went wrong, as the loader or the preparation said it: the messages
// they showed, else the exception's text.
std::string ErrorText(const MessageCatcher& catcher, const std::string& thrown) {
  std::string text;
  for (const std::string& e : catcher.Errors()) text += (text.empty() ? "" : "; ") + OneLine(e);
  if (!text.empty()) return text;
  return thrown.empty() ? "the preparation was stopped" : OneLine(thrown);
}

}  // namespace

LivePreview::LivePreview(TfrPreviewForm& form, Preparer prepare, std::string path,
                         std::vector<std::string> dataFiles)
    : QObject(&form),
      form_(form),
      prepare_(std::move(prepare)),
      path_(std::move(path)),
      dataFiles_(std::move(dataFiles)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, [this] { PrepareAgain(); });
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { Changed(); });
  form_.PrepareTemplate = prepare_;
  form_.FileOpened = [this](const std::string& opened) { Follow(opened); };
  WatchAgain();
}

void LivePreview::Changed() {
  // A file replaced by a rename drops out of the watcher: watch the new
  // one as soon as it is there (again when the settling time ends).
  WatchAgain();
  settle_.start();
}

void LivePreview::WatchAgain() {
  if (path_.empty()) return;
  const QStringList watched = watcher_.files();
  std::vector<std::string> all = dataFiles_;
  all.push_back(path_);
  for (const std::string& file : all) {
    const QString name = ToQString(file);
    if (!watched.contains(name) && QFileInfo::exists(name)) watcher_.addPath(name);
  }
}

void LivePreview::PrepareAgain() {
  WatchAgain();
  if (path_.empty()) return;
  if (preparing_) {
    // A save while the progress window runs its event loop: once more after.
    again_ = true;
    return;
  }
  preparing_ = true;
  Prepare();
  preparing_ = false;
  if (std::exchange(again_, false)) settle_.start();
}

void LivePreview::Prepare() {
  ++preparations_;
  std::shared_ptr<TfrReport> report;
  std::string thrown;
  {
    // Errors go to the status line, not to a message box per save.
    const MessageCatcher catcher(form_.Globals(), MessageCatcher::Keep);
    try {
      report = prepare_(path_);
      if (report && report->PreparedPages.Count() == 0) {
        report.reset();
        thrown = path_ + " holds no page";
      }
    } catch (const std::exception& e) {
      thrown = e.what();
      report.reset();
    }
    if (!report) {
      const bool reported = thrown == cli::AlreadyReported().what();
      form_.ShowStatus(ToQString(ErrorText(catcher, reported ? std::string() : thrown)), true);
      return;
    }
  }
  if (const TfrReport* shown = form_.Report()) {
    report->Title = shown->Title;
    report->ModalPreview = shown->ModalPreview;
    report->PreviewButtons = shown->PreviewButtons;
  }
  form_.ShowReport(std::move(report), true);
  form_.ShowStatus({}, false);
}

void LivePreview::Follow(const std::string& path) {
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  settle_.stop();
  form_.ShowStatus({}, false);
  // Only a template is prepared again; a prepared-report file stays as read.
  path_ = KindOfReportFile(path) == ReportFileKind::PreparedReport ? std::string() : path;
  WatchAgain();
}

}  // namespace quillet
