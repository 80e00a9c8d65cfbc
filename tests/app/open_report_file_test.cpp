// `quillet FILE`: the command line's requests, and the preview window
// opened on a prepared-report file or a prepared template.
#include "app/open_report_file.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/command_line.h"
#include "platform/headless_host.h"
#include "preview/preview_form.h"
#include "preview/qt_engine_host.h"
#include "preview/recent_files.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/printer/printer.h"
#include "report/template/report_file_kind.h"
#include "session/data_options.h"
#include "tests/support.h"

namespace quillet {
namespace {

const std::string kTemplate = std::string(QUILLET_TEST_DATA) + "/banded.frf";

TEST(ProgramArgumentsTest, ChooseWindowFileOrText) {
  using R = ProgramRequest;
  EXPECT_EQ(ParseProgramArguments({}).What, R::ShowMainWindow);
  const R file = ParseProgramArguments({"report.frp"});
  EXPECT_EQ(file.What, R::OpenFile);
  EXPECT_EQ(file.File, "report.frp");
  EXPECT_EQ(ParseProgramArguments({"--version"}).What, R::PrintVersion);
  EXPECT_EQ(ParseProgramArguments({"a.frp", "--help"}).What, R::PrintHelp);
  EXPECT_EQ(ParseProgramArguments({"-h"}).What, R::PrintHelp);
  // After "--" a name that starts with a dash is a file.
  EXPECT_EQ(ParseProgramArguments({"--", "-odd.frp"}).File, "-odd.frp");
  EXPECT_EQ(ParseProgramArguments({"-"}).What, R::OpenFile);
}

TEST(ProgramArgumentsTest, MistakesAreOneLineEach) {
  using R = ProgramRequest;
  const R unknown = ParseProgramArguments({"--zoom"});
  EXPECT_EQ(unknown.What, R::BadUsage);
  EXPECT_EQ(unknown.Message, "unknown option --zoom (see quillet --help)");
  EXPECT_EQ(ParseProgramArguments({"a.frp", "b.frp"}).What, R::BadUsage);
  EXPECT_EQ(ParseProgramArguments({""}).What, R::BadUsage);
}

// The data options and --watch of quillet-cli preview, in its words.
TEST(ProgramArgumentsTest, TakesTheDataOptionsAndWatch) {
  using R = ProgramRequest;
  const R r = ParseProgramArguments(
      {"items.json", "--csv", "Items=items.csv", "--csv-delimiter=;", "--watch"});
  ASSERT_EQ(r.What, R::OpenFile);
  EXPECT_EQ(r.File, "items.json");
  EXPECT_TRUE(r.Watch);
  ASSERT_TRUE(r.Options);
  EXPECT_EQ(r.Options->Values("csv"), std::vector<std::string>{"Items=items.csv"});
  EXPECT_EQ(r.Options->Value("csv-delimiter"), ";");
  EXPECT_FALSE(ParseProgramArguments({"a.frp"}).Watch);

  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  for (const Case& c :
       {Case{{"a.json", "--csv"}, "option --csv needs a value (see quillet --help)"},
        Case{{"a.json", "--watch=yes"}, "option --watch takes no value (see quillet --help)"},
        Case{{"--watch"}, "--watch and the data options need a template file (see quillet --help)"},
        Case{{"--db", "x.sqlite"},
             "--watch and the data options need a template file (see quillet --help)"}}) {
    const R bad = ParseProgramArguments(c.args);
    EXPECT_EQ(bad.What, R::BadUsage);
    EXPECT_EQ(bad.Message, c.message);
  }
}

TEST(ProgramArgumentsTest, TemplatesAreKnownByNameOrJsonContent) {
  using K = ReportFileKind;
  EXPECT_EQ(KindOfReportFile("/x/report.frf"), K::TemplateStream);
  EXPECT_EQ(KindOfReportFile("REPORT.FRF"), K::TemplateStream);
  EXPECT_EQ(KindOfReportFile("report.frp"), K::PreparedReport);  // also when it does not exist
  EXPECT_EQ(KindOfReportFile("frf"), K::PreparedReport);
  const std::string json = test::OutputPath("kind.frf.json");
  std::ofstream(json) << "\n  {\"pages\": []}";
  EXPECT_EQ(KindOfReportFile(json), K::TemplateJson);
  // Content wins over the name, as quillet-cli reads it.
  const std::string namedFrf = test::OutputPath("json-inside.frf");
  std::ofstream(namedFrf) << "{\"pages\": []}";
  EXPECT_EQ(KindOfReportFile(namedFrf), K::TemplateJson);
}

class OpenReportFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    test::StartFreshEngine(nullptr);
  }
  void TearDown() override { test::StopFreshEngine(); }

