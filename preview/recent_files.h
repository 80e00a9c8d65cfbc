// The report files opened last, newest first, kept in the per-user settings
// store (group "RecentFiles") so that every preview window, in the program
// and in quillet-cli, offers the same list on its Open button.
#pragma once

#include <QString>
#include <QStringList>

namespace quillet {

class RecentFiles {
 public:
  static constexpr int kMaxFiles = 8;

  // The list as stored, without the files that no longer exist.
  static QStringList List();
  // Puts `path` (made absolute) first, dropping an older entry of it and
  // the entries past kMaxFiles.
  static void Add(const QString& path);

  // The list `list` becomes when `path` is opened (the rule Add applies).
  static QStringList WithFile(QStringList list, const QString& path);
};

}  // namespace quillet
