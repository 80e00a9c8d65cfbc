// The program's printing in process against a private CUPS server: the main
// window's Print button, the print dialog's range and copies, a queue that
// vanishes or a server that stops between choosing and printing, and the
// queue's own page setup.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/main_window.h"
#include "platform/headless_host.h"
#include "platform/qt/qt_platform_printer.h"
#include "printing/print_action.h"
#include "printing/print_form.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/printer/printer.h"
#include "report/views/memo/memo_view.h"
#include "tests/fakes/private_cups_server.h"
#include "tests/fakes/sheet_measure.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::PrivateCupsServer;

const QString kQueue = QStringLiteral("QuilletPDF");

// A private server with one queue, this process pointed at it, and the
// engine printer over the platform printer that lists its queue.
class CupsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server_.Running()) GTEST_SKIP() << server_.SkipReason();
    std::string error;
    ASSERT_TRUE(server_.AddPdfQueue(kQueue, &error)) << error;
    server_.Use();
    platform_ =
        std::make_unique<QtPlatformPrinter>(QString::fromStdString(test::OutputPath("cups-pdf")));
    ASSERT_EQ(platform_->PrinterNames().front(), kQueue.toStdString());
    ASSERT_EQ(platform_->PrinterIndex(), 0);
    test::StartFreshEngine([this] { return platform_.get(); }, &host_);
    started_ = true;
  }
  void TearDown() override {
    if (!started_) return;
    test::StopFreshEngine();
  }

  // Three A4 pages saying "Page 1" .. "Page 3".
  void AddPages(TfrReport& report) {
    for (int i = 0; i < 3; ++i) {
      PagePaper paper;
      paper.PaperWidthTenths = 2100;
      paper.PaperHeightTenths = 2970;
      report.PreparedPages.InsertPage(i, paper);
      TfrMemoView v;
      v.SetGeometry(40, 40, 300, 30);
      v.Memo = {"Page " + std::to_string(i + 1)};
      v.PreparedMode = true;
      v.Record(report.PreparedPages.RecordStream(i));
      Prep().ActiveView = nullptr;
    }
  }

  // Runs `act` on the modal dialog of type T once it is up.
  template <class T>
  static void WhenShown(std::function<void(T&)> act) {
    QTimer::singleShot(50, [act] {
      auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      act(*dialog);
    });
  }

  PrivateCupsServer server_;
  std::unique_ptr<QtPlatformPrinter> platform_;
  HeadlessHost host_;
  bool started_ = false;
};

TEST_F(CupsWindowTest, MainWindowPrintSendsTheSheetAtItsTrueSize) {
  QTemporaryDir dir;
  TfrmShapes w(dir.path() + u'/');
  w.chkPreview->setChecked(false);
  QTest::mouseClick(w.btnPrint, Qt::LeftButton);
  ASSERT_TRUE(server_.WaitForJobsToEnd()) << server_.ErrorLog();
  const QStringList pdfs = server_.Pdfs();
  ASSERT_EQ(pdfs.size(), 1) << server_.ErrorLog();
  const test::SheetMeasure m =
      test::MeasureSheet(pdfs[0], QDir(server_.OutputFolder()).filePath(QStringLiteral("window")));
  ASSERT_TRUE(m.ok) << m.failure;
  EXPECT_NEAR(m.ellipseWidthMm, 50.12, 0.1);
  EXPECT_NEAR(m.stepMm, 55.75, 0.1);
  EXPECT_EQ(platform_->LastJobId(), server_.Jobs(kQueue).back());
}

TEST_F(CupsWindowTest, PrintDialogRangeAndCopiesReachTheJob) {
  TfrReport report;
  AddPages(report);
  WhenShown<TfrPrintForm>([](TfrPrintForm& form) {
    EXPECT_EQ(form.CB1->currentText(), kQueue);
    form.RB3->setChecked(true);
    form.E2->setText(QStringLiteral("2-3"));
    form.E1->setText(QStringLiteral("2"));
    form.CollateCB->setChecked(false);
    form.Button1->click();
  });
  EXPECT_TRUE(RunPrintDialogAndPrint(report, 1));
  ASSERT_TRUE(host_.messages.empty()) << host_.messages[0].text;
  ASSERT_TRUE(server_.WaitForJobsToEnd()) << server_.ErrorLog();
  auto job = server_.JobAttributes(kQueue, platform_->LastJobId());
  EXPECT_EQ(job["copies"], "2");
  EXPECT_EQ(job["job-state"], "completed");
  EXPECT_EQ(job["media"], "A4");
}

