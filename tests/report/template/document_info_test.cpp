// The template's title, author and subject: a template without them is
// stored exactly as before; with them, as stream version 27, which brings
// them back through the stream and through JSON in any script.
#include <gtest/gtest.h>

#include "report/template/template_json.h"
#include "report/views/view_registry.h"
#include "tests/report/template/template_support.h"

namespace quillet::test {
namespace {

class DocumentInfoTest : public TemplateTest {
 protected:
  void SetUp() override {
    TemplateTest::SetUp();
    RegisterEngineKinds(Engine());
  }
};

TEST_F(DocumentInfoTest, OnlyATemplateWithInformationNeedsVersion27) {
  struct Case {
    const char* what;
    DocumentInfo info;
    int version;
  };
  const Case cases[] = {
      {"none", {}, 24},
      {"title", {"Price list", "", ""}, 27},
      {"author", {"", "Léa Müller", ""}, 27},
      {"subject", {"", "", "Артикулы по категориям 😀"}, 27},
      {"all", {"Τίτλος", "著者", "נושא"}, 27},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TfrTemplate t;
    FillWithShapes(t, 2);
    t.Info = c.info;
    const Bytes saved = Save(t);
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved[0], c.version);

    TfrTemplate back;
    back.KeepStoredPaper = true;
    back.Info = {"stale", "stale", "stale"};
    Load(back, saved);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(back.Info, c.info);
    EXPECT_EQ(back.ObjectCount(), 2u);
    EXPECT_EQ(Save(back), saved);  // stream → template → stream, byte for byte

    // The JSON form holds the same and builds the same bytes.
    const std::string json = WriteTemplateJson(back);
    EXPECT_EQ(json.find("\"title\"") != std::string::npos, !c.info.Title.empty());
    TfrTemplate built;
    ReadTemplateJson(json, built);
    EXPECT_EQ(built.Info, c.info);
    built.KeepStoredPaper = true;
    EXPECT_EQ(Save(built), saved);
  }
}

TEST_F(DocumentInfoTest, AddingInformationChangesOnlyTheHeaderAndTheVersion) {
  TfrTemplate t;
  FillWithShapes(t, 1);
  t.KeepStoredPaper = true;
  const Bytes before = Save(t);
  t.Info = {"T", "", ""};
  const Bytes after = Save(t);
  // Version byte, two 16-bit flags, the printer's counted name: then the
  // three counted texts ("T", "", ""); the records follow (their end
  // positions 10 further on).
  const std::size_t header = 1 + 2 + 2 + 2 + t.PrinterName.size() + 1;
  ASSERT_EQ(after.size(), before.size() + 4 + 3 + 3);
  EXPECT_EQ(after[0], 27);
  EXPECT_TRUE(std::equal(before.begin() + 1, before.begin() + long(header), after.begin() + 1));
  EXPECT_EQ(Bytes(after.begin() + long(header), after.begin() + long(header) + 10),
            (Bytes{1, 0, 'T', 0, 0, 0, 0, 0, 0, 0}));

  t.ClearTemplate();
  EXPECT_TRUE(t.Info.Empty());
}

TEST_F(DocumentInfoTest, JsonRefusesANonTextTitleWithItsPlace) {
  TfrTemplate t;
  try {
    ReadTemplateJson("{\n  \"title\": 12,\n  \"pages\": []\n}\n", t);
    FAIL() << "a number was taken as a title";
  } catch (const TemplateJsonError& e) {
    EXPECT_EQ(e.Line(), 2);
    EXPECT_EQ(e.Path(), "/title");
  }
}

}  // namespace
}  // namespace quillet::test
