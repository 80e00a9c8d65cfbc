#include "printing/printed_files.h"

#include <QDir>

#include "platform/platform_printer.h"
#include "report/printer/printer.h"

namespace quillet {

std::vector<std::string> TakePrintedFiles(EngineGlobals& engine) {
  if (!engine.Printer.EnginePrinter) return {};
  PlatformPrinter* platform = engine.Printer.EnginePrinter->PlatformPrinter;
  return platform ? platform->TakeWrittenFiles() : std::vector<std::string>{};
}

QString PrintedFilesNotice(const std::vector<std::string>& files) {
  if (files.empty()) return {};
  const QString last = QDir::toNativeSeparators(QString::fromStdString(files.back()));
  if (files.size() == 1) return QStringLiteral("PDF written to %1").arg(last);
  return QStringLiteral("%1 PDF files written, the last to %2").arg(files.size()).arg(last);
}

}  // namespace quillet
