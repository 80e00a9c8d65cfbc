#include "app/system_info.h"

#include <unistd.h>

#include <QFile>
#include <QSysInfo>

namespace quillet {

QString PlatformName() {
  const QString kernel = QSysInfo::kernelType();
  if (kernel == QLatin1String("linux")) return QStringLiteral("Linux");
  if (kernel.isEmpty()) return QSysInfo::productType();
  return kernel.left(1).toUpper() + kernel.mid(1);
}

QString OperatingSystemText() {
  const QString product = QSysInfo::prettyProductName();
  const QString kernel = PlatformName() + QLatin1Char(' ') + QSysInfo::kernelVersion();
  if (product.isEmpty() || product.startsWith(PlatformName())) return kernel;
  return product + QStringLiteral(", ") + kernel;
}

std::uint64_t PhysicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  if (pages > 0 && pageSize > 0)
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
  // Fall back on the kernel's own table ("MemTotal:  16315152 kB").
  QFile meminfo(QStringLiteral("/proc/meminfo"));
  if (!meminfo.open(QIODevice::ReadOnly)) return 0;
  while (!meminfo.atEnd()) {
    const QByteArray line = meminfo.readLine(256);
    if (!line.startsWith("MemTotal:")) continue;
    const QList<QByteArray> parts = line.mid(9).simplified().split(' ');
    bool ok = false;
    const qulonglong kb = parts.value(0).toULongLong(&ok);
    return ok ? static_cast<std::uint64_t>(kb) * 1024 : 0;
  }
  return 0;
}

QString MemoryText(std::uint64_t bytes, const QLocale& locale) {
  QLocale grouped = locale;
  grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
  return grouped.toString(static_cast<qulonglong>(bytes >> 10)) + QStringLiteral(" KB");
}

}  // namespace quillet