struct TroubleCase {
  const char* name;
  std::function<void(PrivateCupsServer&)> trouble;
  const char* message;
};

TEST_F(CupsWindowTest, TroubleAfterChoosingIsNamedAndThePagesStay) {
  const TroubleCase cases[] = {
      {"stopped", [](PrivateCupsServer& s) { s.Tool(QStringLiteral("cupsdisable"), {kQueue}); },
       "The printer \"QuilletPDF\" is stopped"},
      {"vanished",
       [](PrivateCupsServer& s) {
         s.Tool(QStringLiteral("lpadmin"), {QStringLiteral("-x"), kQueue});
       },
       "The printer \"QuilletPDF\" is no longer installed on the print server"},
      {"server gone", [](PrivateCupsServer& s) { s.Stop(); },
       "The printer \"QuilletPDF\" cannot be reached: its print server is not running"},
  };
  for (const TroubleCase& c : cases) {
    SCOPED_TRACE(c.name);
    host_.messages.clear();
    TfrReport report;
    AddPages(report);
    WhenShown<TfrPrintForm>([&](TfrPrintForm& form) {
      // The printer is chosen while it is fine; trouble comes before the job.
      EXPECT_EQ(form.CB1->currentText(), kQueue);
      c.trouble(server_);
      form.Button1->click();
    });
    EXPECT_FALSE(RunPrintDialogAndPrint(report, 1));
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text.rfind(c.message, 0), 0u) << host_.messages[0].text;
    EXPECT_EQ(report.PreparedPages.Count(), 3);
  }
}

TEST_F(CupsWindowTest, AnAbortedDocumentNeverReachesTheQueue) {
  platform_->SetTitle("Dropped");
  platform_->BeginDoc();
  ASSERT_NE(platform_->PageCanvas(), nullptr);
  platform_->NewPage();
  platform_->Abort();
  EXPECT_FALSE(platform_->Printing());
  EXPECT_TRUE(server_.Jobs(kQueue).empty());
  // The printer takes the next document as usual.
  platform_->BeginDoc();
  platform_->EndDoc();
  EXPECT_EQ(server_.Jobs(kQueue).size(), 1u);
}

TEST_F(CupsWindowTest, PropertiesShowTheQueuesPageSetupAndItsChoiceReachesTheJob) {
  PrinterDevice device;
  DeviceModeRef mode;
  platform_->GetDevice(device, mode);
  DeviceMode chosen = *mode;
  WhenShown<QPageSetupDialog>([](QPageSetupDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), kQueue + QStringLiteral(" - Properties"));
    dialog.grab().save(QString::fromStdString(test::OutputPath("cups-properties.png")));
    // The queue's papers are offered; landscape is chosen.
    auto* landscape = dialog.findChild<QRadioButton*>(QStringLiteral("landscape"));
    ASSERT_NE(landscape, nullptr);
    landscape->click();
    // A queue option: two pages on each sheet.
    auto* perSheet = dialog.findChild<QComboBox*>(QStringLiteral("pagesPerSheetCombo"));
    ASSERT_NE(perSheet, nullptr);
    perSheet->setCurrentIndex(1);
    dialog.accept();
  });
  ASSERT_EQ(platform_->DocumentProperties(device.DeviceName, chosen), 1);
  EXPECT_EQ(chosen.Orientation, dmOrientLandscape);
  platform_->SetDevice(device, std::make_shared<DeviceMode>(chosen));
  platform_->SetTitle("Turned");
  platform_->BeginDoc();
  platform_->EndDoc();
  ASSERT_TRUE(server_.WaitForJobsToEnd()) << server_.ErrorLog();
  auto job = server_.JobAttributes(kQueue, platform_->LastJobId());
  EXPECT_EQ(job["orientation-requested"], "landscape");
  EXPECT_EQ(job["job-name"], "Turned");
  EXPECT_EQ(job["number-up"], "2");
}

}  // namespace
}  // namespace quillet
