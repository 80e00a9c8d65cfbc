// Texts of any script in template streams and prepared pages: code-page
// streams where every text fits, version 25 where one does not.
#include <gtest/gtest.h>

#include "report/prepared/prepared_pages.h"
#include "report/views/memo/memo_view.h"
#include "tests/report/prepared/prepared_support.h"
#include "tests/report/template/template_support.h"

namespace quillet::test {
namespace {

const std::string kNames[] = {"Zoë's Café", "Łódź notebook", "Карандаш", "日本の紙",
                              "Ελληνικά",   "שלום עולם",     "😀 emoji"};

std::unique_ptr<TfrMemoView> Memo(const std::string& name, const std::string& text,
                                  int charset = kDefaultCharset) {
  auto m = std::make_unique<TfrMemoView>();
  m->Name = name;
  m->SetGeometry(10, 10, 200, 20);
  m->Memo = {text};
  m->Font_.Charset = charset;
  return m;
}

using UnicodeTemplate = TemplateTest;

TEST_F(UnicodeTemplate, TextsThatFitTheirCodePageKeepVersion24Bytes) {
  TfrTemplate t;
  t.ClearTemplate();
  TfrPage& page = t.AddPage();
  page.AddObject(Memo("Western", "Zoë's Café"));
  page.AddObject(Memo("Russian", "Карандаш", 204));
  page.AddObject(Memo("Polish", "Łódź", 238));
  const Bytes bytes = Save(t);
  ASSERT_EQ(bytes[0], 24);
  const std::string all(bytes.begin(), bytes.end());
  EXPECT_NE(all.find("Zo\xEB's Caf\xE9"), std::string::npos);
  EXPECT_NE(all.find("\xCA\xE0\xF0\xE0\xED\xE4\xE0\xF8"), std::string::npos) << "Карандаш in 1251";
  EXPECT_NE(all.find("\xA3\xF3\x64\x9F"), std::string::npos) << "Łódź in 1250";

  TfrTemplate back;
  EXPECT_EQ(Load(back, bytes), 0u);
  ASSERT_EQ(back.Pages.at(0)->Objects.size(), 3u);
  EXPECT_EQ(back.Pages[0]->Objects[1]->Memo, StringList{"Карандаш"});
  EXPECT_EQ(back.Pages[0]->Objects[2]->Memo, StringList{"Łódź"});
  EXPECT_EQ(Save(back), bytes);
}

TEST_F(UnicodeTemplate, AnyOtherTextMakesAVersion25StreamOfUtf8) {
  TfrTemplate t;
  t.ClearTemplate();
  TfrPage& page = t.AddPage();
  int n = 0;
  for (const std::string& name : kNames) page.AddObject(Memo("M" + std::to_string(++n), name));
  page.Objects.back()->Tag = "Ελληνικά";
  const Bytes bytes = Save(t);
  WriteSeed("utf8_texts.frf", bytes);
  ASSERT_EQ(bytes[0], 25);
  const std::string all(bytes.begin(), bytes.end());
  EXPECT_NE(all.find("Zoë's Café"), std::string::npos) << "every text UTF-8, Latin ones too";

  TfrTemplate back;
  EXPECT_EQ(Load(back, bytes), 0u);
  EXPECT_TRUE(host.messages.empty());
  for (std::size_t i = 0; i < std::size(kNames); ++i)
    EXPECT_EQ(back.Pages[0]->Objects[i]->Memo, StringList{kNames[i]});
  EXPECT_EQ(back.Pages[0]->Objects.back()->Tag, "Ελληνικά");
  EXPECT_EQ(Save(back), bytes);
}

TEST_F(UnicodeTemplate, UnknownVersionsAreRefusedAndMalformedUtf8IsReplaced) {
  TfrTemplate t;
  t.ClearTemplate();
  t.AddPage().AddObject(Memo("M", "日本"));
  Bytes bytes = Save(t);
  Bytes newer = bytes;
  newer[0] = 28;
  TfrTemplate back;
  Load(back, newer);
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_NE(MessageTexts()[0].find("stream version 28"), std::string::npos) << MessageTexts()[0];

  host.messages.clear();
  const std::string all(bytes.begin(), bytes.end());
  const std::size_t at = all.find("日本");
  ASSERT_NE(at, std::string::npos);
  bytes[at + 1] = 0xFF;  // no longer UTF-8
  WriteSeed("utf8_malformed.frf", bytes);
  Load(back, bytes);
  EXPECT_TRUE(MessageTexts().empty());
  ASSERT_EQ(back.Pages.at(0)->Objects.size(), 1u);
  EXPECT_EQ(back.Pages[0]->Objects[0]->Memo,
            StringList{"\uFFFD\uFFFD\uFFFD本"});  // the three bytes of 日, the second damaged
}

using UnicodePages = PreparedPagesTest;

TEST_F(UnicodePages, APageTurnsUtf8WhenATextDoesNotFitAndTheFileSaysSo) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  pages.AddPage(Paper());
  AddShape(pages, 1, skEllipse, 0, 0, 10, 10, "0;0;1;0;0;0", "Ünïcode");
  auto cjk = Memo("B", "日本の紙");
  cjk->PreparedMode = true;
  auto latin = Memo("A", "Zoë");
  latin->PreparedMode = true;
  latin->Record(pages.RecordStream(0));
  cjk->Record(pages.RecordStream(0));
  EXPECT_EQ(pages[0].ObjectStream.FirstByte(), 25);
  EXPECT_EQ(pages[1].ObjectStream.FirstByte(), 24) << "only the page that needs it";

  MemoryStream file;
  pages.WritePreparedFile(file);
  EXPECT_EQ(file.Bytes().front(), 25);
  file.Seek(0);
  TfrEMFPages back{Engine()};
  back.ReadPreparedFile(file);
  back.RebuildPage(0);
  const auto& objects = back[0].RebuiltPage->Objects;
  ASSERT_GE(objects.size(), 2u);
  EXPECT_EQ(objects[objects.size() - 2]->Memo, StringList{"Zoë"}) << "the earlier record recoded";
  EXPECT_EQ(objects.back()->Memo, StringList{"日本の紙"});
  back.RebuildPage(1);
  EXPECT_EQ(back[1].RebuiltPage->Objects.at(0)->Name, "Ünïcode");
}

}  // namespace
}  // namespace quillet::test
