// The main window: controls and their initial values, the visibility rule,
// what Print reads, and what Close keeps in the settings file.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/color_box.h"
#include "app/decimal_spin_edit.h"
#include "app/ini_file.h"
#include "app/integer_spin_edit.h"
#include "app/radio_group.h"
#include "tests/fakes/standin_sheet.h"

namespace quillet {
namespace {

QString Dir(const QTemporaryDir& d) {
  return d.path() + "/";
}

void Type(QAbstractSpinBox* spin, const QString& text) {
  spin->findChild<QLineEdit*>()->setText(text);
}

TEST(MainWindowTest, ControlsStartFromTheTable) {
  QTemporaryDir dir;
  TfrmShapes w(Dir(dir));
  EXPECT_EQ(w.windowTitle(), "QUILLET");
  EXPECT_EQ(w.size(), QSize(444, 489));
  EXPECT_EQ(w.gbShape->ItemIndex(), 2);
  EXPECT_EQ(w.gbBrush->ItemIndex(), 1);
  EXPECT_EQ(w.gbShape->geometry(), QRect(11, 8, 201, 117));
  EXPECT_EQ(w.gbPolygon->geometry(), QRect(11, 260, 201, 118));
  EXPECT_EQ(w.btnClose->geometry(), QRect(350, 435, 84, 29));
  EXPECT_EQ(w.btnClose->text(), "Close");
  EXPECT_FALSE(w.chkPreview->isChecked());
  EXPECT_EQ(w.cboFrameColor->Selected(), clBlack);
  EXPECT_EQ(w.cboFillColor->Selected(), clWhite);
  for (int i = 0; i < kSpinCount; ++i) {
    const SpinId id = static_cast<SpinId>(i);
    const SpinBounds& bounds = kSpins[id];
    SCOPED_TRACE(std::string(bounds.name));
    EXPECT_EQ(w.SpinLabel(id)->text().toStdString(), bounds.label);
    EXPECT_EQ(w.SpinUnit(id) ? w.SpinUnit(id)->text().toStdString() : "", bounds.unit);
    EXPECT_EQ(w.Spin(id)->objectName().toStdString(), bounds.name);
  }
  const SheetSettings s = w.CollectSheetSettings();
  const SheetSettings defaults;
  EXPECT_EQ(s.Width, defaults.Width);
  EXPECT_EQ(s.Count, defaults.Count);
  EXPECT_EQ(s.PPM, defaults.PPM);
  EXPECT_EQ(s.PageHeight, defaults.PageHeight);
  EXPECT_EQ(s.InnerPc, defaults.InnerPc);
  EXPECT_EQ(s.TriAngle, defaults.TriAngle);
  EXPECT_EQ(s.ShapeIndex, defaults.ShapeIndex);
  EXPECT_EQ(s.BrushIndex, defaults.BrushIndex);
  EXPECT_EQ(s.FillColor, defaults.FillColor);
}

struct VisibilityCase {
  int shape;
  bool rndCnr, polygon, triangle, star;
};

class VisibilityTest : public ::testing::TestWithParam<VisibilityCase> {};

TEST_P(VisibilityTest, OnlyTheGroupsThatFitTheShapeShow) {
  const VisibilityCase c = GetParam();
  QTemporaryDir dir;
  TfrmShapes w(Dir(dir));
  QTest::mouseClick(w.gbShape->Item(c.shape), Qt::LeftButton);
  EXPECT_EQ(w.gbShape->ItemIndex(), c.shape);
  EXPECT_EQ(!w.gbRndCnr->isHidden(), c.rndCnr);
  EXPECT_EQ(!w.gbPolygon->isHidden(), c.polygon);
  EXPECT_EQ(!w.gbTriangle->isHidden(), c.triangle);
  for (SpinId id : {spnInnerPc, spnSkew}) {
    EXPECT_EQ(!w.Spin(id)->isHidden(), c.star);
    EXPECT_EQ(!w.SpinLabel(id)->isHidden(), c.star);
    // The units are not part of the rule: they show with the group.
    EXPECT_FALSE(w.SpinUnit(id)->isHidden());
  }
  EXPECT_FALSE(w.Spin(spnSides)->isHidden());
  EXPECT_FALSE(w.Spin(spnAngle)->isHidden());
}

std::string ShapeName(const ::testing::TestParamInfo<VisibilityCase>& info) {
  static const char* const names[] = {"Rectangle", "RoundedRectangle", "Ellipse",
                                      "Triangle",  "Polygon",          "Star"};
  return names[info.param.shape];
}

INSTANTIATE_TEST_SUITE_P(Shapes, VisibilityTest,
                         ::testing::Values(VisibilityCase{0, false, false, false, false},
                                           VisibilityCase{1, true, false, false, false},
                                           VisibilityCase{2, false, false, false, false},
                                           VisibilityCase{3, false, false, true, false},
                                           VisibilityCase{4, false, true, false, false},
                                           VisibilityCase{5, false, true, false, true}),
                         ShapeName);

TEST(MainWindowTest, StartUpAppliesTheRuleForEllipseAndKeysChangeTheShape) {
  QTemporaryDir dir;
  TfrmShapes w(Dir(dir));
  EXPECT_TRUE(w.gbRndCnr->isHidden());
  EXPECT_TRUE(w.gbPolygon->isHidden());
  EXPECT_TRUE(w.gbTriangle->isHidden());
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.gbShape->Item(2)->setFocus();
  QTest::keyClick(w.gbShape->Item(2), Qt::Key_Down);
  EXPECT_EQ(w.gbShape->ItemIndex(), 3);
  EXPECT_FALSE(w.gbTriangle->isHidden());
}

TEST(SpinEditTest, DecimalReadsItsTextUnclampedOrItsMinimum) {
  DecimalSpinEdit gap(kSpins[spnGap]);
  EXPECT_EQ(gap.Value(), 20);
  Type(&gap, "abc");
  EXPECT_EQ(gap.Value(), 5);
  Type(&gap, "");
  EXPECT_EQ(gap.Value(), 5);
  Type(&gap, "900");
  EXPECT_EQ(gap.Value(), 900);  // typed beyond the maximum: used as typed
  gap.stepBy(1);
  EXPECT_EQ(gap.Value(), 200);  // a step brings it back into range
  DecimalSpinEdit ppm(kSpins[spnPPM]);
  ppm.stepBy(3);
  EXPECT_EQ(ppm.text(), "3.65");
  ppm.SetValue(12.5);
  EXPECT_EQ(ppm.Value(), 12.5);  // writing does not clamp either
}

TEST(SpinEditTest, IntegerClampsOnWriteUnlessTheBoundsAreEqual) {
  IntegerSpinEdit angle(kSpins[spnAngle]);
  angle.SetValue(400);
  EXPECT_EQ(angle.Value(), 359);
  angle.SetValue(-1000);
  EXPECT_EQ(angle.Value(), -359);
  Type(&angle, "x1");
  EXPECT_EQ(angle.Value(), -359);
  Type(&angle, "1000");
  EXPECT_EQ(angle.Value(), 1000);  // reading does not clamp
  SpinBounds open = kSpins[spnAngle];
  open.maximum = open.minimum;
  IntegerSpinEdit free(open);
  free.SetValue(12345);
  EXPECT_EQ(free.Value(), 12345);
}

TEST(MainWindowTest, PrintReadsAGapOfAbcAsItsMinimum) {
  QTemporaryDir dir;
  TfrmShapes w(Dir(dir));
  auto sheet = std::make_unique<StandInSheet>();
  StandInSheet* raw = sheet.get();
  w.SetReport(std::move(sheet));
  Type(w.spnGap, "abc");
  EXPECT_EQ(w.CollectSheetSettings().Gap, 5);
  w.chkPreview->setChecked(false);
  QTest::mouseClick(w.btnPrint, Qt::LeftButton);
  const TfrView* first = raw->FindView("Shape1");
  const TfrView* second = raw->FindView("Shape2");
  ASSERT_TRUE(first->Visible && second->Visible);
  EXPECT_EQ(second->Top - (first->Top + first->Height), 5);
}

TEST(ColorBoxTest, OffersStandardExtendedAndSystemColoursButNoNone) {
  ColorBox box;
  bool hasSystem = false;
  for (const NamedColor& c : ColorBoxColors()) {
    EXPECT_NE(c.value, clNone);
    hasSystem = hasSystem || IsSystemColor(c.value);
  }
  EXPECT_TRUE(hasSystem);
  EXPECT_EQ(box.count(), static_cast<int>(ColorBoxColors().size()));
  box.SetSelected(clBtnFace);
  EXPECT_EQ(box.Selected(), clBtnFace);
  box.SetSelected(0x123456);
  EXPECT_EQ(box.Selected(), 0x123456u);
  EXPECT_EQ(box.count(), static_cast<int>(ColorBoxColors().size()) + 1);
}

TEST(MainWindowTest, FirstRunCreatesTheFileAndOpensTopLeft) {
  QTemporaryDir dir;
  TfrmShapes w(Dir(dir));
  EXPECT_EQ(w.SettingsPath, Dir(dir).toStdString() + "Quillet.ini");
  IniFile ini(w.SettingsPath);
  for (const char* key : {"MainFormLeft", "MainFormTop", "LastRndCnr", "Adjust"})
    EXPECT_EQ(ini.ReadString("Setup", key).value_or("missing"), "0") << key;
  EXPECT_EQ(w.pos(), QPoint(0, 0));
  EXPECT_EQ(w.spnRndCnr->Value(), 0);
  EXPECT_EQ(w.spnAdjust->Value(), 0);
}

TEST(MainWindowTest, CloseKeepsAWholeRadiusAndTheTitleBarCloseKeepsNothing) {
  QTemporaryDir dir;
  {
    TfrmShapes w(Dir(dir));
    w.move(120, 64);
    Type(w.spnRndCnr, "2.5");
    Type(w.spnAdjust, "0.37");
    QTest::mouseClick(w.btnClose, Qt::LeftButton);
  }
  const std::string path = Dir(dir).toStdString() + "Quillet.ini";
  IniFile saved(path);
  EXPECT_EQ(saved.ReadString("Setup", "LastRndCnr").value_or(""), "2");
  EXPECT_EQ(saved.ReadString("Setup", "Adjust").value_or(""), "0.37");
  EXPECT_EQ(saved.ReadInteger("Setup", "MainFormLeft", -1), 120);
  EXPECT_EQ(saved.ReadInteger("Setup", "MainFormTop", -1), 64);
  {
    TfrmShapes w(Dir(dir));
    EXPECT_EQ(w.spnRndCnr->text(), "2");
    EXPECT_EQ(w.spnAdjust->Value(), 0.37);
    EXPECT_EQ(w.pos(), QPoint(120, 64));
    // Moved and closed some other way: nothing is saved.
    w.move(300, 200);
    Type(w.spnRndCnr, "7");
    w.show();
    w.close();
  }
  IniFile after(path);
  EXPECT_EQ(after.ReadInteger("Setup", "MainFormLeft", -1), 120);
  EXPECT_EQ(after.ReadInteger("Setup", "LastRndCnr", -1), 2);
}

TEST(MainWindowTest, AnUnwritableProgramDirectoryKeepsSettingsInTheUserConfig) {
  QTemporaryDir dir;
  const QString config = dir.path() + "/config/quillet";
  {
    TfrmShapes w(dir.path() + "/no-such-dir", config);
    EXPECT_EQ(w.ExeDir, dir.path().toStdString() + "/no-such-dir/");
    EXPECT_EQ(w.SettingsPath, config.toStdString() + "/Quillet.ini");
    w.move(33, 44);
    w.btnCloseClick();
  }
  TfrmShapes again(dir.path() + "/no-such-dir", config);
  EXPECT_EQ(again.pos(), QPoint(33, 44));
}

}  // namespace
}  // namespace quillet
