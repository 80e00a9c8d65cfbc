// Hostile templates, prepared-report files and recordings (found by fuzzing
// and by hand, kept in tests/data/hostile): each gives a clear error or a
// sound result, never a crash, a sanitizer report, a hang, or a template
// changed by preparing. The engine runs here as the fuzz targets run it:
// the recording canvas measures, the virtual printer starts afresh.
#include <filesystem>
#include <fstream>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "platform/scope_guard.h"
#include "report/views/picture_view.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

std::vector<std::uint8_t> Hostile(const std::string& name) {
  std::ifstream in(FixturePath("hostile/" + name), std::ios::binary);
  EXPECT_TRUE(in) << name;
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> HostileFiles(const std::string& prefix, const std::string& extension) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(FixturePath("hostile"))) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix) && entry.path().extension() == extension) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class HostileInputs : public FormationTest {
 protected:
  void SetUp() override {
    FormationTest::SetUp();
    saved_ = Engine().MeasuringCanvas;
    Engine().MeasuringCanvas = &measuring_;
    Engine().SerialCounter = 0;
  }
  void TearDown() override {
    Engine().MeasuringCanvas = saved_;
    FormationTest::TearDown();
  }

  // Loads, prepares and rebuilds every page, as the prepare_template fuzz
  // target does; the template must save the same bytes before and after.
  // Returns whether preparing succeeded.
  bool PrepareChecked(const std::vector<std::uint8_t>& bytes) {
    TfrReport report;
    report.ShowProgress = false;
    MemoryStream in(bytes);
    report.LoadTemplate(in);
    const std::vector<std::uint8_t> before = SavedTemplate(report);
    const bool ok = report.Prepare();
    EXPECT_EQ(SavedTemplate(report), before) << "preparing changed the template";
    for (int i = 0; i < report.PreparedPages.Count(); ++i) report.PreparedPages.RebuildPage(i);
    return ok;
  }

  // Reads a prepared-report file and draws its pages, as read_prepared
  // does; returns the read error, empty when the file read whole.
  std::string ReadAndDraw(const std::vector<std::uint8_t>& bytes) {
    TfrEMFPages pages{Engine()};
    MemoryStream file(bytes);
    std::string error;
    try {
      pages.ReadPreparedFile(file);
    } catch (const EngineError& e) {
      error = e.what();
    }
    for (int i = 0; i < pages.Count(); ++i) {
      RecordingCanvas canvas;
      pages[i].InUse = 1;
      try {
        pages.DrawPage(i, canvas, {0, 0, 758, 1071});
      } catch (const EngineError& e) {
        if (error.empty()) error = e.what();
      }
      pages[i].InUse = 0;
      pages.DrawPage(i, canvas, {});
    }
    return error;
  }

 private:
  RecordingCanvas measuring_{DeviceKind::Screen};
  Canvas* saved_ = nullptr;
};

TEST_F(HostileInputs, ChildBandsNamingThemselvesEndWithAnErrorNamingTheBand) {
  for (const char* name : {"child_self.frf", "child_cycle.frf", "child_self_h0.frf"}) {
    SCOPED_TRACE(name);
    host.messages.clear();
    PrepareChecked(Hostile(name));
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string& text = host.messages[0].text;
    EXPECT_TRUE(text.find("names itself as its child band") != std::string::npos ||
                text.find("Child bands form a cycle through band") != std::string::npos)
        << text;
  }
}

TEST_F(HostileInputs, AChainOfTwoHundredChildBandsPrepares) {
  PrepareChecked(Hostile("child200.frf"));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(HostileInputs, TemplatesThatOverflowedPrepareWithoutWrapping) {
  std::vector<std::string> names = HostileFiles("prep_ub_", ".bin");
  names.push_back("ub_memo.frf");
  ASSERT_EQ(names.size(), 9u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Prep() = PreparationState{};
    PrepareChecked(Hostile(name));
  }
}

TEST_F(HostileInputs, PreparingLeavesEveryTemplateByteAsItWas) {
  // Pages whose paper codes are not in the paper table, and the inputs that
  // failed only after others had changed the printer's paper.
  std::vector<std::string> names = HostileFiles("prep_unreproduced_", ".bin");
  for (const std::string& name : HostileFiles("prep_roundtrip", ".bin")) names.push_back(name);
  names.push_back("prep_template_changed_by_prepare.bin");
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    // Each starts from the printer's paper after start-up, and again after
    // another template left its paper behind.
    for (int round = 0; round < 2; ++round) {
      Prep() = PreparationState{};
      StartEnginePrinter(Engine(), nullptr);
      if (round == 1) {
        PrepareChecked(Hostile("prep_roundtrip_abort.bin"));
        Prep() = PreparationState{};
      }
      PrepareChecked(Hostile(name));
    }
  }
}

