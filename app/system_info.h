// What the about box tells of the machine: the operating system's name and
// version, and the physical memory.
#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

namespace quillet {

// The platform's own name for itself ("Linux"), for captions.
QString PlatformName();
// The operating system's name and version, e.g.
// "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64".
QString OperatingSystemText();
// Total physical memory in bytes, counted in 64 bits; 0 when unknown.
std::uint64_t PhysicalMemoryBytes();
// Whole kilobytes with the locale's thousands separator and " KB"
// (1073741824 bytes: "1,048,576 KB" in an English locale).
QString MemoryText(std::uint64_t bytes, const QLocale& locale = QLocale::system());

}  // namespace quillet
