// The print dialog and the Print button's action on the offscreen platform,
// over the fake printer: the printer list and its restore on Cancel, the
// copies arrows, the range choices, and what the action hands to the job.
#include "printing/print_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "platform/headless_host.h"
#include "preview/preview_form.h"
#include "preview/preview_view.h"
#include "printing/preview_printing.h"
#include "printing/print_action.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/printer/printer.h"
#include "report/views/shape_view.h"
#include "tests/fakes/fake_printer.h"
#include "tests/support.h"
#include "widgets/speed_button.h"

namespace quillet {
namespace {

using test::FakeDevice;
using test::FakePrinter;

class PrintFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = FakePrinter({FakeDevice::Named("Laser"), FakeDevice::Named("Inkjet", 300),
                             FakeDevice::Named("Plotter", 300)},
                            1);
    test::StartFreshEngine([this] { return &platform_; }, &host_);
  }
  void TearDown() override { test::StopFreshEngine(); }

  void AddPages(int n) {
    for (int i = 0; i < n; ++i) {
      PagePaper paper;
      paper.PaperWidthTenths = 2100;
      paper.PaperHeightTenths = 2970;
      report_.PreparedPages.InsertPage(i, paper);
      TfrShapeView v;
      v.SetGeometry(20 * (i + 1), 0, 10, 10);
      v.PreparedMode = true;
      v.Record(report_.PreparedPages.RecordStream(i));
      Prep().ActiveView = nullptr;
    }
  }

  // Runs `act` on the dialog once it is up modally.
  static void WhenShown(std::function<void(TfrPrintForm&)> act) {
    QTimer::singleShot(0, [act] {
      auto* form = qobject_cast<TfrPrintForm*>(QApplication::activeModalWidget());
      ASSERT_NE(form, nullptr);
      act(*form);
    });
  }

  FakePrinter platform_;
  HeadlessHost host_;
  TfrReport report_;
};

TEST_F(PrintFormTest, OpensWithThePlatformsPrintersAndTheDefaults) {
  TfrPrintForm form(Engine());
  EXPECT_EQ(form.windowTitle(), "Print");
  EXPECT_EQ(form.size(), QSize(485, 226));
  ASSERT_EQ(form.CB1->count(), 3);  // installed printers only, no virtual one
  EXPECT_EQ(form.CB1->itemText(2), "Plotter");
  EXPECT_EQ(form.CB1->currentIndex(), 1);
  EXPECT_EQ(form.OldPrinterIndex, 1);
  EXPECT_TRUE(form.RB1->isChecked());
  EXPECT_EQ(form.E1->text(), "1");
  EXPECT_TRUE(form.CollateCB->isChecked());
  EXPECT_EQ(form.CB2->count(), 3);
  EXPECT_EQ(form.CB2->itemText(2), "Even pages");
  EXPECT_EQ(form.CB2->currentIndex(), 0);
  EXPECT_EQ(form.CB2->x(), form.Label5->geometry().right() + 1 + 11);
  EXPECT_EQ(form.Label2->text(),
            "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12");
  EXPECT_EQ(form.GroupBox3->title(), "Copies");
  EXPECT_EQ(form.Image1.size(), QSize(18, 16));
  EXPECT_EQ(form.CollateImg.size(), QSize(74, 53));
  EXPECT_EQ(form.NonCollateImg.size(), QSize(92, 40));
  EXPECT_TRUE(form.Button1->isDefault());
}

TEST_F(PrintFormTest, ChoosingAPrinterSelectsItCancelRestoresTheOldOne) {
  {
    TfrPrintForm form(Engine());
    form.CB1->setCurrentIndex(2);
    EXPECT_EQ(EnginePrinter(Engine()).SelectedPrinterIndex, 2);
    EXPECT_EQ(platform_.Current, 2);
    form.reject();
  }
  EXPECT_EQ(EnginePrinter(Engine()).SelectedPrinterIndex, 1);
  EXPECT_EQ(platform_.Current, 1);
  {
    TfrPrintForm form(Engine());
    form.CB1->setCurrentIndex(0);
    form.accept();
  }
  EXPECT_EQ(EnginePrinter(Engine()).SelectedPrinterIndex, 0);
  EXPECT_EQ(platform_.Current, 0);
}

