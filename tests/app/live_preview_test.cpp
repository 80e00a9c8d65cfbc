// The live preview: real files written on disk, the event loop spun until
// the window's pages change. Saved templates and data files are prepared
// again with the page and zoom kept; a broken template keeps the last good
// pages and shows the loader's error in the status line until a fixed save.
#include "session/live_preview.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "platform/headless_host.h"
#include "platform/recording_canvas.h"
#include "preview/preview_form.h"
#include "preview/preview_layout.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/prepared/prepared_pages.h"
#include "report/printer/printer.h"
#include "session/command_options.h"
#include "session/data_options.h"
#include "session/report_input.h"
#include "tests/support.h"

namespace quillet {
namespace {

// A JSON template of one page per text, each page showing its text.
std::string PagesOf(const std::vector<std::string>& texts) {
  std::string json = "{\"pages\": [";
  for (std::size_t i = 0; i < texts.size(); ++i)
    json += std::string(i ? "," : "") + "{\"objects\": [{\"type\": \"memo\", \"name\": \"M" +
            std::to_string(i + 1) +
            "\", \"left\": 40, \"top\": 40, \"width\": 500, \"height\": 40, "
            "\"font\": {\"size\": 20}, \"text\": [\"" +
            texts[i] + "\"]}]}";
  return json + "]}";
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Writes a new file beside `path` and renames it over, as many editors save.
void WriteByRename(const std::string& path, const std::string& text) {
  Write(path + ".saving", text);
  std::filesystem::rename(path + ".saving", path);
}

class LivePreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    ZoomMemory() = PreviewZoomMemory{};
    StartEnginePrinter(Engine(), nullptr);
    Engine().SetHost(&headless);
    Prep() = PreparationState{};
  }
  void TearDown() override {
    form.reset();
    first.reset();
    ZoomMemory() = PreviewZoomMemory{};
    Engine().SetHost(nullptr);
    Prep() = PreparationState{};
    StopEnginePrinter(Engine());
  }

  // Opens the window on `path` prepared with `args` (data options), watched.
  void Open(const std::string& path, const std::vector<std::string>& args = {}) {
    const cli::Options options(args, {}, cli::DataOptions::Names());
    const LivePreview::Preparer prepare = [options](const std::string& file) {
      return cli::ReportInput::PreparedTemplate(options, file);
    };
    first = prepare(path);
    ASSERT_TRUE(first);
    first->ModalPreview = false;
    form = std::make_unique<TfrPreviewForm>();
    form->ShowWindow(*first);
    form->resize(700, 500);
    QApplication::processEvents();
    watch = new LivePreview(*form, prepare, path, cli::DataOptions::FilesRead(options));
  }

  // Spins the event loop until `done` holds (false after 10 s without).
  static bool SpinUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
      if (clock.elapsed() > 10000) return false;
      QApplication::processEvents(QEventLoop::AllEvents, 20);
      QThread::msleep(5);
    }
    return true;
  }
  // Spins the event loop for `ms` milliseconds.
  static void Spin(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
      QApplication::processEvents(QEventLoop::AllEvents, 20);
      QThread::msleep(5);
    }
  }

  // The texts the window's pages draw, page by page, joined by "|".
  std::string Shown() const {
    std::string all;
    TfrEMFPages& pages = *form->Pages();
    for (int i = 0; i < pages.Count(); ++i) {
      RecordingCanvas rec(DeviceKind::Metafile, Engine().MeasuringCanvas);
      pages[i].InUse = 1;
      const PrinterPageInfo& info = pages[i].PageInfo;
      pages.DrawPage(i, rec, {0, 0, info.PaperWidthPx, info.PaperHeightPx});
      for (const CanvasOp& op : rec.Ops())
        if (op.kind == OpKind::Text) all += (all.empty() ? "" : "|") + op.text;
    }
    return all;
  }
  bool StatusShown() const { return !form->StatusLine()->isHidden(); }
  std::string Status() const { return form->StatusLine()->text().toStdString(); }

  QTemporaryDir settingsDir;
  HeadlessHost headless;
  std::shared_ptr<TfrReport> first;
  std::unique_ptr<TfrPreviewForm> form;
  LivePreview* watch = nullptr;  // owned by the form
};

TEST_F(LivePreviewTest, ASavedTemplateIsShownAgainOnTheSamePageAndZoom) {
  const std::string path = test::OutputPath("live_kept.json");
  Write(path, PagesOf({"one a", "two a", "three a"}));
  Open(path);
  ASSERT_EQ(Shown(), "one a|two a|three a");
  form->ChooseZoom(50);
  form->View.CurrentPage = 2;
  form->ScrollToPage();
  const int scrolled = form->VScrollBar()->value();

  Write(path, PagesOf({"one b", "two b", "three b"}));
  ASSERT_TRUE(SpinUntil([&] { return Shown() == "one b|two b|three b"; })) << Shown();
  EXPECT_EQ(form->View.CurrentPage, 2);
  EXPECT_EQ(form->VScrollBar()->value(), scrolled);
  EXPECT_DOUBLE_EQ(form->View.Scale, 0.5);
  EXPECT_FALSE(StatusShown());

  // A page that is gone leaves the view on the last one there is.
  Write(path, PagesOf({"one c"}));
  ASSERT_TRUE(SpinUntil([&] { return Shown() == "one c"; })) << Shown();
  EXPECT_EQ(form->View.CurrentPage, 1);
  EXPECT_DOUBLE_EQ(form->View.Scale, 0.5);
}

