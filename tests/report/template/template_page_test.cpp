// Page records of every version, the "ReportForm" value and template files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/errors.h"
#include "tests/report/base/record_support.h"
#include "tests/report/template/template_support.h"
#include "tests/support.h"

namespace quillet::test {
namespace {

// The page record fields before the dialog settings (all versions).
ByteWriter& PaperFields(ByteWriter& w, int version, bool currentLayout) {
  if (currentLayout) w.i32(-1);
  w.i32(256).i32(1000).i32(1500).i32(1).i32(2).i32(3).i32(4).u8(1);
  if (version < 23) w.bytes(Bytes(6, 0x55));
  if (version >= 24) w.i32(7);
  return w.i16(-1).i16(0).i32(2).i32(9);
}

std::unique_ptr<TfrPage> ReadPage(const Bytes& b, int version, std::uint64_t* left = nullptr) {
  MemoryStream s(b);
  auto page = std::make_unique<TfrPage>(Engine());
  test::ReadRecordAt(*page, s, version);
  if (left) *left = s.Remaining();
  return page;
}

using TemplatePage = TemplateTest;

TEST_F(TemplatePage, PaperFieldsOfEveryVersion) {
  for (int version : {21, 22, 23, 24}) {
    for (bool current : {true, false}) {
      SCOPED_TRACE(std::to_string(version) + (current ? " current" : " older"));
      ByteWriter w;
      PaperFields(w, version, current);
      if (version >= 24) {
        w.u8(0).str("").u8(3).str("").i32(0).i32(0).i32(0).i32(0).i32(0).u8(0);
        if (current) w.i16(0).u8(0);
      }
      std::uint64_t left = 1;
      const std::unique_ptr<TfrPage> read = ReadPage(w.b, version, &left);
      const TfrPage& page = *read;
      EXPECT_EQ(left, 0u);
      EXPECT_EQ(page.PaperSizeCode, 256);
      EXPECT_EQ(page.PaperWidthTenths, 1000);
      EXPECT_EQ(page.PaperHeightTenths, 1500);
      EXPECT_EQ(page.Margins.Left, 1);
      EXPECT_EQ(page.Margins.Bottom, 4);
      EXPECT_EQ(page.Orientation, 1);
      EXPECT_EQ(page.PaperSource, version >= 24 ? 7 : -1);
      EXPECT_NE(page.PrintToPrevPage, 0);
      EXPECT_EQ(page.MarginsApply, 0);
      EXPECT_EQ(page.Columns, 2);
      EXPECT_EQ(page.ColumnGap, 9);
    }
  }
}

TEST_F(TemplatePage, DialogSettingsAndScriptOfVersion24) {
  ByteWriter w;
  PaperFields(w, 24, true);
  w.u8(ptDialog).str("Ask").u8(0).str("Question").i32(0x123456).i32(1).i32(2).i32(3).i32(4);
  w.u8(7).i16(1).line("x", 0);
  std::uint64_t left = 1;
  const auto read = ReadPage(w.b, 24, &left);
  const TfrPage& page = *read;
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(page.Type, ptDialog);
  EXPECT_EQ(page.Name, "Ask");
  EXPECT_EQ(page.BorderStyle, bsDialog);  // stored 0
  EXPECT_EQ(page.Caption, "Question");
  EXPECT_EQ(page.Color, 0x123456u);
  EXPECT_EQ(page.Left, 1);
  EXPECT_EQ(page.Height, 4);
  EXPECT_EQ(page.Position, poScreenCenter);  // any value but 0
  EXPECT_EQ(page.ScriptLines, (StringList{"x"}));
}

TEST_F(TemplatePage, StoredBorderStyles) {
  for (auto [stored, read] :
       std::vector<std::pair<int, int>>{{0, 3}, {1, 2}, {2, 2}, {3, 3}, {5, 5}}) {
    ByteWriter w;
    PaperFields(w, 24, false);
    w.u8(0).str("").u8(std::uint8_t(stored)).str("").i32(0).i32(0).i32(0).i32(0).i32(0).u8(0);
    const auto page = ReadPage(w.b, 24);
    EXPECT_EQ(page->BorderStyle, read) << "stored " << stored;
    EXPECT_EQ(page->Position, poDesigned);
  }
}

TEST_F(TemplatePage, OlderVersionsGetTheNewPageDefaultsAndAName) {
  ByteWriter w;
  w.u8(23).i16(0).i16(0).str("");
  for (int i = 0; i < 2; ++i) PaperFields(w.u8(255), 23, i == 0);
  w.u8(254).i16(-2).i32(0).i32(0).i32(0);
  TfrTemplate t;
  EXPECT_EQ(Load(t, w.b), 0u);
  ASSERT_EQ(t.Pages.size(), 2u);
  EXPECT_EQ(t.Pages[0]->Name, "Page1");
  EXPECT_EQ(t.Pages[1]->Name, "Page2");
  const TfrPage& p = *t.Pages[1];
  EXPECT_EQ(p.Type, ptReport);
  EXPECT_EQ(p.Caption, "Form");
  EXPECT_EQ(p.Color, 0x8000000Fu);
  EXPECT_EQ(p.Left, 220);
  EXPECT_EQ(p.Top, 120);
  EXPECT_EQ(p.Width, 380);
  EXPECT_EQ(p.Height, 300);
  EXPECT_EQ(p.Position, poScreenCenter);
  EXPECT_EQ(p.BorderStyle, bsDialog);
}

TEST_F(TemplatePage, PrintingLimitsFollowTheMargins) {
  TfrPage page{Engine()};  // A4: 2100 tenths = 758 report pixels
  page.Margins = {10, 0, 20, 0};
  EXPECT_EQ(page.PaperWidthPixels(), 758);
  EXPECT_EQ(page.LeftLimit(), 10);
  EXPECT_EQ(page.RightLimit(), 738);
  page.MarginsApply = 0;
  EXPECT_EQ(page.LeftLimit(), 0);
  EXPECT_EQ(page.RightLimit(), 758);
}

TEST_F(TemplatePage, ReportFormWrapsTheTemplate) {
  TfrTemplate t;
  FillWithShapes(t, 2);
  t.StoreInDFM = true;
  const Bytes stream = Save(t);
  MemoryStream form;
  t.WriteReportForm(form);
  ByteWriter expected;
  expected.i32(24).i32(std::int32_t(stream.size())).bytes(stream);
  EXPECT_EQ(form.Bytes(), expected.b);

  TfrTemplate u;
  u.StoreInDFM = true;
  form.Seek(0);
  u.ReadReportForm(form);
  EXPECT_EQ(form.Remaining(), 0u);
  EXPECT_EQ(u.ObjectCount(), 0u);  // nothing loads before the owner is ready
  u.LoadEmbeddedTemplate();
  EXPECT_FALSE(u.HasEmbeddedTemplate);
  EXPECT_TRUE(u.EmbeddedTemplate.empty());
  EXPECT_EQ(u.ObjectCount(), 2u);
  EXPECT_EQ(Save(u), stream);
}

TEST_F(TemplatePage, ReportFormWithoutStoredTemplate) {
  TfrTemplate t;
  FillWithShapes(t, 1);
  MemoryStream form;
  t.WriteReportForm(form);
  EXPECT_EQ(form.Bytes(), (Bytes{24, 0, 0, 0}));
  form.Seek(0);
  TfrTemplate u;
  u.ReadReportForm(form);
  EXPECT_FALSE(u.HasEmbeddedTemplate);
  u.LoadEmbeddedTemplate();
  EXPECT_TRUE(u.Pages.empty());
}

TEST_F(TemplatePage, ReportFormLengthBeyondTheBytesIsRefused) {
  for (std::int32_t n : {-1, 5, 0x7FFFFFFF}) {
    ByteWriter w;
    w.i32(24).i32(n).u8(24).u8(0).u8(0);
    MemoryStream s(w.b);
    TfrTemplate t;
    t.StoreInDFM = true;
    EXPECT_THROW(t.ReadReportForm(s), StreamReadError) << n;
    EXPECT_FALSE(t.HasEmbeddedTemplate);
  }
}

TEST_F(TemplatePage, TemplateFilesRoundTrip) {
  TfrTemplate t;
  FillWithShapes(t, 3);
  const std::string base = OutputPath("template_round_trip");
  std::filesystem::remove(base + ".frf");
  t.SaveTemplateFile(base);
  ASSERT_TRUE(std::filesystem::exists(base + ".frf"));
  TfrTemplate u;
  u.LoadTemplateFile(base + ".frf");
  EXPECT_EQ(u.ObjectCount(), 3u);
  EXPECT_EQ(Save(u), Save(t));
}

TEST_F(TemplatePage, FailedSaveKeepsTheOldFile) {
  const std::string path = OutputPath("template_kept.frf");
  { std::ofstream(path, std::ios::binary) << "old"; }
  TfrTemplate t;
  t.AddPage().ScriptLines = {std::string(70000, 'x')};  // too long a line to store
  EXPECT_THROW(t.SaveTemplateFile(path), StreamWriteError);
  std::ifstream in(path, std::ios::binary);
  std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, "old");
  EXPECT_THROW(t.LoadTemplateFile(OutputPath("no_such_template.frf")), FileOpenError);
}

}  // namespace
}  // namespace quillet::test
