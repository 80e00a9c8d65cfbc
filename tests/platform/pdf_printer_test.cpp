// "Print to PDF" as the user meets it: its Properties show where the files
// go, the paper and the orientation (not an empty print dialog), and each
// finished document says which file it went to.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "platform/canvas.h"
#include "platform/qt/pdf_properties_dialog.h"
#include "platform/qt/qt_platform_printer.h"
#include "tests/support.h"

namespace quillet {
namespace {

QString Folder(const std::string& name) {
  const std::string path = test::OutputPath(name);
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return QString::fromStdString(path);
}

void UsePdf(QtPlatformPrinter& platform) {
  platform.SetPrinterIndex(static_cast<int>(platform.PrinterNames().size()) - 1);
}

// Runs `answer` on the modal dialog once it is up.
void OnModal(std::function<void(QWidget*)> answer, int triesLeft = 200) {
  QTimer::singleShot(10, [answer, triesLeft] {
    if (QWidget* modal = QApplication::activeModalWidget())
      answer(modal);
    else if (triesLeft > 0)
      OnModal(answer, triesLeft - 1);
  });
}

TEST(PdfPrinterTest, PropertiesShowTheFolderPaperAndOrientation) {
  const QString folder = Folder("pdf-properties");
  QtPlatformPrinter platform(folder);
  UsePdf(platform);
  DeviceMode mode;
  mode.Fields = dmOrientation | dmPaperSize | dmCopies;
  mode.PaperSize = 9;
  QString title, shownFolder, shownPaper;
  bool portrait = false;
  OnModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<PdfPropertiesDialog*>(modal);
    ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
    title = dialog->windowTitle();
    shownFolder = dialog->FolderLabel->text();
    shownPaper = dialog->PaperBox->currentText();
    portrait = dialog->Portrait->isChecked();
    dialog->PaperBox->setCurrentIndex(dialog->PaperBox->findData(1));  // letter
    dialog->Landscape->setChecked(true);
    dialog->accept();
  });
  ASSERT_EQ(platform.DocumentProperties(QtPlatformPrinter::kPdfPrinterName, mode), 1);
  EXPECT_EQ(title, "Print to PDF - Properties");
  EXPECT_EQ(shownFolder, QDir::toNativeSeparators(folder));
  EXPECT_EQ(shownPaper, "A4");
  EXPECT_TRUE(portrait);
  EXPECT_EQ(mode.PaperSize, 1);
  EXPECT_EQ(mode.Orientation, dmOrientLandscape);

  // Cancelled: the block is not to be used, and says so.
  OnModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
  EXPECT_LT(platform.DocumentProperties(QtPlatformPrinter::kPdfPrinterName, mode), 1);
}

TEST(PdfPrinterTest, PropertiesKeepACustomSizeUntilAPaperIsChosen) {
  DeviceMode custom;
  custom.Fields = dmOrientation | dmPaperSize | dmPaperLength | dmPaperWidth;
  custom.PaperSize = 256;
  custom.PaperWidth = 1000;
  custom.PaperLength = 1500;
  PdfPropertiesDialog dialog("/tmp", {9, 1}, {"A4", "Letter"}, custom);
  EXPECT_EQ(dialog.PaperBox->count(), 3);
  EXPECT_EQ(dialog.PaperBox->currentData().toInt(), 256);
  EXPECT_EQ(dialog.Mode(), custom);
  dialog.PaperBox->setCurrentIndex(0);
  const DeviceMode a4 = dialog.Mode();
  EXPECT_EQ(a4.PaperSize, 9);
  EXPECT_EQ(a4.Fields & (dmPaperLength | dmPaperWidth), 0u);
}

TEST(PdfPrinterTest, FinishedDocumentsTellTheirFilesOnce) {
  QtPlatformPrinter platform(Folder("pdf-written"));
  UsePdf(platform);
  EXPECT_TRUE(platform.TakeWrittenFiles().empty());
  std::vector<QString> made;
  for (int run = 0; run < 2; ++run) {
    platform.BeginDoc();
    platform.PageCanvas()->Rectangle(10, 10, 100, 100);
    platform.EndDoc();
    made.push_back(platform.LastPdfPath());
  }
  platform.BeginDoc();
  platform.Abort();  // leaves no file, so tells none
  const std::vector<std::string> files = platform.TakeWrittenFiles();
  ASSERT_EQ(files.size(), 2u);
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(QString::fromStdString(files[i]), made[i]);
    EXPECT_TRUE(QFileInfo(made[i]).isFile());
  }
  EXPECT_TRUE(platform.TakeWrittenFiles().empty());
}

}  // namespace
}  // namespace quillet
