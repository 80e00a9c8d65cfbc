#include "platform/qt/cups_job.h"

#include <QFile>
#include <QPageLayout>
#include <QPrintEngine>
#include <utility>
#include <vector>

#include "platform/errors.h"
#include "platform/qt/cups_queue.h"
#include "platform/qt/qt_text.h"

#if QUILLET_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace quillet {
CupsJob::CupsJob(QPrinter& settings, const std::string& queue)
    : settings_(settings), queue_(queue) {
  if (!dir_.isValid())
    throw EngineError("No temporary folder for a print job to \"" + queue + "\"");
  pdf_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  pdf_->setOutputFormat(QPrinter::PdfFormat);
  pdf_->setOutputFileName(dir_.filePath(QStringLiteral("job.pdf")));
  // The same device pixels as the queue's printer object, which the page
  // information was taken from: nothing is scaled on the way.
  pdf_->setResolution(settings.resolution());
  pdf_->setFullPage(settings.fullPage());
  pdf_->setPageLayout(settings.pageLayout());
  pdf_->setDocName(settings.docName());
}

CupsJob::~CupsJob() = default;

int CupsJob::Submit(const std::string& title, int copies) {
  const QString file = pdf_->outputFileName();
  if (!QFile::exists(file))
    throw EngineError("The document for \"" + queue_ + "\" was not written");
  // A queue that went away or stopped while the pages were drawn.
  if (const std::string trouble = CupsQueueTrouble(queue_); !trouble.empty())
    throw EngineError(trouble);
#if QUILLET_HAVE_CUPS
  std::vector<std::pair<QByteArray, QByteArray>> options;
  const QPageLayout layout = settings_.pageLayout();
  // The paper of the pages; the server maps the name to the queue's media.
  options.emplace_back("media", layout.pageSize().key().toUtf8());
  // The orientation as the job's own attribute: a "landscape" option without
  // a value would reach the server as landscape = false.
  if (layout.orientation() == QPageLayout::Landscape)
    options.emplace_back("orientation-requested", "4");
  if (copies > 1) options.emplace_back("copies", QByteArray::number(copies));
  switch (settings_.duplex()) {
    case QPrinter::DuplexNone: options.emplace_back("sides", "one-sided"); break;
    case QPrinter::DuplexLongSide: options.emplace_back("sides", "two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: options.emplace_back("sides", "two-sided-short-edge"); break;
    case QPrinter::DuplexAuto: break;
  }
  // What the printer's own page setup chose (name, value, name, value...).
  const QStringList chosen = settings_.printEngine()->property(kCupsOptionsKey).toStringList();
  for (qsizetype i = 0; i + 1 < chosen.size(); i += 2)
    options.emplace_back(chosen[i].toUtf8(), chosen[i + 1].toUtf8());

  int count = 0;
  cups_option_t* list = nullptr;
  for (const auto& [name, value] : options)
    count = cupsAddOption(name.constData(), value.constData(), count, &list);
  const QByteArray name = QString::fromStdString(queue_).toUtf8();
  const int id = cupsPrintFile(name.constData(), QFile::encodeName(file).constData(), title.c_str(),
                               count, list);
  cupsFreeOptions(count, list);
  if (id <= 0) {
    std::string trouble = CupsSubmissionTrouble(queue_);
    if (trouble.empty()) trouble = "The printer \"" + queue_ + "\" did not take the job";
    throw EngineError(trouble);
  }
  return id;
#else
  (void)title;
  (void)copies;
  throw EngineError("This build cannot send jobs to the printer \"" + queue_ +
                    "\": it was made without CUPS");
#endif
}

}  // namespace quillet