  // The pages the test template prepares to, saved as a prepared-report file.
  int SavePreparedTemplate(const std::string& path) {
    Engine().SetHost(&headless);
    TfrReport report;
    report.LoadTemplateFile(kTemplate);
    EXPECT_TRUE(report.Prepare());
    report.SavePrepared(path);
    return report.PreparedPages.Count();
  }

  // Opens `path` as `quillet FILE` does, with a Qt host whose preview
  // window reports what it shows and closes itself.
  // `alsoOpen`, when given, is opened with the window's Open button first.
  int OpenAndLook(const std::string& path, const std::vector<std::string>& dataArgs = {},
                  const std::string& alsoOpen = {}) {
    QtEngineHost qtHost;
    qtHost.PreviewOpened = [&](TfrPreviewForm& form) {
      const auto look = [&] {
        caption = form.windowTitle();
        pagesShown = form.PageCount();
        if (!alsoOpen.empty()) {
          form.OpenReportFile(alsoOpen);
          caption = form.windowTitle();
          pagesShown = form.PageCount();
        }
        form.HandleKey(Qt::Key_Escape, Qt::NoModifier);
      };
      // A template's window opens while its pages form: it is looked at
      // once they are all there.
      QTimer::singleShot(0, &form, [&form, look] {
        if (!form.Forming()) return look();
        QObject::connect(&form, &TfrPreviewForm::FormationEnded, &form,
                         [&form, look] { QTimer::singleShot(0, &form, look); });
      });
    };
    Engine().SetHost(&qtHost);
    const int code = OpenReportFile(Engine(), path,
                                    cli::Options(dataArgs, {}, cli::DataOptions::Names()), false);
    Engine().SetHost(&headless);
    return code;
  }

  QTemporaryDir settingsDir;
  HeadlessHost headless;
  QString caption;
  int pagesShown = -1;
};

TEST_F(OpenReportFileTest, APreparedFileOpensThePreviewOnAllItsPages) {
  const std::string frp = test::OutputPath("open_banded.frp");
  const int pages = SavePreparedTemplate(frp);
  ASSERT_GT(pages, 1);
  EXPECT_EQ(OpenAndLook(frp), 0);
  EXPECT_EQ(pagesShown, pages);
  EXPECT_EQ(caption, "Preview - open_banded.frp");
  // The file joins the recent files the preview's Open button offers.
  EXPECT_EQ(RecentFiles::List(), QStringList{QString::fromStdString(frp)});
}

TEST_F(OpenReportFileTest, ATemplateIsPreparedThenPreviewed) {
  const int pages = SavePreparedTemplate(test::OutputPath("open_expected.frp"));
  EXPECT_EQ(OpenAndLook(kTemplate), 0);
  EXPECT_EQ(pagesShown, pages);
  EXPECT_EQ(caption, "Preview - banded.frf");
}

TEST_F(OpenReportFileTest, AJsonTemplateIsPreparedThenPreviewed) {
  const std::string json = std::string(QUILLET_TEST_DATA) + "/../../examples/shapes.json";
  EXPECT_EQ(OpenAndLook(json), 0);
  EXPECT_GT(pagesShown, 0);
  EXPECT_EQ(caption, "Preview - shapes.json");

  Engine().SetHost(&headless);
  const std::string bad = test::OutputPath("open_bad.json");
  std::ofstream(bad) << "{\n  \"pages\": [ {\"objects\": 7} ]\n}";
  EXPECT_EQ(OpenReportFile(Engine(), bad), 1);
  ASSERT_EQ(headless.messages.size(), 1u);
  EXPECT_EQ(headless.messages[0].text.find(bad + ":2:"), 0u) << headless.messages[0].text;
}

