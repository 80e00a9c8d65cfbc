// Pictures of the windows for a person to look at: the main window for
// several shapes and the about box, written into the build tree.
#include <gtest/gtest.h>

#include <QApplication>
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

TEST_F(ScreenshotTest, MainWindowForEachShape) {
  QTemporaryDir dir;
  TfrmShapes w(dir.path() + "/");
  w.show();
  const std::pair<int, const char*> shapes[] = {
      {2, "ellipse"}, {4, "polygon"}, {5, "star"}, {1, "rounded_rectangle"}, {3, "triangle"}};
  for (const auto& [index, name] : shapes) {
    w.gbShape->Item(index)->click();
    QApplication::processEvents();
    const QPixmap shot = w.grab();
    EXPECT_EQ(shot.size(), QSize(444, 489));
    EXPECT_TRUE(shot.save(QString::fromStdString(
        test::OutputPath(std::string("main_window_") + name + ".png"))));
  }
}

TEST_F(ScreenshotTest, AboutBox) {
  TfrmAbout box;
  box.show();
  QApplication::processEvents();
  const QPixmap shot = box.grab();
  EXPECT_EQ(shot.size(), QSize(306, 221));
  EXPECT_TRUE(shot.save(QString::fromStdString(test::OutputPath("about_box.png"))));
  // The lettering four times enlarged, to see its raised and recessed layers.
  const QPixmap title = shot.copy(box.Label3D1->geometry()).scaled(223 * 4, 41 * 4);
  EXPECT_TRUE(title.save(QString::fromStdString(test::OutputPath("about_box_title_x4.png"))));
}

}  // namespace
}  // namespace quillet
