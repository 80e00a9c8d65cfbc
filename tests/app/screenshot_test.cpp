// Pictures of the windows for a person to look at: the main window for
// several shapes and the about box, written into the build tree.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>

#include "app/about_box.h"
#include "app/label_3d.h"
#include "app/main_window.h"
#include "app/radio_group.h"
#include "tests/support.h"

namespace quillet {
namespace {

class ScreenshotTest : public ::testing::Test {
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

// Whether anything is drawn inside `area` of `shot` (window pixels): more
// than one colour there. The area of a hidden group is bare window.
bool SomethingDrawn(const QImage& shot, const QRect& area) {
  const QRgb first = shot.pixel(area.topLeft());
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (shot.pixel(x, y) != first) return true;
  return false;
}

TEST_F(ScreenshotTest, MainWindowShowsTheGroupsOfEachShape) {
  QTemporaryDir dir;
  TfrmShapes w(dir.path() + "/");
  w.show();
  struct Case {
    int index;
    const char* name;
    bool corner, polygon, triangle;
  };
  const Case shapes[] = {{2, "ellipse", false, false, false},
                         {4, "polygon", false, true, false},
                         {5, "star", false, true, false},
                         {1, "rounded_rectangle", true, false, false},
                         {3, "triangle", false, false, true}};
  for (const Case& c : shapes) {
    SCOPED_TRACE(c.name);
    w.gbShape->Item(c.index)->click();
    QApplication::processEvents();
    const QImage shot = w.grab().toImage();
    EXPECT_EQ(shot.size(), QSize(444, 489));
    EXPECT_TRUE(shot.save(
        QString::fromStdString(test::OutputPath(std::string("main_window_") + c.name + ".png"))));
    // Inside each optional group, clear of its neighbours' frames.
    auto inside = [&w](QWidget* g) {
      return QRect(g->mapTo(&w, QPoint(0, 0)), g->size()).adjusted(4, 8, -4, -4);
    };
    EXPECT_EQ(SomethingDrawn(shot, inside(w.gbRndCnr)), c.corner);
    EXPECT_EQ(SomethingDrawn(shot, inside(w.gbPolygon)), c.polygon);
    EXPECT_EQ(SomethingDrawn(shot, inside(w.gbTriangle)), c.triangle);
  }
}

TEST_F(ScreenshotTest, AboutBox) {
  TfrmAbout box;
  box.show();
  QApplication::processEvents();
  const QPixmap shot = box.grab();
  EXPECT_EQ(shot.size(), QSize(306, 221));
  EXPECT_TRUE(shot.save(QString::fromStdString(test::OutputPath("about_box.png"))));
  // The lettering and the program's picture are drawn where they belong.
  const QImage image = shot.toImage();
  auto at = [&box](QWidget* w) { return QRect(w->mapTo(&box, QPoint(0, 0)), w->size()); };
  EXPECT_TRUE(SomethingDrawn(image, at(box.Label3D1)));
  EXPECT_TRUE(SomethingDrawn(image, at(box.Image1)));
  // The lettering four times enlarged, to see its raised and recessed layers.
  const QPixmap title = shot.copy(box.Label3D1->geometry()).scaled(223 * 4, 41 * 4);
  EXPECT_TRUE(title.save(QString::fromStdString(test::OutputPath("about_box_title_x4.png"))));
}

}  // namespace
}  // namespace quillet
