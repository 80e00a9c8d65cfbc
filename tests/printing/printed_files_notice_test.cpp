// A job that prints into files tells where they went: in the preview it was
// printed from, and in the main window's notice line.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>

#include "app/main_window.h"
#include "platform/headless_host.h"
#include "preview/preview_form.h"
#include "printing/preview_printing.h"
#include "printing/printed_files.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/printer/printer.h"
#include "report/views/shape_view.h"
#include "tests/fakes/fake_printer.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::FakeDevice;
using test::FakePrinter;

// A fake printer whose every ended document went to "/out/<title> <n>.pdf".
class FilePrinter : public FakePrinter {
 public:
  FilePrinter() : FakePrinter({FakeDevice::Named("Print to PDF")}) {}
  std::vector<std::string> TakeWrittenFiles() override {
    std::vector<std::string> files;
    for (; told_ < Documents.size(); ++told_)
      if (Documents[told_].Ended)
        files.push_back("/out/" + Documents[told_].Title + " " + std::to_string(told_) + ".pdf");
    return files;
  }

 private:
  std::size_t told_ = 0;
};

class PrintedFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartFreshEngine([this] { return &platform_; }, &host_);
  }
  void TearDown() override { test::StopFreshEngine(); }

  FilePrinter platform_;
  HeadlessHost host_;
};

TEST_F(PrintedFilesTest, NoticeNamesTheOnlyFileOrTheLastOfSeveral) {
  EXPECT_EQ(PrintedFilesNotice({}), "");
  EXPECT_EQ(PrintedFilesNotice({"/out/a.pdf"}), "PDF written to /out/a.pdf");
  EXPECT_EQ(PrintedFilesNotice({"/out/a.pdf", "/out/b.pdf"}),
            "2 PDF files written, the last to /out/b.pdf");
}

TEST_F(PrintedFilesTest, ThePreviewAndTheMainWindowTellWhereThePdfWent) {
  TfrReport report;
  PagePaper paper;
  paper.PaperWidthTenths = 2100;
  paper.PaperHeightTenths = 2970;
  report.PreparedPages.InsertPage(0, paper);
  TfrShapeView v;
  v.SetGeometry(20, 0, 10, 10);
  v.PreparedMode = true;
  v.Record(report.PreparedPages.RecordStream(0));
  Prep().ActiveView = nullptr;
  report.ShowPrintDialog = false;

  TfrPreviewForm form;
  form.Connect(report);
  EXPECT_EQ(PreviewNotice(form), nullptr);
  std::vector<std::string> told;
  PrintFromPreview(form, [&](const std::vector<std::string>& files) { told = files; });
  ASSERT_EQ(platform_.Documents.size(), 1u);
  const std::vector<std::string> expected{"/out/Untitled 0.pdf"};
  EXPECT_EQ(told, expected);
  ASSERT_NE(PreviewNotice(form), nullptr);
  EXPECT_EQ(PreviewNotice(form)->toolTip(), "PDF written to /out/Untitled 0.pdf");
  EXPECT_FALSE(PreviewNotice(form)->isHidden());
  form.Disconnect();

  // Print in the main window, straight to the printer.
  QTemporaryDir dir;
  TfrmShapes window(dir.path() + "/");
  const QString before = window.psPath->text();
  window.btnPrintClick();
  ASSERT_EQ(platform_.Documents.size(), 2u);
  EXPECT_EQ(window.psPath->toolTip(), "PDF written to /out/Untitled 1.pdf");
  EXPECT_NE(window.psPath->text(), before);
  EXPECT_TRUE(window.psPath->text().contains("Untitled 1.pdf"));
}

}  // namespace
}  // namespace quillet
