// The main window's layout with the real font metrics: captions stand clear
// of their spin boxes and group frames, check-box captions are not cut, and
// the keyboard focus starts on the selected shape.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>

#include "app/color_box.h"
#include "app/main_window.h"
#include "app/radio_group.h"

namespace quillet {
namespace {

// Blank pixels between a caption and its spin box, and between a unit
// caption and the frame of its group.
constexpr int kCaptionGap = 6;
constexpr int kFrameGap = 4;
// The classic style's group frame is two pixels wide at the group's edge.
constexpr int kFrameWidth = 2;

// The pixels a left-aligned caption's text covers, in its parent's
// coordinates.
QRect Ink(const QLabel* label) {
  const int width = label->fontMetrics().horizontalAdvance(label->text());
  return {label->x(), label->y(), width, label->height()};
}

class MainWindowLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = QApplication::style()->name();
    if (QStyle* s = QStyleFactory::create("Windows")) QApplication::setStyle(s);
  }
  void TearDown() override {
    if (QStyle* s = QStyleFactory::create(previous_)) QApplication::setStyle(s);
  }
  QString previous_;
};

TEST_F(MainWindowLayoutTest, CaptionsStandClearOfSpinBoxesAndFrames) {
  QTemporaryDir dir;
  TfrmShapes w(dir.path() + "/");
  for (int i = 0; i < kSpinCount; ++i) {
    const auto id = static_cast<SpinId>(i);
    SCOPED_TRACE(w.SpinLabel(id)->text().toStdString());
    const QRect label = Ink(w.SpinLabel(id));
    const QRect spin = w.Spin(id)->geometry();
    EXPECT_LE(label.right(), w.SpinLabel(id)->geometry().right()) << "caption cut";
    EXPECT_GE(spin.left() - label.right() - 1, kCaptionGap);
    const int frameInside = w.Spin(id)->parentWidget()->width() - kFrameWidth;
    EXPECT_LE(spin.right() + 1, frameInside - kFrameGap);
    if (QLabel* unit = w.SpinUnit(id)) {
      const QRect ink = Ink(unit);
      EXPECT_GE(ink.left() - spin.right() - 1, 3);
      EXPECT_LE(ink.right() + 1, frameInside - kFrameGap) << unit->text().toStdString();
      EXPECT_LE(ink.right(), unit->geometry().right()) << "unit cut";
    }
  }
}

TEST_F(MainWindowLayoutTest, CheckBoxAndColourCaptionsAreWhole) {
  QTemporaryDir dir;
  TfrmShapes w(dir.path() + "/");
  for (QCheckBox* box : {w.chkCentre, w.chkTriangle, w.chkPreview}) {
    SCOPED_TRACE(box->text().toStdString());
    EXPECT_GE(box->width(), box->sizeHint().width());
    const QWidget* parent = box->parentWidget();
    if (parent != &w)
      EXPECT_LE(box->geometry().right() + 1, parent->width() - kFrameWidth - kFrameGap);
  }
  for (const QLabel* label : w.GroupBox2->findChildren<QLabel*>()) {
    SCOPED_TRACE(label->text().toStdString());
    EXPECT_LE(Ink(label).right() + kCaptionGap, w.cboFrameColor->x() - 1);
  }
}

TEST_F(MainWindowLayoutTest, FocusStartsOnTheSelectedShapeAndTabSkipsTheOthers) {
  QTemporaryDir dir;
  TfrmShapes w(dir.path() + "/");
  w.show();
  QApplication::setActiveWindow(&w);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  EXPECT_EQ(QApplication::focusWidget(), w.gbShape->Item(2));  // "Ellipse"
  // Tab leaves the group at once; Shift+Tab comes back to the selection.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget()->parentWidget(), w.gbShape);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), w.gbShape->Item(2));
  // Arrow keys still move through every item, selecting as they go.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  EXPECT_EQ(w.gbShape->ItemIndex(), 1);
  EXPECT_EQ(QApplication::focusWidget(), w.gbShape->Item(1));
  EXPECT_EQ(w.gbShape->Item(2)->focusPolicy() & Qt::TabFocus, 0);
}

}  // namespace
}  // namespace quillet
