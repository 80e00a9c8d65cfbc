#include "preview/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace quillet {
namespace {

const char* const kGroup = "RecentFiles";
const char* const kKey = "Files";

}  // namespace

QStringList RecentFiles::WithFile(QStringList list, const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  list.removeAll(absolute);
  list.prepend(absolute);
  while (list.size() > kMaxFiles) list.removeLast();
  return list;
}

QStringList RecentFiles::List() {
  QSettings settings(QSettings::UserScope, "Quillet");
  settings.beginGroup(QLatin1String(kGroup));
  QStringList files;
  for (const QString& f : settings.value(QLatin1String(kKey)).toStringList())
    if (QFileInfo(f).isFile()) files.append(f);
  return files;
}

void RecentFiles::Add(const QString& path) {
  QSettings settings(QSettings::UserScope, "Quillet");
  settings.beginGroup(QLatin1String(kGroup));
  settings.setValue(QLatin1String(kKey),
                    WithFile(settings.value(QLatin1String(kKey)).toStringList(), path));
}

}  // namespace quillet
