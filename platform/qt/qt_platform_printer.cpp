#include "platform/qt/qt_platform_printer.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/errors.h"
#include "platform/qt/cups_job.h"
#include "platform/qt/cups_queue.h"
#include "platform/qt/pdf_properties_dialog.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_text.h"

namespace quillet {
namespace {

// Qt's paper sources and the platform bin codes they stand for.
struct SourceEntry {
  QPrinter::PaperSource source;
  std::int16_t bin;
  const char* name;
};
constexpr SourceEntry kSources[] = {
    {QPrinter::OnlyOne, 1, "Only one"},
    {QPrinter::Lower, 2, "Lower"},
    {QPrinter::Middle, 3, "Middle"},
    {QPrinter::Manual, 4, "Manual"},
    {QPrinter::Envelope, 5, "Envelope"},
    {QPrinter::EnvelopeManual, 6, "Envelope manual"},
    {QPrinter::Auto, 7, "Automatic"},
    {QPrinter::Tractor, 8, "Tractor"},
    {QPrinter::SmallFormat, 9, "Small format"},
    {QPrinter::LargeFormat, 10, "Large format"},
    {QPrinter::LargeCapacity, 11, "Large capacity"},
    {QPrinter::Cassette, 14, "Cassette"},
    {QPrinter::FormSource, 15, "Form source"},
};

const SourceEntry* BySource(QPrinter::PaperSource s) {
  for (const SourceEntry& e : kSources)
    if (e.source == s) return &e;
  return nullptr;
}

const SourceEntry* ByBin(std::int16_t bin) {
  for (const SourceEntry& e : kSources)
    if (e.bin == bin) return &e;
  return nullptr;
}

constexpr std::int16_t kCustomCode = 256;

// The sources the printer reports; Qt reports them on Windows only.
QList<QPrinter::PaperSource> SupportedSources([[maybe_unused]] const QPrinter& p) {
#if defined(Q_OS_WIN)
  return p.supportedPaperSources();
#else
  return {};
#endif
}

bool IsCustom(const DeviceMode& m) {
  return (m.Fields & (dmPaperLength | dmPaperWidth)) == (dmPaperLength | dmPaperWidth) &&
         m.PaperLength > 0 && m.PaperWidth > 0;
}

std::int16_t Tenths(double mm) {
  return static_cast<std::int16_t>(std::lround(mm * 10));
}

}  // namespace

struct QtPlatformPrinter::Device {
  QPrinterInfo info;  // null for "Print to PDF"
  bool pdf = false;
  std::unique_ptr<QPrinter> printer;  // made when first needed
  DeviceModeRef mode;                 // what the device holds

  QPrinter& Printer() {
    if (!printer) {
      if (pdf) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setPageSize(QPageSize(QPageSize::A4));
      } else {
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
      }
      UseMinimumMargins();
      mode = std::make_shared<DeviceMode>(ReadMode());
    }
    return *printer;
  }

  // The printable area is what the device can reach: its minimum margins.
  void UseMinimumMargins() {
    const QPageLayout layout = printer->pageLayout();
    printer->setPageMargins(layout.minimumMargins(), layout.units());
  }

  DeviceMode ReadMode() {
    QPrinter& p = *printer;
    DeviceMode m;
    m.Fields = dmOrientation | dmPaperSize | dmCopies;
    if (!SupportedSources(p).isEmpty()) m.Fields |= dmDefaultSource;
    const QPageLayout layout = p.pageLayout();
    m.Orientation =
        layout.orientation() == QPageLayout::Landscape ? dmOrientLandscape : dmOrientPortrait;
    const int code = layout.pageSize().windowsId();
    if (code > 0 && code < kCustomCode) {
      m.PaperSize = static_cast<std::int16_t>(code);
    } else {
      m.PaperSize = kCustomCode;
      m.Fields |= dmPaperLength | dmPaperWidth;
      const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
      const bool land = layout.orientation() == QPageLayout::Landscape;
      m.PaperWidth = Tenths(land ? mm.height() : mm.width());
      m.PaperLength = Tenths(land ? mm.width() : mm.height());
    }
    m.Copies = static_cast<std::int16_t>(std::clamp(p.copyCount(), 1, 32767));
    const SourceEntry* source = BySource(p.paperSource());
    m.DefaultSource = source ? source->bin : 0;
    return m;
  }

