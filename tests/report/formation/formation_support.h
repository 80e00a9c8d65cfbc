// Helpers of the formation and report suites: a report on the virtual
// printer with a recording host, builders of banded templates, fixtures in
// tests/data, and readers of what prepared pages hold.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless_host.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/prepared/rebuilt_page.h"
#include "report/printer/printer.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/shape_view.h"
#include "tests/report/base/record_support.h"
#include "tests/support.h"

namespace quillet::test {

// A4 with 20-pixel margins: content from y 20 to 1051 (the paper is 1071
// report pixels high), x 20 to 738.
constexpr int kMargin = 20;

class FormationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartFreshEngine(nullptr, &host);  // the virtual printer
  }
  void TearDown() override { test::StopFreshEngine(); }

  HeadlessHost host;
};

// Builds objects onto one template page.
class PageBuilder {
 public:
  explicit PageBuilder(TfrTemplate& t) : page_(t.AddPage()) {
    page_.Margins = {kMargin, kMargin, kMargin, kMargin};
  }
  TfrPage& Page() { return page_; }

  TfrBandView& Band(BandType type, const std::string& name, int top, int height,
                    std::uint16_t flags = flBandOnFirstPage | flBandOnLastPage) {
    auto v = std::make_unique<TfrBandView>();
    v->Name = name;
    v->FrameTyp = type;
    v->SetGeometry(0, top, 758, height);
    v->Flags = flags;
    return static_cast<TfrBandView&>(*page_.AddObject(std::move(v)));
  }
  TfrMemoView& Memo(const std::string& name, int left, int top, int width, int height,
                    StringList lines) {
    auto v = std::make_unique<TfrMemoView>();
    v->Name = name;
    v->SetGeometry(left, top, width, height);
    v->Memo = std::move(lines);
    return static_cast<TfrMemoView&>(*page_.AddObject(std::move(v)));
  }
  TfrShapeView& Shape(const std::string& name, int left, int top, int width, int height) {
    auto v = std::make_unique<TfrShapeView>();
    v->Name = name;
    v->SetGeometry(left, top, width, height);
    return static_cast<TfrShapeView&>(*page_.AddObject(std::move(v)));
  }

 private:
  TfrPage& page_;
};

// Lines "<prefix> 1" .. "<prefix> n".
inline StringList NumberedLines(const std::string& prefix, int n) {
  StringList lines;
  for (int i = 1; i <= n; ++i) lines.push_back(prefix + " " + std::to_string(i));
  return lines;
}

// One object of a prepared page as the tests look at it.
struct PreparedObject {
  std::string Name;
  int Left, Top, Width, Height;
  StringList Text;  // text lines with paragraph marks removed
};

inline std::vector<PreparedObject> PageObjects(TfrReport& report, int page) {
  report.PreparedPages.RebuildPage(page);
  std::vector<PreparedObject> out;
  for (const auto& v : report.PreparedPages[page].RebuiltPage->Objects) {
    PreparedObject o{v->Name, v->Left, v->Top, v->Width, v->Height, {}};
    for (std::string line : v->Memo) {
      std::erase(line, kParagraphMark);
      if (!line.empty()) o.Text.push_back(line);
    }
    out.push_back(std::move(o));
  }
  report.PreparedPages[page].RebuiltPage.reset();
  return out;
}

// The first text of every object of that name, page by page.
inline StringList Texts(TfrReport& report, const std::string& name) {
  StringList all;
  for (int p = 0; p < report.PreparedPages.Count(); ++p)
    for (const auto& o : PageObjects(report, p))
      if (o.Name == name) all.push_back(o.Text.empty() ? std::string() : o.Text[0]);
  return all;
}

inline std::vector<std::string> PageNames(TfrReport& report, int page) {
  std::vector<std::string> names;
  for (const auto& o : PageObjects(report, page)) names.push_back(o.Name);
  return names;
}

inline const PreparedObject* FindObject(const std::vector<PreparedObject>& objects,
                                        const std::string& name) {
  for (const auto& o : objects)
    if (o.Name == name) return &o;
  return nullptr;
}

inline std::string FixturePath(const std::string& name) {
  return std::string(QUILLET_TEST_DATA) + "/" + name;
}

inline std::vector<std::uint8_t> SavedTemplate(TfrReport& report) {
  MemoryStream s;
  report.SaveTemplate(s);
  return s.Bytes();
}

// Compares the template built in code with its fixture file, byte for byte;
// with QUILLET_WRITE_FIXTURES set the fixture is written first.
inline void CheckFixture(TfrReport& built, const std::string& name) {
  const std::vector<std::uint8_t> bytes = SavedTemplate(built);
  const std::string path = FixturePath(name);
  if (std::getenv("QUILLET_WRITE_FIXTURES")) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path;
  const std::vector<std::uint8_t> stored((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(stored, bytes) << name << " differs from the template built in code";
}

// Loads a fixture into `report` the way a user's template file is loaded.
inline void LoadFixture(TfrReport& report, const std::string& name) {
  report.LoadTemplateFile(FixturePath(name));
}

}  // namespace quillet::test