TEST_F(OpenReportFileTest, UnreadableFilesFailLoudlyWithoutAPreview) {
  Engine().SetHost(&headless);
  EXPECT_EQ(OpenReportFile(Engine(), test::OutputPath("no_such_file.frp")), 1);
  const std::string garbage = test::OutputPath("open_garbage.frp");
  std::ofstream(garbage, std::ios::binary) << "\x18\x00\x40\x00not a report";
  EXPECT_EQ(OpenReportFile(Engine(), garbage), 1);
  const std::string empty = test::OutputPath("open_empty.frp");
  std::ofstream(empty, std::ios::binary) << std::string("\x18\x00\x00\x00\x00\x00\x00\x00\x00", 9);
  EXPECT_EQ(OpenReportFile(Engine(), empty), 1);
  EXPECT_TRUE(headless.previews.empty());
  ASSERT_EQ(headless.messages.size(), 3u);
  EXPECT_TRUE(RecentFiles::List().isEmpty());
  EXPECT_EQ(headless.messages[0].caption, "Error");
  EXPECT_NE(headless.messages[0].text.find("no such file: "), std::string::npos);
  EXPECT_NE(headless.messages[1].text.find("cannot read "), std::string::npos);
  EXPECT_NE(headless.messages[2].text.find("holds no page"), std::string::npos);
}

// A template over data: prepared with the data options, as quillet-cli
// prepares it, and so is a template opened from the window's Open button.
TEST_F(OpenReportFileTest, TheDataOptionsStayInForceForTheOpenButton) {
  const std::string csv = test::OutputPath("open_rows.csv");
  std::string lines = "Name\n";
  for (int i = 0; i < 90; ++i) lines += "row " + std::to_string(i) + "\n";
  std::ofstream(csv) << lines;
  const char* const kRows = R"({"pages": [{"objects": [
    {"type": "band", "name": "Data", "kind": "masterData", "left": 0, "top": 0, "width": 600,
     "height": %HEIGHT%, "dataSource": "Rows"},
    {"type": "memo", "name": "Row", "left": 20, "top": 2, "width": 300, "height": 20,
     "text": ["[Rows.Name]"]}]}]})";
  const auto rows = [&](const std::string& name, const char* height) {
    std::string text = kRows;
    text.replace(text.find("%HEIGHT%"), 8, height);
    std::ofstream(test::OutputPath(name)) << text;
    return test::OutputPath(name);
  };
  const std::string narrow = rows("open_rows_narrow.json", "24");
  const std::string tall = rows("open_rows_tall.json", "96");
  const std::vector<std::string> data = {"--csv", "Rows=" + csv};

  EXPECT_EQ(OpenAndLook(narrow, data), 0);
  const int narrowPages = pagesShown;
  EXPECT_GT(narrowPages, 1);
  EXPECT_EQ(OpenAndLook(narrow, data, tall), 0);
  EXPECT_EQ(caption, "Preview - open_rows_tall.json");
  EXPECT_GT(pagesShown, 2 * narrowPages);
}

// What the window says names what it found: a folder, an empty file, a
// JSON template saved with a byte-order mark (which opens), a template
// over a data set the window cannot open.
TEST_F(OpenReportFileTest, BadFilesAreCalledWhatTheyAre) {
  Engine().SetHost(&headless);
  const std::string folder = test::OutputPath("open_folder.frp");
  std::filesystem::create_directories(folder);
  const std::string nothing = test::OutputPath("open_nothing.frp");
  std::ofstream(nothing, std::ios::binary).close();
  const std::string needs = test::OutputPath("open_needs_data.json");
  std::ofstream(needs) << R"({"pages": [{"objects": [
    {"type": "band", "name": "B1", "kind": "masterData", "left": 0, "top": 40, "width": 680,
     "height": 22, "dataSource": "Items"}]}]})";
  struct Case {
    std::string path, said;
  };
  for (const Case& c : {Case{folder, "it is a folder"}, Case{nothing, "the file is empty"},
                        Case{needs, "band B1 runs over data set 'Items'"}}) {
    SCOPED_TRACE(c.path);
    headless.messages.clear();
    EXPECT_EQ(OpenReportFile(Engine(), c.path), 1);
    ASSERT_EQ(headless.messages.size(), 1u);
    EXPECT_NE(headless.messages[0].text.find(c.said), std::string::npos)
        << headless.messages[0].text;
  }
  EXPECT_TRUE(headless.previews.empty());

  const std::string bom = test::OutputPath("open_bom.json");
  std::ofstream(bom, std::ios::binary)
      << "\xEF\xBB\xBF{\"pages\":[{\"objects\":[{\"type\":\"memo\",\"left\":40,\"top\":40,"
         "\"width\":300,\"height\":20,\"text\":\"Hi\"}]}]}";
  EXPECT_EQ(OpenAndLook(bom), 0);
  EXPECT_EQ(pagesShown, 1);
}

}  // namespace
}  // namespace quillet