TEST_F(PrintFormTest, CopiesArrowsNeverGoBelowOne) {
  TfrPrintForm form(Engine());
  form.frSpeedButton1->Click();
  form.frSpeedButton1->Click();
  EXPECT_EQ(form.E1->text(), "3");
  form.frSpeedButton2->Click();
  EXPECT_EQ(form.E1->text(), "2");
  form.frSpeedButton2->Click();
  form.frSpeedButton2->Click();
  EXPECT_EQ(form.E1->text(), "1");
  for (const char* low : {"0", "-7"}) {
    form.E1->setText(low);
    form.CopiesDown();
    EXPECT_EQ(form.E1->text(), "1") << low;
  }
  // Not a number: left alone, the error shown.
  form.E1->setText("two");
  form.CopiesUp();
  EXPECT_EQ(form.E1->text(), "two");
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "'two' is not a valid integer value");
}

TEST_F(PrintFormTest, RangeEditChecksPagesAndLabelTogglesCollate) {
  TfrPrintForm form(Engine());
  form.show();
  QApplication::setActiveWindow(&form);
  form.E2->setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(form.RB3->isChecked());

  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                    form.Label3->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(form.Label3, &press);
  EXPECT_FALSE(form.CollateCB->isChecked());

  // The picture follows the box: the non-collated pairs sit lower.
  QImage picture(92, 53, QImage::Format_RGB32);
  {
    QPainter p(&picture);
    form.PaintCollatePicture(p);
  }
  const QRgb face = form.palette().color(QPalette::Button).rgb();
  EXPECT_EQ(picture.pixel(12, 2), face);
  form.CollateCB->setChecked(true);
  {
    QPainter p(&picture);
    form.PaintCollatePicture(p);
  }
  // The back sheet of the first collated set.
  EXPECT_EQ(picture.pixel(12, 20), qRgb(255, 255, 255));
  picture.save(QString::fromStdString(test::OutputPath("print-collate.png")));
}

// Pixels of PB1 where `picture` was placed at `at` that differ from it:
// silver must show the button face, every other pixel itself.
int PictureMismatches(const QImage& box, const QImage& picture, QPoint at, QRgb face) {
  int wrong = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb want = picture.pixel(x, y) == qRgb(192, 192, 192) ? face : picture.pixel(x, y);
      wrong += box.pixel(at + QPoint(x, y)) != want;
    }
  return wrong;
}

TEST_F(PrintFormTest, CollatePictureFollowsTheCheckBox) {
  TfrPrintForm form(Engine());
  form.show();
  QApplication::processEvents();
  const QImage dialog = form.grab().toImage();
  dialog.save(QString::fromStdString(test::OutputPath("print-form.png")));
  const QRgb face = form.palette().color(QPalette::Button).rgb();
  const QImage collated = form.PB1->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(PictureMismatches(collated, form.CollateImg.convertToFormat(QImage::Format_RGB32),
                              {8, 0}, face),
            0);
  EXPECT_EQ(collated.pixel(3, 30), face) << "left of the collated picture";

  form.CollateCB->setChecked(false);
  QApplication::processEvents();
  form.grab().save(QString::fromStdString(test::OutputPath("print-form-uncollated.png")));
  const QImage uncollated = form.PB1->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(PictureMismatches(uncollated, form.NonCollateImg.convertToFormat(QImage::Format_RGB32),
                              {0, 8}, face),
            0);
  EXPECT_EQ(uncollated.pixel(50, 3), face) << "above the uncollated picture";
  EXPECT_NE(collated, uncollated);
}

TEST_F(PrintFormTest, ActionPrintsWhatTheDialogAsksFor) {
  AddPages(5);
  WhenShown([](TfrPrintForm& form) {
    form.RB3->setChecked(true);
    form.E2->setText("4-5");
    form.E1->setText("2");
    form.CollateCB->setChecked(false);
    form.CB2->setCurrentIndex(2);  // even pages
    form.Button1->click();
  });
  EXPECT_TRUE(RunPrintDialogAndPrint(report_, 1));
  ASSERT_EQ(platform_.Documents.size(), 1u);
  EXPECT_EQ(platform_.Documents[0].Pages.size(), 1u);  // page 4
  EXPECT_EQ(platform_.Documents[0].Copies, 2);
  EXPECT_EQ(report_.PrintRangeText, "4-5");
  EXPECT_EQ(report_.PrintSelection, 2);
  EXPECT_FALSE(report_.PrintCollate);
}

