// The Qt platform printer on a machine that may have no printer installed:
// it lists what there is plus "Print to PDF", the engine printer attaches to
// it, and a PDF document lands in a new file that never replaces another.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QTimer>
#include <filesystem>

#include "platform/canvas.h"
#include "platform/qt/qt_platform_printer.h"
#include "report/printer/printer.h"
#include "tests/support.h"

namespace quillet {
namespace {

QString PdfFolder(const std::string& name) {
  const std::string path = test::OutputPath(name);
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return QString::fromStdString(path);
}

int IndexOfPdf(const std::vector<std::string>& names) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == QtPlatformPrinter::kPdfPrinterName) return static_cast<int>(i);
  return -1;
}

TEST(PrinterQtAdapter, ListsInstalledPrintersThenPdf) {
  QtPlatformPrinter platform(PdfFolder("pdf-list"));
  const std::vector<std::string> names = platform.PrinterNames();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.back(), QtPlatformPrinter::kPdfPrinterName);
  EXPECT_EQ(names.size(), std::size_t(QPrinterInfo::availablePrinters().size()) + 1);
  ASSERT_GE(platform.PrinterIndex(), 0);
  ASSERT_LT(platform.PrinterIndex(), static_cast<int>(names.size()));
  if (names.size() == 1) {
    EXPECT_EQ(platform.PrinterIndex(), 0);  // nothing installed: PDF
  }

  PrinterDevice device;
  DeviceModeRef mode;
  platform.GetDevice(device, mode);
  ASSERT_TRUE(mode);
  EXPECT_EQ(device.DeviceName, names[platform.PrinterIndex()]);
  EXPECT_GT(platform.DeviceCaps(DeviceCap::LogPixelsX), 0);
  EXPECT_GT(platform.DeviceCaps(DeviceCap::PhysicalWidth), 0);

  TfrPrinter printer;
  printer.AttachPrinter(&platform);
  EXPECT_EQ(printer.PrinterNames.size(), names.size() + 1);
  EXPECT_EQ(printer.PrinterNames.back(), "Virtual printer");
}

TEST(PrinterQtAdapter, PdfPrinterTakesPlatformPaperCodes) {
  QtPlatformPrinter platform(PdfFolder("pdf-paper"));
  platform.SetPrinterIndex(IndexOfPdf(platform.PrinterNames()));
  TfrPrinter printer;
  printer.AttachPrinter(&platform);
  ASSERT_FALSE(printer.IsVirtualSelected());
  EXPECT_GT(printer.PaperSizeCount, 20);
  EXPECT_EQ(printer.PaperSizeNames.size(), std::size_t(printer.PaperSizeCount));

  printer.SetPaper(9, 2100, 2970, -1, 0, true);
  EXPECT_EQ(printer.PaperSizeCode, 9);
  EXPECT_NEAR(printer.PaperWidthTenths, 2100, 1);
  EXPECT_NEAR(printer.PaperHeightTenths, 2970, 1);
  PrinterPageInfo info;
  printer.FillPageInfo(info);
  EXPECT_NEAR(info.PaperWidthPx, 758, 1);
  EXPECT_NEAR(info.PaperHeightPx, 1071, 1);

  printer.SetPaper(9, 2100, 2970, -1, 1, false);
  EXPECT_EQ(printer.Orientation, 1);
  EXPECT_NEAR(printer.PaperWidthTenths, 2970, 1);

  printer.SetPaper(256, 1000, 1500, -1, 0, false);
  EXPECT_EQ(printer.PaperSizeCode, 256);
  EXPECT_NEAR(printer.PaperWidthTenths, 1000, 1);
  EXPECT_NEAR(printer.PaperHeightTenths, 1500, 1);
}

TEST(PrinterQtAdapter, PdfDocumentsGoToNewFiles) {
  const QString folder = PdfFolder("pdf-docs");
  QtPlatformPrinter platform(folder);
  platform.SetPrinterIndex(IndexOfPdf(platform.PrinterNames()));
  platform.SetTitle("Test sheet/1");
  for (int run = 0; run < 2; ++run) {
    platform.BeginDoc();
    ASSERT_TRUE(platform.Printing());
    Canvas* canvas = platform.PageCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->Kind(), DeviceKind::Printer);
    canvas->Rectangle(100, 100, 1000, 800);
    platform.NewPage();
    canvas = platform.PageCanvas();
    canvas->Ellipse(100, 100, 1000, 800);
    platform.EndDoc();
    EXPECT_FALSE(platform.Printing());
    EXPECT_EQ(platform.PageCanvas(), nullptr);
  }
  const QStringList files = QDir(folder).entryList({"*.pdf"}, QDir::Files);
  ASSERT_EQ(files.size(), 2) << files.join(", ").toStdString();
  for (const QString& f : files) {
    EXPECT_TRUE(f.startsWith("Test sheet_1 "));
    QFile file(QDir(folder).filePath(f));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
  }

  platform.BeginDoc();
  const QString aborted = platform.LastPdfPath();
  platform.Abort();
  EXPECT_FALSE(QFileInfo::exists(aborted));
}

// Closes the properties dialog once it is up, accepting or cancelling it.
void AnswerDialog(bool accept, int triesLeft = 200) {
  QTimer::singleShot(10, [accept, triesLeft] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog)
      accept ? dialog->accept() : dialog->reject();
    else if (triesLeft > 0)
      AnswerDialog(accept, triesLeft - 1);
  });
}

TEST(PrinterQtAdapter, PropertiesDialogReturnsTheSettingsOnlyWhenAccepted) {
  QtPlatformPrinter platform(PdfFolder("pdf-dialog"));
  platform.SetPrinterIndex(IndexOfPdf(platform.PrinterNames()));
  DeviceMode mode;
  mode.Fields = dmOrientation | dmPaperSize | dmCopies;
  mode.PaperSize = 1;  // letter
  mode.Orientation = dmOrientLandscape;
  DeviceMode edited = mode;
  AnswerDialog(false);
  EXPECT_LT(platform.DocumentProperties(QtPlatformPrinter::kPdfPrinterName, edited), 1);

  AnswerDialog(true);
  ASSERT_EQ(platform.DocumentProperties(QtPlatformPrinter::kPdfPrinterName, edited), 1);
  EXPECT_EQ(edited.PaperSize, 1);
  EXPECT_EQ(edited.Orientation, dmOrientLandscape);
  EXPECT_EQ(platform.DocumentProperties("No such printer", edited), 0);

  // The platform's own settings are untouched until they are handed back.
  PrinterDevice device;
  DeviceModeRef current;
  platform.GetDevice(device, current);
  EXPECT_EQ(current->PaperSize, 9);
  platform.SetDevice(device, std::make_shared<DeviceMode>(edited));
  platform.GetDevice(device, current);
  EXPECT_EQ(current->PaperSize, 1);
  EXPECT_EQ(current->Orientation, dmOrientLandscape);
  EXPECT_GT(platform.DeviceCaps(DeviceCap::PhysicalWidth),
            platform.DeviceCaps(DeviceCap::PhysicalHeight));
}

}  // namespace
}  // namespace quillet
