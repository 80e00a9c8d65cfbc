// LivePreview: a preview window that prepares its template again whenever
// the template or a data file it reads changes on disk (--watch).
//
// A change starts a short settling time; further changes within it restart
// it, so a burst of saves prepares once. The new pages replace the old with
// the page, the place on it and the zoom kept. When the template fails to
// load or prepare, the last good pages stay and the window's status line
// shows the error as the loader or the preparation words it (with line and
// column for JSON, the object for an expression or a script); the next
// good preparation clears it. An editor that saves by writing a new file and
// renaming it over the old is followed: a path the watcher lost is watched
// again as soon as it exists.
//
// Opening another template from the window's Open button watches that one
// instead (with the same data files); opening a prepared-report file ends
// the watching. The object lives as a child of the window.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillet {

class TfrPreviewForm;
class TfrReport;

class LivePreview : public QObject {
 public:
  // Prepares the template at `path` into a report that holds pages, or
  // returns nullptr when the preparation failed or was stopped (the error
  // shown as a message); errors may also be thrown.
  using Preparer = std::function<std::shared_ptr<TfrReport>(const std::string& path)>;

  // How long the files must stay unchanged before preparing, in ms.
  static constexpr int kSettleMs = 250;

  // Watches `path` and `dataFiles` for `form`, which shows the pages of
  // `path` already. Sets the window's PrepareTemplate and FileOpened.
  LivePreview(TfrPreviewForm& form, Preparer prepare, std::string path,
              std::vector<std::string> dataFiles);

  // The paths watched (for tests and the status line).
  QStringList WatchedFiles() const { return watcher_.files(); }
  // Preparations started by a change so far.
  int Preparations() const { return preparations_; }
  // Prepares again now, as a settled change does.
  void PrepareAgain();

 private:
  void Changed();
  void Prepare();
  // Watches every file of the set that exists and is not watched.
  void WatchAgain();
  void Follow(const std::string& path);

  TfrPreviewForm& form_;
  Preparer prepare_;
  std::string path_;  // empty once a prepared-report file is shown
  std::vector<std::string> dataFiles_;
  QFileSystemWatcher watcher_;
  QTimer settle_;
  int preparations_ = 0;
  bool preparing_ = false;  // a preparation runs (its progress window may spin events)
  bool again_ = false;      // a change came while it ran
};

}  // namespace quillet
