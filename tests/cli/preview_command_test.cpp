// quillet-cli preview: the window opens on a prepared file or a template
// prepared over the data options, shows every page, and ends the command
// when closed; a bad file or a missing display is one line and no window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

QString Out(const std::string& name) {
  return QString::fromStdString(test::OutputPath(name));
}

// The window closes itself once shown, and runs without a display.
const std::vector<std::pair<QString, QString>> kClosesItself = {{"QUILLET_PREVIEW_CLOSE_MS", "0"},
                                                                {"QT_QPA_PLATFORM", "offscreen"}};

// A list of 120 rows: several pages.
QString LongList(QStringList& dataOptions) {
  std::ofstream csv(test::OutputPath("preview_rows.csv"));
  csv << "Name\n";
  for (int i = 1; i <= 120; ++i) csv << "row " << i << "\n";
  dataOptions = {"--csv", "Rows=" + Out("preview_rows.csv")};
  const QString json = Out("preview_rows.json");
  std::ofstream(json.toStdString()) << R"({"pages": [{"name": "Page1", "objects": [
  {"type": "band", "name": "Data", "kind": "masterData", "left": 0, "top": 0, "width": 600,
   "height": 24, "dataSource": "Rows"},
  {"type": "memo", "name": "Row", "left": 20, "top": 2, "width": 300, "height": 20,
   "text": ["[Rows.Name]"]}]}]})";
  return json;
}

int PagesWritten(const std::string& err) {
  return std::stoi(err.substr(err.find("quillet-cli: ") + 13));
}

TEST(PreviewCommand, ShowsEveryPageOfATemplateOrAPreparedFile) {
  QStringList data;
  const QString json = LongList(data);
  const QString frp = Out("preview_rows.frp");
  const test::CliRun prepared = test::RunCli(QStringList{"prepare", json, "-o", frp} + data);
  ASSERT_EQ(prepared.code, 0) << prepared.err;
  const int pages = PagesWritten(prepared.err);
  ASSERT_GE(pages, 3) << prepared.err;
  const std::string shown = ": " + std::to_string(pages) + " pages\n";

  test::CliRun r = test::RunCli(QStringList{"preview", json} + data, kClosesItself);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "quillet-cli: preview of " + json.toStdString() + shown);

  r = test::RunCli({"preview", frp}, kClosesItself);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "quillet-cli: preview of " + frp.toStdString() + shown);
}

// --watch prepares a template again as it changes; a prepared-report file
// has nothing to prepare, so asking to watch one is a usage error.
TEST(PreviewCommand, WatchTakesATemplateOnly) {
  QStringList data;
  const QString json = LongList(data);
  test::CliRun r = test::RunCli(QStringList{"preview", json, "--watch"} + data, kClosesItself);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err.find("quillet-cli: preview of " + json.toStdString()), 0u) << r.err;

  const QString frp = Out("preview_watch.frp");
  ASSERT_EQ(test::RunCli(QStringList{"prepare", json, "-o", frp} + data).code, 0);
  r = test::RunCli({"preview", frp, "--watch"}, kClosesItself);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "quillet-cli preview: --watch follows a template; " + frp.toStdString() +
                       " is a prepared-report file\n");
}

TEST(PreviewCommand, BadFileOrNoDisplayIsOneLineAndNoWindow) {
  const QString corrupt = Out("preview_corrupt.frp");
  std::ofstream(corrupt.toStdString(), std::ios::binary)
      << std::string("\x18\x00\x00\x00\x00\x05\x00\x00\x00\xff\xff\xff\x7f", 13);
  QStringList data;
  const QString json = LongList(data);
  for (const QStringList& args :
       {QStringList{"preview", corrupt}, QStringList{"preview", json},
        QStringList{"preview", Out("preview_nowhere.frp")}, QStringList{"preview"}}) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const test::CliRun r = test::RunCli(args, kClosesItself);
    EXPECT_NE(r.code, 0);
    EXPECT_EQ(r.ErrorLines(), 1) << r.err;
    EXPECT_EQ(r.err.find("preview of"), std::string::npos) << r.err;
  }

  const test::CliRun headless = test::RunCli(
      {"preview", json},
      {{"QT_QPA_PLATFORM", QString()}, {"DISPLAY", QString()}, {"WAYLAND_DISPLAY", QString()}});
  EXPECT_EQ(headless.code, 1);
  EXPECT_EQ(headless.err,
            "quillet-cli preview: no display to open the window on (DISPLAY is not set)\n");

  // Help needs no display either.
  const test::CliRun help =
      test::RunCli({"preview", "--help"}, {{"QT_QPA_PLATFORM", QString()}, {"DISPLAY", QString()}});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("--csv NAME=FILE.csv"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace quillet