// Each broken save keeps the pages on screen and says what and where; the
// fixed save after it shows the new pages and clears the line.
TEST_F(LivePreviewTest, ABrokenTemplateKeepsTheLastGoodPagesUntilAFixedSave) {
  const std::string path = test::OutputPath("live_broken.json");
  Write(path, PagesOf({"good"}));
  Open(path);
  struct Case {
    const char* what;
    std::string broken;
    std::string said;
  };
  const Case cases[] = {
      {"JSON syntax", "{\"pages\": [\n  {\"objects\": [ }\n]}", path + ":2:"},
      {"JSON content", "{\n\"pages\": 7\n}", path + ":2:"},
      {"band over no data",
       R"({"pages": [{"objects": [{"type": "band", "name": "Rows", "kind": "masterData",
          "left": 0, "top": 0, "width": 600, "height": 20, "dataSource": "Items"}]}]})",
       "band Rows runs over data set 'Items'"},
      {"empty file", "", "the file is empty"},
      {"expression error", PagesOf({"[(1+2]"}), "Object: M1"},
  };
  int fixes = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TfrEMFPages* before = form->Pages();
    const std::string shown = Shown();
    Write(path, c.broken);
    ASSERT_TRUE(SpinUntil([&] { return StatusShown(); }));
    EXPECT_NE(Status().find(c.said), std::string::npos) << Status();
    EXPECT_EQ(form->Pages(), before);
    EXPECT_EQ(Shown(), shown);

    const std::string fixed = "fixed " + std::to_string(++fixes);
    Write(path, PagesOf({fixed}));
    ASSERT_TRUE(SpinUntil([&] { return !StatusShown() && Shown() == fixed; })) << Status();
  }
  EXPECT_TRUE(headless.messages.empty()) << "errors go to the status line, not to a message box";
}

TEST_F(LivePreviewTest, ABurstOfSavesPreparesOnce) {
  const std::string path = test::OutputPath("live_burst.json");
  Write(path, PagesOf({"start"}));
  Open(path);
  for (int i = 1; i <= 5; ++i) Write(path, PagesOf({"save " + std::to_string(i)}));
  ASSERT_TRUE(SpinUntil([&] { return watch->Preparations() > 0; }));
  Spin(3 * LivePreview::kSettleMs);
  EXPECT_EQ(watch->Preparations(), 1);
  EXPECT_EQ(Shown(), "save 5");
}

TEST_F(LivePreviewTest, AnEditorThatSavesByRenameIsFollowed) {
  const std::string path = test::OutputPath("live_renamed.json");
  Write(path, PagesOf({"first"}));
  Open(path);
  for (const std::string text : {"second", "third"}) {
    WriteByRename(path, PagesOf({text}));
    ASSERT_TRUE(SpinUntil([&] { return Shown() == text; })) << Shown();
    EXPECT_TRUE(
        SpinUntil([&] { return watch->WatchedFiles().contains(QString::fromStdString(path)); }));
  }
}

TEST_F(LivePreviewTest, AChangedCsvFileIsReadAgain) {
  const std::string csv = test::OutputPath("live_items.csv");
  const std::string path = test::OutputPath("live_items.json");
  Write(csv, "Name\napple\npear\n");
  Write(path, R"({"pages": [{"objects": [
    {"type": "band", "name": "Rows", "kind": "masterData", "left": 0, "top": 40, "width": 600,
     "height": 24, "dataSource": "Items"},
    {"type": "memo", "name": "Name", "left": 20, "top": 42, "width": 300, "height": 20,
     "text": ["[Items.Name]"]}]}]})");
  Open(path, {"--csv", "Items=" + csv});
  ASSERT_EQ(Shown(), "apple|pear");
  EXPECT_TRUE(watch->WatchedFiles().contains(QString::fromStdString(csv)));

  Write(csv, "Name\nplum\nquince\nfig\n");
  ASSERT_TRUE(SpinUntil([&] { return Shown() == "plum|quince|fig"; })) << Shown();
}

// Pictures for a person to look at: the error over the last good pages,
// then the page after the fixed save.
TEST_F(LivePreviewTest, PicturesOfAnErrorAndItsFix) {
  const std::string path = test::OutputPath("live_shot.json");
  Write(path, PagesOf({"Quarterly summary"}));
  Open(path);
  form->resize(640, 480);
  Write(path, "{\"pages\": [\n  {\"objects\": [\n    {\"type\": \"memo\" \"left\": 40}\n]}]}");
  ASSERT_TRUE(SpinUntil([&] { return StatusShown(); }));
  QApplication::processEvents();
  const QImage error = form->grab().toImage();
  EXPECT_TRUE(error.save(QString::fromStdString(test::OutputPath("watch-error.png"))));

  Write(path, PagesOf({"Quarterly summary, corrected"}));
  ASSERT_TRUE(SpinUntil([&] { return !StatusShown(); }));
  QApplication::processEvents();
  const QImage fixed = form->grab().toImage();
  EXPECT_TRUE(fixed.save(QString::fromStdString(test::OutputPath("watch-fixed.png"))));
  EXPECT_NE(error, fixed);
}

}  // namespace
}  // namespace quillet
