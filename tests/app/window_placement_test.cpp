// Where the main window opens when its saved position lies off the screens,
// and that its file keeps the saved value until Close writes a new one.
#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include "app/ini_file.h"
#include "app/main_window.h"

namespace quillet {
namespace {

const QList<QRect> kTwoScreens = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
const QSize kWindow(444, 489);

QPoint Placed(QPoint at, const QList<QRect>& screens = kTwoScreens) {
  return FullyVisiblePosition(QRect(at, kWindow), screens);
}

TEST(WindowPlacementTest, AFullyVisibleWindowStaysWhereItWas) {
  EXPECT_EQ(Placed({100, 200}), QPoint(100, 200));
  EXPECT_EQ(Placed({2000, 500}), QPoint(2000, 500));        // on the second screen
  EXPECT_EQ(Placed({5000, 5000}, {}), QPoint(5000, 5000));  // no screen known
}

TEST(WindowPlacementTest, AnOffScreenWindowMovesTheLeastIntoTheNearestScreen) {
  // Past the right edge of the second screen: against its right edge.
  EXPECT_EQ(Placed({6000, 100}), QPoint(3200 - 444, 100));
  // Above and left of everything: the first screen's corner.
  EXPECT_EQ(Placed({-3000, -40}), QPoint(0, 0));
  // Below the first screen only: up onto it, keeping its left edge.
  EXPECT_EQ(Placed({300, 1500}), QPoint(300, 1024 - 489));
  // Across the two screens: onto the one it needs the least move for.
  EXPECT_EQ(Placed({1100, 10}), QPoint(1280, 10));
  // Larger than the screen: its top-left corner shows.
  EXPECT_EQ(FullyVisiblePosition(QRect(-50, -50, 2000, 2000), {QRect(0, 0, 800, 600)}),
            QPoint(0, 0));
}

TEST(WindowPlacementTest, TheMainWindowOpensVisibleAndTheFileKeepsItsValue) {
  QTemporaryDir dir;
  const std::string path = dir.path().toStdString() + "/Quillet.ini";
  {
    IniFile ini(path);
    ini.WriteInteger("Setup", "MainFormLeft", 9000);
    ini.WriteInteger("Setup", "MainFormTop", -7000);
    ini.UpdateFile();
  }
  TfrmShapes w(dir.path() + "/");
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(w.frameGeometry())) << w.x() << "," << w.y();
  EXPECT_EQ(w.frameGeometry().right(), screen.right());
  EXPECT_EQ(w.y(), screen.top());
  IniFile after(path);
  EXPECT_EQ(after.ReadInteger("Setup", "MainFormLeft", 0), 9000);
  EXPECT_EQ(after.ReadInteger("Setup", "MainFormTop", 0), -7000);
}

}  // namespace
}  // namespace quillet
