// The platform printer over Qt's printing support (CUPS on Linux).
//
// The installed printers come from QPrinterInfo, with the platform's
// default printer current; after them comes one more printer, "Print to
// PDF", which writes each document into a new PDF file named after the
// document's title and the time, in the user's documents folder (or the
// folder given), never overwriting a file. When no printer is installed,
// "Print to PDF" is the current printer.
//
// The installed printers are CUPS queues (CUPS_SERVER chooses the server).
// Each document for one is drawn at the queue's own paper and resolution
// into a PDF and sent as one job when it ends; an aborted document is never
// sent. A queue that is gone, stopped or refusing jobs, or a server that
// does not answer, raises EngineError naming the printer when the document
// begins and again when it is sent.
//
// Paper codes are the platform's numeric paper codes (QPageSize::windowsId),
// paper sources its bin codes; every size and offset is in device pixels
// of the printer's own resolution.
#pragma once

#include <QString>
#include <memory>
#include <utility>
#include <vector>

#include "platform/platform_printer.h"

class QPrinter;
class QPainter;

namespace quillet {

class QtCanvas;
class CupsJob;

// The name a PDF of the document `title` starts with: the title without the
// extension of a report file (".frp", ".frf", ".json") it may end in, and
// with the characters a file name cannot hold replaced; "Untitled" when
// nothing is left.
QString PdfNameStem(const std::string& title);

class QtPlatformPrinter : public PlatformPrinter {
 public:
  static constexpr const char* kPdfPrinterName = "Print to PDF";

  // `pdfFolder`: where "Print to PDF" writes; empty for the user's documents folder.
  explicit QtPlatformPrinter(QString pdfFolder = {});
  ~QtPlatformPrinter() override;

  std::vector<std::string> PrinterNames() const override;
  int PrinterIndex() const override { return current_; }
  void SetPrinterIndex(int index) override;
  void GetDevice(PrinterDevice& device, DeviceModeRef& mode) override;
  void SetDevice(const PrinterDevice& device, const DeviceModeRef& mode) override;
  int DeviceCaps(DeviceCap cap) const override;
  int PageWidth() const override;
  int PageHeight() const override;
  std::vector<std::int16_t> PaperCodes() const override;
  std::vector<std::string> PaperNames() const override;
  std::vector<std::int16_t> PaperSources() const override;
  std::vector<std::string> SourceNames() const override;
  PrinterStatus Status(int index) const override;
  // "Print to PDF": the folder its files go to, the paper and the
  // orientation. An installed printer: its page setup (its own papers,
  // orientation). 1 when accepted.
  int DocumentProperties(const std::string& deviceName, DeviceMode& mode) override;
  void SetTitle(const std::string& title) override { title_ = title; }
  std::string Title() const override { return title_; }
  void SetCopies(int copies) override { copies_ = copies; }
  int Copies() const override { return copies_; }
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() const override { return printing_; }
  Canvas* PageCanvas() override;

  std::vector<std::string> TakeWrittenFiles() override { return std::exchange(writtenFiles_, {}); }

  // The file the user chose for the next "Print to PDF" job: its first
  // document is written to `path` (over a file there, which the user agreed
  // to replace), any further one beside it as "NAME (2).pdf", ... never over
  // a file. Empty (after the job) for the folder rule again.
  void SetChosenPdfPath(QString path) {
    chosenPdfPath_ = std::move(path);
    chosenDocuments_ = 0;
  }
  // The file the last "Print to PDF" document went to (empty before one).
  QString LastPdfPath() const { return lastPdfPath_; }
  // The folder "Print to PDF" writes to.
  QString PdfFolder() const;
  // The print server's id of the last job sent to an installed printer (0 before one).
  int LastJobId() const { return lastJobId_; }

 private:
  struct Device;

  const Device& CurrentDevice() const { return *devices_.at(current_); }
  int IndexOfName(const std::string& name) const;
  void MakeCurrent(int index);
  QString NewPdfPath() const;
  QString ChosenPdfPath();

  std::vector<std::unique_ptr<Device>> devices_;
  int current_ = 0;
  QString pdfFolder_;
  std::string title_;
  int copies_ = 1;
  bool printing_ = false;
  QString lastPdfPath_;
  QString chosenPdfPath_;
  int chosenDocuments_ = 0;
  std::vector<std::string> writtenFiles_;  // finished PDF documents not yet taken
  std::unique_ptr<CupsJob> job_;           // the open document of an installed printer
  int lastJobId_ = 0;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<QtCanvas> canvas_;
};

}  // namespace quillet