TEST_F(PrintFormTest, CurrentPageAndCancel) {
  AddPages(5);
  WhenShown([](TfrPrintForm& form) {
    form.RB2->setChecked(true);
    form.Button1->click();
  });
  EXPECT_TRUE(RunPrintDialogAndPrint(report_, 4));
  EXPECT_EQ(report_.PrintRangeText, "4");
  ASSERT_EQ(platform_.Documents.size(), 1u);
  EXPECT_EQ(platform_.Documents[0].Pages.size(), 1u);

  platform_.Documents.clear();
  WhenShown([](TfrPrintForm& form) {
    form.CB1->setCurrentIndex(0);
    form.Button2->click();
  });
  EXPECT_FALSE(RunPrintDialogAndPrint(report_, 4));
  EXPECT_TRUE(platform_.Documents.empty());
  EXPECT_EQ(platform_.Current, 1);
}

TEST_F(PrintFormTest, WithoutTheDialogTheReportsDefaultsServe) {
  AddPages(3);
  report_.ShowPrintDialog = false;
  report_.DefaultCopies = 2;
  report_.DefaultCollate = true;
  EXPECT_TRUE(RunPrintDialogAndPrint(report_, 1));
  ASSERT_EQ(platform_.Documents.size(), 1u);
  EXPECT_EQ(platform_.Documents[0].Pages.size(), 6u);
  EXPECT_EQ(platform_.Documents[0].Copies, 1);
}

TEST_F(PrintFormTest, BadCopiesOrRangeIsReportedWithNothingPrinted) {
  AddPages(3);
  WhenShown([](TfrPrintForm& form) {
    form.E1->setText("many");
    form.Button1->click();
  });
  EXPECT_FALSE(RunPrintDialogAndPrint(report_, 1));
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "'many' is not a valid integer value");
  EXPECT_EQ(host_.messages[0].caption, "Error");

  WhenShown([](TfrPrintForm& form) {
    form.RB3->setChecked(true);
    form.E2->setText("1,,2");
    form.Button1->click();
  });
  EXPECT_FALSE(RunPrintDialogAndPrint(report_, 1));
  ASSERT_EQ(host_.messages.size(), 2u);
  EXPECT_EQ(host_.messages[1].text, "'' is not a valid integer value");
  EXPECT_TRUE(platform_.Documents.empty());
  EXPECT_EQ(report_.PreparedPages.Count(), 3);
}

