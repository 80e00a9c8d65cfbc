// The settings file: first run, values kept between runs, damaged files,
// and where the file lives.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ini_file.h"
#include "app/shapes_settings.h"

namespace quillet {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void Spit(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  std::string Dir() const { return dir_.path().toStdString() + "/"; }
  std::string File() const { return Dir() + kSettingsFileName; }
  QTemporaryDir dir_;
};

TEST_F(SettingsFileTest, FirstRunWritesTheFourKeysAllZero) {
  ShapesSettings s;
  s.Adjust = 3;
  s.MainFormLeft = 7;
  EXPECT_TRUE(s.ReadSettings(File()));
  EXPECT_EQ(Slurp(File()), "[Setup]\nMainFormLeft=0\nMainFormTop=0\nLastRndCnr=0\nAdjust=0\n");
  EXPECT_EQ(s.MainFormLeft, 0);
  EXPECT_EQ(s.Adjust, 0);
}

TEST_F(SettingsFileTest, ValuesSurviveARoundTripAndOtherLinesStay) {
  Spit(File(), "; kept comment\n[Other]\nx=1\n\n[setup]\nmainformtop=5\nExtra=yes\n");
  ShapesSettings s;
  s.MainFormLeft = 120;
  s.MainFormTop = -40;
  s.LastRndCnr = 2;
  s.Adjust = -0.25;
  ASSERT_TRUE(s.WriteSettings(File()));
  EXPECT_EQ(Slurp(File()),
            "; kept comment\n[Other]\nx=1\n\n[setup]\nMainFormTop=-40\nExtra=yes\n"
            "MainFormLeft=120\nLastRndCnr=2\nAdjust=-0.25\n");
  ShapesSettings back;
  ASSERT_TRUE(back.ReadSettings(File()));
  EXPECT_EQ(back.MainFormLeft, 120);
  EXPECT_EQ(back.MainFormTop, -40);
  EXPECT_EQ(back.LastRndCnr, 2);
  EXPECT_DOUBLE_EQ(back.Adjust, -0.25);
}

TEST_F(SettingsFileTest, MissingOrUnreadableValuesReadAsZero) {
  Spit(File(), "[Setup]\r\nMainFormLeft = 33 \r\nLastRndCnr=two\r\nAdjust=abc\r\n");
  ShapesSettings s;
  s.LastRndCnr = 9;
  s.Adjust = 9;
  s.MainFormTop = 9;
  EXPECT_TRUE(s.ReadSettings(File()));
  EXPECT_EQ(s.MainFormLeft, 33);
  EXPECT_EQ(s.MainFormTop, 0);
  EXPECT_EQ(s.LastRndCnr, 0);
  EXPECT_EQ(s.Adjust, 0);
}

TEST_F(SettingsFileTest, FailuresAreReportedNotThrown) {
  // A directory where the file should be: neither readable nor writable.
  std::filesystem::create_directory(File());
  ShapesSettings s;
  s.MainFormLeft = 4;
  EXPECT_FALSE(s.ReadSettings(File()));
  EXPECT_FALSE(s.WriteSettings(File()));
  // A file in a folder that does not exist cannot be created: values stay 0.
  ShapesSettings t;
  t.MainFormTop = 8;
  EXPECT_FALSE(t.ReadSettings(Dir() + "missing/" + kSettingsFileName));
  EXPECT_EQ(t.MainFormTop, 0);
}

TEST_F(SettingsFileTest, OversizedFileIsRefused) {
  Spit(File(), "[Setup]\nMainFormLeft=5\n" + std::string(IniFile::kMaxSize, ';'));
  ShapesSettings s;
  EXPECT_FALSE(s.ReadSettings(File()));
  EXPECT_EQ(s.MainFormLeft, 0);
}

TEST_F(SettingsFileTest, SettingsPathFallsBackToTheUserConfigDirectory) {
  EXPECT_EQ(ChooseSettingsPath(Dir(), Dir() + "cfg/"), File());
  // An executable directory that cannot take the file (here: absent).
  const std::string config = Dir() + "cfg/quillet/";
  EXPECT_EQ(ChooseSettingsPath(Dir() + "nowhere/", config), config + kSettingsFileName);
  EXPECT_TRUE(std::filesystem::is_directory(config));
}

TEST(IniFileTest, WritesIntoAnExistingSectionBeforeItsTrailingBlankLines) {
  QTemporaryDir dir;
  const std::string path = dir.path().toStdString() + "/a.ini";
  Spit(path, "[A]\nk=1\n\n[B]\nm=2\n");
  IniFile ini(path);
  ini.WriteInteger("a", "n", 5);
  ini.WriteFloat("C", "f", 2.5);
  ini.UpdateFile();
  EXPECT_EQ(Slurp(path), "[A]\nk=1\nn=5\n\n[B]\nm=2\n\n[C]\nf=2.5\n");
  EXPECT_EQ(IniFile(path).ReadInteger("B", "M", 0), 2);
  EXPECT_EQ(IniFile(path).ReadInteger("B", "k", -1), -1);
}

}  // namespace
}  // namespace quillet