  // Sets the printer up from `m` and keeps what it accepted.
  void Apply(const DeviceMode& m) {
    QPrinter& p = Printer();
    const bool land = (m.Fields & dmOrientation)
                          ? m.Orientation == dmOrientLandscape
                          : p.pageLayout().orientation() == QPageLayout::Landscape;
    if (IsCustom(m)) {
      // The block's width and length are those of the orientation asked for.
      double w = m.PaperWidth / 10.0, h = m.PaperLength / 10.0;
      if (land) std::swap(w, h);
      p.setPageSize(
          QPageSize(QSizeF(w, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    } else if (m.Fields & dmPaperSize) {
      const QPageSize::PageSizeId id = QPageSize::id(m.PaperSize);
      if (id != QPageSize::Custom) p.setPageSize(QPageSize(id));
    }
    p.setPageOrientation(land ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (m.Fields & dmCopies) p.setCopyCount(std::max<int>(1, m.Copies));
    if (m.Fields & dmDefaultSource)
      if (const SourceEntry* e = ByBin(m.DefaultSource)) p.setPaperSource(e->source);
    UseMinimumMargins();
    mode = std::make_shared<DeviceMode>(ReadMode());
  }

  std::string Name() const {
    return pdf ? QtPlatformPrinter::kPdfPrinterName : FromQString(info.printerName());
  }

  // An installed printer's documents go through a CUPS job of their own.
  bool Queued() const {
#if QUILLET_HAVE_CUPS
    return !pdf;
#else
    return false;
#endif
  }
};

QtPlatformPrinter::QtPlatformPrinter(QString pdfFolder) : pdfFolder_(std::move(pdfFolder)) {
  const QString defaultName = QPrinterInfo::defaultPrinterName();
  int defaultIndex = -1;
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
    if (info.printerName() == defaultName) defaultIndex = static_cast<int>(devices_.size());
    auto d = std::make_unique<Device>();
    d->info = info;
    devices_.push_back(std::move(d));
  }
  auto pdf = std::make_unique<Device>();
  pdf->pdf = true;
  devices_.push_back(std::move(pdf));
  // The platform's default printer; the first installed one when it names
  // none; "Print to PDF" when nothing is installed.
  current_ = defaultIndex >= 0 ? defaultIndex : 0;
}

QtPlatformPrinter::~QtPlatformPrinter() {
  if (printing_) Abort();
}

std::vector<std::string> QtPlatformPrinter::PrinterNames() const {
  std::vector<std::string> names;
  for (const auto& d : devices_) names.push_back(d->Name());
  return names;
}

int QtPlatformPrinter::IndexOfName(const std::string& name) const {
  for (std::size_t i = 0; i < devices_.size(); ++i)
    if (devices_[i]->Name() == name) return static_cast<int>(i);
  return -1;
}

void QtPlatformPrinter::MakeCurrent(int index) {
  if (index < 0 || index >= static_cast<int>(devices_.size()))
    throw RangeError("Printer index " + std::to_string(index) + " is not in the printer list");
  if (printing_ && index != current_) throw EngineError("The printer is printing");
  current_ = index;
}

void QtPlatformPrinter::SetPrinterIndex(int index) {
  MakeCurrent(index);
}

void QtPlatformPrinter::GetDevice(PrinterDevice& device, DeviceModeRef& mode) {
  Device& d = *devices_[current_];
  d.Printer();
  device.DeviceName = d.Name();
  device.DriverName = d.pdf ? "PDF" : FromQString(d.info.makeAndModel());
  device.PortName = d.pdf ? FromQString(pdfFolder_) : FromQString(d.info.location());
  // A copy: changes reach the device only through SetDevice.
  mode = std::make_shared<DeviceMode>(*d.mode);
}

void QtPlatformPrinter::SetDevice(const PrinterDevice& device, const DeviceModeRef& mode) {
  const int index = IndexOfName(device.DeviceName);
  if (index < 0) throw EngineError("The printer \"" + device.DeviceName + "\" is not installed");
  MakeCurrent(index);
  if (mode && !printing_) devices_[current_]->Apply(*mode);
}

int QtPlatformPrinter::DeviceCaps(DeviceCap cap) const {
  QPrinter& p = devices_[current_]->Printer();
  const QRectF paper = p.paperRect(QPrinter::DevicePixel);
  const QRectF page = p.pageRect(QPrinter::DevicePixel);
  // The paper's own size, from its millimetres: Qt keeps page sizes in
  // whole points, which would put a custom size up to 3.5 tenths of a
  // millimetre off what was asked for.
  const QPageLayout layout = p.pageLayout();
  QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
  if (layout.orientation() == QPageLayout::Landscape) mm.transpose();
  switch (cap) {
    case DeviceCap::LogPixelsX: return p.logicalDpiX();
    case DeviceCap::LogPixelsY: return p.logicalDpiY();
    case DeviceCap::PhysicalWidth:
      return static_cast<int>(std::lround(mm.width() / 25.4 * p.logicalDpiX()));
    case DeviceCap::PhysicalHeight:
      return static_cast<int>(std::lround(mm.height() / 25.4 * p.logicalDpiY()));
    case DeviceCap::PhysicalOffsetX:
      return static_cast<int>(std::lround(page.left() - paper.left()));
    case DeviceCap::PhysicalOffsetY: return static_cast<int>(std::lround(page.top() - paper.top()));
  }
  return 0;
}

int QtPlatformPrinter::PageWidth() const {
  return static_cast<int>(
      std::lround(devices_[current_]->Printer().pageRect(QPrinter::DevicePixel).width()));
}

int QtPlatformPrinter::PageHeight() const {
  return static_cast<int>(
      std::lround(devices_[current_]->Printer().pageRect(QPrinter::DevicePixel).height()));
}

namespace {

// The sizes a device offers that have a platform paper code, each code once.
std::vector<QPageSize> CodedSizes(const QList<QPageSize>& sizes) {
  std::vector<QPageSize> coded;
  std::vector<int> seen;
  for (const QPageSize& s : sizes) {
    const int code = s.windowsId();
    if (code <= 0 || code >= kCustomCode) continue;
    if (std::find(seen.begin(), seen.end(), code) != seen.end()) continue;
    seen.push_back(code);
    coded.push_back(s);
  }
  return coded;
}

QList<QPageSize> AllPageSizes() {
  QList<QPageSize> all;
  for (int id = 0; id <= QPageSize::LastPageSize; ++id)
    if (id != QPageSize::Custom) all.append(QPageSize(static_cast<QPageSize::PageSizeId>(id)));
  return all;
}

}  // namespace

std::vector<std::int16_t> QtPlatformPrinter::PaperCodes() const {
  const Device& d = CurrentDevice();
  std::vector<std::int16_t> codes;
  for (const QPageSize& s : CodedSizes(d.pdf ? AllPageSizes() : d.info.supportedPageSizes()))
    codes.push_back(static_cast<std::int16_t>(s.windowsId()));
  return codes;
}

std::vector<std::string> QtPlatformPrinter::PaperNames() const {
  const Device& d = CurrentDevice();
  std::vector<std::string> names;
  for (const QPageSize& s : CodedSizes(d.pdf ? AllPageSizes() : d.info.supportedPageSizes()))
    names.push_back(FromQString(s.name()));
  return names;
}

std::vector<std::int16_t> QtPlatformPrinter::PaperSources() const {
  std::vector<std::int16_t> bins;
  for (QPrinter::PaperSource s : SupportedSources(devices_[current_]->Printer()))
    if (const SourceEntry* e = BySource(s)) bins.push_back(e->bin);
  return bins;
}

std::vector<std::string> QtPlatformPrinter::SourceNames() const {
  std::vector<std::string> names;
  for (QPrinter::PaperSource s : SupportedSources(devices_[current_]->Printer()))
    if (const SourceEntry* e = BySource(s)) names.push_back(e->name);
  return names;
}

PrinterStatus QtPlatformPrinter::Status(int index) const {
  if (index < 0 || index >= static_cast<int>(devices_.size()))
    throw RangeError("Printer index " + std::to_string(index) + " is not in the printer list");
  const Device& d = *devices_[index];
  PrinterStatus status;
  if (d.pdf) {
    status.State = "idle";
    status.DefaultPaper = "A4";
    return status;
  }
  status.DefaultPaper = FromQString(d.info.defaultPageSize().name());
  if (!d.Queued()) return status;
  const CupsQueueState queue = ReadCupsQueue(d.Name());
  status.State = !queue.ServerAnswers ? "unreachable"
                 : !queue.Exists      ? "not installed"
                 : !queue.Accepting   ? "not accepting jobs"
                                      : queue.StateText;
  status.Message = queue.Message;
  return status;
}

int QtPlatformPrinter::DocumentProperties(const std::string& deviceName, DeviceMode& mode) {
  const int index = IndexOfName(deviceName);
  if (index < 0) return 0;
  if (devices_[index]->pdf) {
    // The PDF printer has no device of its own to ask: its properties are
    // where the files go, the paper and the orientation.
    const std::vector<QPageSize> sizes = CodedSizes(AllPageSizes());
    std::vector<std::int16_t> codes;
    std::vector<std::string> names;
    for (const QPageSize& s : sizes) {
      codes.push_back(static_cast<std::int16_t>(s.windowsId()));
      names.push_back(FromQString(s.name()));
    }
    PdfPropertiesDialog dialog(PdfFolder(), codes, names, mode, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return 0;
    mode = dialog.Mode();
    return 1;
  }
  // A device of the dialog's own, so a cancelled dialog leaves the current
  // settings untouched. The page-setup dialog edits what the device-mode
  // block holds and offers the device's own papers; it prints nothing.
  Device scratch;
  scratch.info = devices_[index]->info;
  scratch.Apply(mode);
  QPageSetupDialog dialog(scratch.printer.get(), QApplication::activeWindow());
  dialog.setWindowTitle(ToQString(deviceName) + QStringLiteral(" - Properties"));
  if (dialog.exec() != QDialog::Accepted) return 0;
  mode = scratch.ReadMode();
  // The queue options chosen there (pages per sheet and the like) go with
  // the printer's next jobs; paper and orientation travel in `mode`.
  if (devices_[index]->Queued())
    devices_[index]->Printer().printEngine()->setProperty(
        kCupsOptionsKey, scratch.printer->printEngine()->property(kCupsOptionsKey));
  return 1;
}

QString QtPlatformPrinter::PdfFolder() const {
  QString folder = pdfFolder_;
  if (folder.isEmpty())
    folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  return folder;
}

QString PdfNameStem(const std::string& title) {
  QString stem = ToQString(title).trimmed();
  for (const char* extension : {".frp", ".frf", ".json"})
    if (stem.endsWith(QLatin1String(extension), Qt::CaseInsensitive)) {
      stem.chop(int(std::strlen(extension)));
      break;
    }
  for (QChar& c : stem)
    if (c == u'/' || c == u'\\' || c == u':' || c.category() == QChar::Other_Control) c = u'_';
  stem = stem.trimmed();
  return stem.isEmpty() ? QStringLiteral("Untitled") : stem;
}

QString QtPlatformPrinter::ChosenPdfPath() {
  if (chosenDocuments_++ == 0) return chosenPdfPath_;
  QString stem = chosenPdfPath_;
  if (stem.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) stem.chop(4);
  for (int n = chosenDocuments_; n < 10000; ++n) {
    QFile file(stem + QStringLiteral(" (%1).pdf").arg(n));
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return file.fileName();
  }
  throw EngineError("No new PDF file can be made beside " + FromQString(chosenPdfPath_));
}

QString QtPlatformPrinter::NewPdfPath() const {
  const QString folder = PdfFolder();
  QDir().mkpath(folder);
  const QString stem = PdfNameStem(title_) + u' ' +
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
  // The file is created here, exclusively, so no existing file is ever
  // written over, even by a document started in the same second.
  for (int n = 1; n < 10000; ++n) {
    const QString name =
        n == 1 ? stem + QStringLiteral(".pdf") : stem + QStringLiteral(" (%1).pdf").arg(n);
    QFile file(QDir(folder).filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return file.fileName();
  }
  throw EngineError("No new PDF file can be made in " + FromQString(folder));
}

void QtPlatformPrinter::BeginDoc() {
  if (printing_) throw EngineError("A document is already being printed");
  Device& d = *devices_[current_];
  QPrinter& p = d.Printer();
  p.setDocName(ToQString(title_));
  p.setCopyCount(std::max(1, copies_));
  if (d.pdf) {
    lastPdfPath_ = chosenPdfPath_.isEmpty() ? NewPdfPath() : ChosenPdfPath();
    p.setOutputFileName(lastPdfPath_);
  }
  if (d.Queued()) {
    // A queue that is gone, stopped or refusing is named before any page is drawn.
    if (const std::string trouble = CupsQueueTrouble(d.Name()); !trouble.empty())
      throw EngineError(trouble);
    job_ = std::make_unique<CupsJob>(p, d.Name());
  }
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(job_ ? &job_->Printer() : &p)) {
    painter_.reset();
    job_.reset();
    if (d.pdf) QFile::remove(lastPdfPath_);
    throw EngineError("The printer \"" + d.Name() + "\" cannot be opened");
  }
  canvas_ = std::make_unique<QtCanvas>(*painter_, DeviceKind::Printer);
  printing_ = true;
}

void QtPlatformPrinter::NewPage() {
  if (!printing_) throw EngineError("No document is being printed");
  QPrinter& p = job_ ? job_->Printer() : devices_[current_]->Printer();
  if (!p.newPage()) throw EngineError("The printer refused a new page");
}

void QtPlatformPrinter::EndDoc() {
  if (!printing_) throw EngineError("No document is being printed");
  canvas_.reset();
  const bool ended = painter_->end();
  painter_.reset();
  printing_ = false;
  const std::unique_ptr<CupsJob> job = std::move(job_);
  if (!ended) throw EngineError("The document could not be finished");
  if (job) lastJobId_ = job->Submit(title_, std::max(1, copies_));
  if (devices_[current_]->pdf) writtenFiles_.push_back(lastPdfPath_.toStdString());
}

void QtPlatformPrinter::Abort() {
  if (!printing_) return;
  Device& d = *devices_[current_];
  canvas_.reset();
  // A CUPS document is only sent when it ends: dropping it prints nothing.
  if (!job_) d.Printer().abort();
  if (painter_->isActive()) painter_->end();
  painter_.reset();
  job_.reset();
  printing_ = false;
  // An aborted PDF document leaves no half-written file behind.
  if (d.pdf) QFile::remove(lastPdfPath_);
}

Canvas* QtPlatformPrinter::PageCanvas() {
  return printing_ ? canvas_.get() : nullptr;
}

}  // namespace quillet
