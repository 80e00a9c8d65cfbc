// Pictures to look at: a toolbar of flat buttons in their states and the
// progress window while a step runs, written into the test output folder.
#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "preview/progress_form.h"
#include "preview/toolbar_button.h"
#include "preview/toolbar_glyphs.h"
#include "tests/preview/input_events.h"
#include "tests/support.h"

namespace quillet {
namespace {

QImage Enlarged(const QImage& image, int factor) {
  return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

TEST(PreviewPictures, ToolbarInItsStates) {
  QWidget bar;
  auto* row = new QHBoxLayout(&bar);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(0);
  const ToolbarGlyph glyphs[] = {tgZoom, tgOpen,  tgSave,   tgPrint,   tgFind,
                                 tgHelp, tgClose, tgPageUp, tgPageDown};
  std::vector<TfrTBButton*> buttons;
  for (ToolbarGlyph g : glyphs) {
    auto* b = new TfrTBButton(&bar);
    b->resize(23, 22);
    b->SetGlyph(MakeToolbarGlyph(g));
    row->addWidget(b);
    buttons.push_back(b);
    if (g == tgPrint || g == tgHelp) {
      auto* sep = new TfrTBSeparator(&bar);
      sep->resize(8, 22);
      row->addWidget(sep);
    }
  }
  auto* captioned = new TfrTBButton(&bar);
  captioned->resize(64, 22);
  captioned->SetGlyph(MakeToolbarGlyph(tgClose));
  captioned->SetCaption("&Close");
  row->addWidget(captioned);
  row->addStretch();
  bar.resize(330, 26);
  bar.show();

  test::Enter(buttons[1]);       // mouse over Open
  buttons[0]->SetGroupIndex(1);  // Zoom latched down
  buttons[0]->SetDown(true);
  buttons[2]->setEnabled(false);  // Save disabled
  test::Enter(captioned);
  ASSERT_TRUE(buttons[1]->MouseInControl());
  ASSERT_EQ(buttons[0]->State(), bsLatched);

  const QImage shot = bar.grab().toImage();
  ASSERT_TRUE(
      Enlarged(shot, 3).save(QString::fromStdString(test::OutputPath("toolbar_buttons.png"))));
  // The latched, hovered and disabled buttons up close.
  ASSERT_TRUE(Enlarged(shot.copy(0, 0, 74, 26), 8)
                  .save(QString::fromStdString(test::OutputPath("toolbar_buttons_detail.png"))));

  // Every glyph, in colour, grayed and disabled, four times their size.
  QImage sheet(9 * 20, 3 * 20, QImage::Format_RGB32);
  sheet.fill(ButtonColors::FromPalette(bar.palette()).face);
  {
    QPainter p(&sheet);
    for (int i = 0; i < 9; ++i) {
      p.drawImage(i * 20 + 2, 2, buttons[i]->StateImage(bsUp));
      p.drawImage(i * 20 + 2, 22, buttons[i]->StateImage(bsGrayed));
      p.drawImage(i * 20 + 2, 42, buttons[i]->StateImage(bsDisabled));
    }
  }
  ASSERT_TRUE(
      Enlarged(sheet, 4).save(QString::fromStdString(test::OutputPath("toolbar_glyphs.png"))));
}

TEST(PreviewPictures, RaisedButtonsInTheirStates) {
  // Buttons that are not flat: up, pressed, latched, disabled, and two with
  // captions above and below their glyphs.
  QWidget bar;
  auto* row = new QHBoxLayout(&bar);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(2);
  std::vector<TfrSpeedButton*> buttons;
  for (int i = 0; i < 6; ++i) {
    auto* b = new TfrSpeedButton(&bar);
    b->SetGlyph(MakeToolbarGlyph(i % 2 ? tgPageDown : tgPageUp));
    row->addWidget(b);
    buttons.push_back(b);
  }
  buttons[1]->resize(22, 22);
  buttons[2]->SetGroupIndex(3);
  buttons[2]->SetDown(true);
  buttons[3]->setEnabled(false);
  buttons[4]->resize(48, 40);
  buttons[4]->SetLayout(blGlyphTop);
  buttons[4]->SetCaption("&Up");
  buttons[4]->SetSpacing(1);
  buttons[5]->resize(48, 40);
  buttons[5]->SetLayout(blGlyphBottom);
  buttons[5]->SetCaption("Down");
  buttons[5]->SetSpacing(1);
  buttons[5]->setEnabled(false);
  row->addStretch();
  bar.resize(200, 44);
  bar.show();
  test::Press(buttons[1], {5, 5});
  ASSERT_EQ(buttons[1]->State(), bsPressed);
  const QImage shot = bar.grab().toImage();
  test::Release(buttons[1], {5, 5});
  ASSERT_TRUE(
      Enlarged(shot, 3).save(QString::fromStdString(test::OutputPath("raised_buttons.png"))));
}

TEST(PreviewPictures, ProgressWindowWhileAStepRuns) {
  TfrProgressForm& form = TfrProgressForm::Instance();
  QImage shot;
  std::vector<QRect> lineRects;  // where the two lines sat while the step ran
  form.RunWithProgress({"Preparing report", "Processing page:  1", {}}, [&](ProgressControl& c) {
    c.SetFirstLine("Printing page:  3 from 5");
    c.SetSecondLine("Totals");
    c.ProcessMessages();
    shot = form.grab().toImage();
    for (QLabel* label : form.findChildren<QLabel*>())
      if (label->text() == "Printing page:  3 from 5" || label->text() == "Totals")
        lineRects.push_back(QRect(label->mapTo(&form, QPoint(0, 0)), label->size()));
    c.SetModalResult(1);
  });
  ASSERT_FALSE(shot.isNull());
  EXPECT_EQ(shot.size(), QSize(278, 106));
  // Both lines and the Cancel button are drawn where they sit.
  auto drawn = [&shot](const QRect& r) {
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (shot.pixel(x, y) != shot.pixel(r.topLeft())) return true;
    return false;
  };
  ASSERT_EQ(lineRects.size(), 2u);
  for (const QRect& r : lineRects) EXPECT_TRUE(drawn(r));
  EXPECT_TRUE(
      drawn(QRect(form.CancelButton()->mapTo(&form, QPoint(0, 0)), form.CancelButton()->size())));
  ASSERT_TRUE(
      Enlarged(shot, 2).save(QString::fromStdString(test::OutputPath("progress_window.png"))));
}

}  // namespace
}  // namespace quillet