TEST_F(PrintFormTest, NothingWithoutPagesOrPrinters) {
  EXPECT_FALSE(RunPrintDialogAndPrint(report_, 1));
  AddPages(1);
  StopEnginePrinter(Engine());
  FakePrinter none;
  StartEnginePrinter(Engine(), [&] { return &none; });
  EXPECT_FALSE(RunPrintDialogAndPrint(report_, 1));
  EXPECT_TRUE(host_.messages.empty());
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

TEST_F(PrintFormTest, PreviewPrintButtonPrintsTheShownPagesAndKeepsThem) {
  AddPages(2);
  report_.ShowPrintDialog = false;
  TfrPreviewForm form;
  form.Connect(report_);
  ASSERT_EQ(report_.PreparedPages.Count(), 0) << "the window holds the pages";
  PrintFromPreview(form);
  ASSERT_EQ(platform_.Documents.size(), 1u);
  EXPECT_EQ(platform_.Documents[0].Pages.size(), 2u);
  EXPECT_EQ(report_.PreparedPages.Count(), 0) << "the window took the pages back";
  form.Disconnect();
  EXPECT_EQ(report_.PreparedPages.Count(), 2);
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

// The preview behind the print dialog: its pages stay on screen while the
// dialog (or an error box after it) is up, and go to the job only while it
// prints.
class PreviewBehindPrintDialog : public PrintFormTest {
 protected:
  // Remembers whether the preview still held its pages when a message box
  // came up.
  struct WatchingHost : HeadlessHost {
    TfrPreviewForm* preview = nullptr;
    bool pagesShownAtMessage = false;
    MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override {
      pagesShownAtMessage = preview->Pages() && preview->PageCount() > 0;
      return HeadlessHost::ShowMessage(text, caption, icon, buttons);
    }
  };

  void SetUp() override {
    PrintFormTest::SetUp();
    AddPages(2);
    for (int i = 0; i < 2; ++i) {  // A4 as the printer fills it in
      PrinterPageInfo& info = report_.PreparedPages[i].PageInfo;
      info.PaperWidthPx = info.PrintableWidthPx = 794;
      info.PaperHeightPx = info.PrintableHeightPx = 1123;
    }
    watching_.preview = &preview_;
    Engine().SetHost(&watching_);
    preview_.resize(900, 700);
    preview_.Connect(report_);
    preview_.ApplyButtons();
    preview_.ResetView(true);
    preview_.show();
    preview_.ArrangePreviewPanel();
    QApplication::processEvents();
  }

  // The pixel a little inside the first page's top-left corner, as the
  // page box paints it now.
  QRgb PageCornerPixel() {
    const Rect& r = (*preview_.Pages())[0].PreviewRect;
    const QImage box = preview_.PageBox()->grab().toImage();
    return box.pixel(r.left + preview_.View.ViewOffsetX + 3, r.top + preview_.View.ViewOffsetY + 3);
  }

  WatchingHost watching_;
  TfrPreviewForm preview_;
};

TEST_F(PreviewBehindPrintDialog, PagesStayOnScreenWhileTheDialogIsOpen) {
  bool shown = false;
  QRgb corner = 0;
  WhenShown([&](TfrPrintForm& dialog) {
    shown = preview_.Pages() != nullptr && preview_.PageCount() == 2;
    if (shown) corner = PageCornerPixel();
    // Both windows as the screen shows them: the dialog centred over the
    // preview.
    QImage both = preview_.grab().toImage();
    QPainter p(&both);
    const QImage front = dialog.grab().toImage();
    p.drawImage((both.width() - front.width()) / 2, (both.height() - front.height()) / 2, front);
    p.end();
    both.save(QString::fromStdString(test::OutputPath("print-dialog-over-preview.png")));
    dialog.Button2->click();
  });
  PrintFromPreview(preview_);
  EXPECT_TRUE(shown) << "the preview gave up its pages before the dialog opened";
  EXPECT_EQ(corner, qRgb(255, 255, 255)) << "white paper, not an empty page area";
  EXPECT_TRUE(platform_.Documents.empty());
  EXPECT_EQ(preview_.PageCount(), 2);
  EXPECT_EQ(report_.PreparedPages.Count(), 0);
}

TEST_F(PreviewBehindPrintDialog, PagesGoToTheJobAndComeBack) {
  int pagesInReportDuringJob = -1;
  report_.Events.OnPrintReport = [&] { pagesInReportDuringJob = report_.PreparedPages.Count(); };
  WhenShown([](TfrPrintForm& dialog) { dialog.Button1->click(); });
  PrintFromPreview(preview_);
  EXPECT_EQ(pagesInReportDuringJob, 2) << "the job prints the report's own pages";
  ASSERT_EQ(platform_.Documents.size(), 1u);
  EXPECT_EQ(preview_.PageCount(), 2);
  EXPECT_EQ(report_.PreparedPages.Count(), 0);
  EXPECT_EQ(PageCornerPixel(), qRgb(255, 255, 255));
}

TEST_F(PreviewBehindPrintDialog, AnErrorBoxShowsOverThePages) {
  WhenShown([](TfrPrintForm& dialog) {
    dialog.RB3->setChecked(true);
    dialog.E2->setText("1,,2");  // fails inside the job
    dialog.Button1->click();
  });
  PrintFromPreview(preview_);
  ASSERT_EQ(watching_.messages.size(), 1u);
  EXPECT_TRUE(watching_.pagesShownAtMessage);
  EXPECT_EQ(preview_.PageCount(), 2);
  EXPECT_EQ(report_.PreparedPages.Count(), 0);
  EXPECT_TRUE(platform_.Documents.empty());
}

}  // namespace
}  // namespace quillet
