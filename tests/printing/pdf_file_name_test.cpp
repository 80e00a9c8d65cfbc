// Where "Print to PDF" writes: a job from a preview window asks for the file
// with a save dialog named after the report, and a file made by the folder
// rule carries the report's name without its extension.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <filesystem>

#include "platform/canvas.h"
#include "platform/headless_host.h"
#include "platform/qt/qt_platform_printer.h"
#include "preview/preview_form.h"
#include "printing/preview_printing.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/printer/printer.h"
#include "report/views/shape_view.h"
#include "tests/support.h"

namespace quillet {
namespace {

QString Folder(const std::string& name) {
  const std::string path = test::OutputPath(name);
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return QString::fromStdString(path);
}

QStringList PdfsIn(const QString& folder) {
  return QDir(folder).entryList({"*.pdf"}, QDir::Files, QDir::Name);
}

TEST(PdfFileName, TheReportsNameWithoutItsExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"grouped_list.frp", "grouped_list"},
      {"Sheet.FRF", "Sheet"},
      {"cross_tab.json", "cross_tab"},
      {"notes.txt", "notes.txt"},
      {" a/b:c ", "a_b_c"},
      {".frp", "Untitled"},
      {"", "Untitled"},
  };
  for (const auto& [title, stem] : cases) EXPECT_EQ(PdfNameStem(title), stem) << title;
}

TEST(PdfFileName, AChosenFileTakesTheFirstDocumentAndNumberedOnesTheRest) {
  const QString folder = Folder("pdf-chosen");
  QtPlatformPrinter platform(folder + "/rule");
  platform.SetPrinterIndex(int(platform.PrinterNames().size()) - 1);
  platform.SetTitle("orders.frp");
  platform.SetChosenPdfPath(folder + "/mine.pdf");
  for (int i = 0; i < 2; ++i) {
    platform.BeginDoc();
    platform.PageCanvas()->Rectangle(10, 10, 100, 100);
    platform.EndDoc();
  }
  EXPECT_EQ(PdfsIn(folder), (QStringList{"mine (2).pdf", "mine.pdf"}));
  platform.SetChosenPdfPath({});
  platform.BeginDoc();
  platform.EndDoc();
  const QStringList byRule = PdfsIn(folder + "/rule");
  ASSERT_EQ(byRule.size(), 1);
  EXPECT_TRUE(byRule[0].startsWith("orders 2")) << byRule[0].toStdString();
}

class PreviewPdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = Folder("pdf-from-preview");
    platform_ = std::make_unique<QtPlatformPrinter>(folder_);
    test::StartFreshEngine([this] { return platform_.get(); }, &host_);
    EnginePrinter(Engine()).SelectPrinter(int(platform_->PrinterNames().size()) - 1);
    asked_ = AskPdfFileName();
  }
  void TearDown() override {
    AskPdfFileName() = asked_;
    test::StopFreshEngine();
  }

  // One prepared page with a shape, titled like a file opened in the window.
  void OnePage(TfrReport& report) {
    report.Title = "grouped_list.frp";
    report.ShowPrintDialog = false;
    PagePaper paper;
    paper.PaperWidthTenths = 2100;
    paper.PaperHeightTenths = 2970;
    report.PreparedPages.InsertPage(0, paper);
    TfrShapeView v;
    v.SetGeometry(20, 0, 10, 10);
    v.PreparedMode = true;
    v.Record(report.PreparedPages.RecordStream(0));
    Prep().ActiveView = nullptr;
  }

  QString folder_;
  std::unique_ptr<QtPlatformPrinter> platform_;
  HeadlessHost host_;
  PdfFileQuestion asked_;
};

TEST_F(PreviewPdfTest, TheSaveDialogStartsAtTheReportsNameAndItsAnswerIsTheFile) {
  TfrReport report;
  OnePage(report);
  TfrPreviewForm form;
  form.Connect(report);
  QString suggested;
  AskPdfFileName() = [&](TfrPreviewForm&, const QString& s) {
    suggested = s;
    return folder_ + "/chosen/report for Anna";
  };
  ASSERT_TRUE(QDir().mkpath(folder_ + "/chosen"));
  std::vector<std::string> told;
  PrintFromPreview(form, [&](const std::vector<std::string>& files) { told = files; });
  EXPECT_EQ(suggested, folder_ + "/grouped_list.pdf");
  const std::string chosen = (folder_ + "/chosen/report for Anna.pdf").toStdString();
  EXPECT_EQ(told, std::vector<std::string>{chosen});
  EXPECT_TRUE(QFileInfo(QString::fromStdString(chosen)).size() > 0);

  // Cancel prints nothing; the next job asks again.
  int asks = 0;
  AskPdfFileName() = [&](TfrPreviewForm&, const QString&) {
    ++asks;
    return QString();
  };
  told.clear();
  PrintFromPreview(form, [&](const std::vector<std::string>& files) { told = files; });
  EXPECT_EQ(asks, 1);
  EXPECT_TRUE(told.empty());
  EXPECT_TRUE(PdfsIn(folder_).isEmpty());
  EXPECT_EQ(PdfsIn(folder_ + "/chosen"), QStringList{"report for Anna.pdf"});
  form.Disconnect();
}

}  // namespace
}  // namespace quillet