TEST_F(HostileInputs, ACountBandFormingAPagePerRecordStopsAtThePageLimit) {
  // A count near a thousand million with a new page per record, on a page
  // whose margins leave no room: it used to form pages without end.
  const KeepValue<int> limit(TfrEMFPages::PageLimit);
  TfrEMFPages::PageLimit = 2000;
  PrepareChecked(Hostile("count_band_millions_of_pages.bin"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("more than 2000 prepared pages"), std::string::npos)
      << host.messages[0].text;
}

TEST_F(HostileInputs, APageCodeOutsideThePaperTableKeepsItsOwnSize) {
  TfrReport report;
  PageBuilder first(report.Template);
  first.Page().PaperSizeCode = 300;
  first.Page().PaperWidthTenths = 1000;
  first.Page().PaperHeightTenths = 1500;
  PageBuilder second(report.Template);
  second.Page().PaperSizeCode = 300;
  second.Page().PaperWidthTenths = 2000;
  second.Page().PaperHeightTenths = 2500;
  MemoryStream saved;
  report.SaveTemplate(saved);
  TfrReport loaded;
  MemoryStream in(saved.Bytes());
  loaded.LoadTemplate(in);
  ASSERT_EQ(loaded.Template.Pages.size(), 2u);
  EXPECT_EQ(loaded.Template.Pages[1]->PaperWidthTenths, 2000);
  EXPECT_EQ(loaded.Template.Pages[1]->PaperHeightTenths, 2500);
}

TEST_F(HostileInputs, PreparedFilesThatOverflowedReadAndDraw) {
  for (const char* name :
       {"ub_autowidth.frp", "readprep_ub_memo_drawing_cpp_35.frp",
        "readprep_ub_memo_drawing_cpp_51.frp", "readprep_ub_view_drawing_cpp_93.frp",
        "paper_10m.frp", "paper_max.frp"}) {
    SCOPED_TRACE(name);
    ReadAndDraw(Hostile(name));
  }
}

TEST_F(HostileInputs, ImpossiblePageCountsAreRefusedByName) {
  EXPECT_EQ(ReadAndDraw(Hostile("count_2e31.frp")),
            "The file claims 2147483648 pages, more than a prepared-report file can hold");
  const std::string cut = ReadAndDraw(Hostile("count_2e31m1.frp"));
  EXPECT_TRUE(cut.starts_with("Page ")) << cut;
  EXPECT_NE(cut.find(" of the 2147483647 the file claims cannot be read"), std::string::npos)
      << cut;
}

TEST_F(HostileInputs, RecordingReplayedWithAnOffsetSaturates) {
  MemoryStream in(Hostile("recording_ub_273.bin"));
  RecordingCanvas recording;
  ASSERT_NO_THROW(recording.Load(in));
  RecordingCanvas copy;
  recording.ReplayOn(copy, 3, -3);
  recording.ReplayOn(copy, std::numeric_limits<int>::max(), std::numeric_limits<int>::min());
  EXPECT_FALSE(copy.Ops().empty());
}

TEST_F(HostileInputs, ARefusedPictureKeepsItsObjectAndItsBytes) {
  const std::vector<std::uint8_t> bytes = Hostile("pic_bmp_60000.frf");
  TfrReport report;
  report.ShowProgress = false;
  MemoryStream in(bytes);
  report.LoadTemplate(in);
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(report.Template.Pages.size(), 1u);
  ASSERT_EQ(report.Template.Pages[0]->Objects.size(), 1u);
  auto* picture = dynamic_cast<TfrPictureView*>(report.Template.Pages[0]->Objects[0].get());
  ASSERT_NE(picture, nullptr);
  EXPECT_NE(picture->Picture.Refusal().find("60000 x 60000"), std::string::npos)
      << picture->Picture.Refusal();
  EXPECT_TRUE(picture->Picture.IsEmpty());
  // Saved back as read, and written into the prepared page (preparing
  // reloads the template, so the object is looked at before).
  EXPECT_EQ(SavedTemplate(report), bytes);
  const std::string name = picture->Name;
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(PageNames(report, 0), (std::vector<std::string>{name}));
}

}  // namespace
}  // namespace quillet::test
