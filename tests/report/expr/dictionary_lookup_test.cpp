// The data dictionary's names while a report prepares: variables naming
// fields and the lookup cache, references through the aliases, user
// variables winning over dictionary values, the cache forgetting data sets
// that went away, script assignments, and the data set of a band's level.
#include <gtest/gtest.h>

#include <memory>

#include "report/expr/components.h"
#include "report/expr/expression_globals.h"
#include "report/template/data_dictionary.h"
#include "tests/report/data/data_support.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

std::unique_ptr<RowsDataset> Items() {
  return std::make_unique<RowsDataset>(
      "Items", std::vector<std::string>{"Item", "Price", "Net.Price"},
      std::vector<RowsDataset::Row>{{"pen", 1, 10}, {"ink", 3, 30}, {"pad", 5, 50}});
}

class DictionaryLookup : public FormationTest {
 protected:
  void SetUp() override {
    FormationTest::SetUp();
    items = Items();
    items->Dataset().First();
  }
  std::unique_ptr<RowsDataset> items;
  TfrDataDictionary dictionary{Engine()};
};

TEST_F(DictionaryLookup, VariableNamingAFieldIsCachedAndFollowsTheRecord) {
  dictionary.VariableTable = {{"Cost", "Items.\"Price\""}, {"Sum", "1 + 2"}, {"Blank", ""}};
  ASSERT_TRUE(dictionary.IsDictionaryName("COST"));
  ASSERT_EQ(dictionary.LookupCache.count("cost"), 1u);
  EXPECT_EQ(dictionary.LookupCache.at("Cost").DataSet, items.get());
  EXPECT_EQ(dictionary.LookupCache.at("Cost").FieldName, "Price");
  EXPECT_EQ(dictionary.LookupValue("COST").AsInteger(), 1);
  items->Dataset().Next();
  EXPECT_EQ(dictionary.LookupValue("Cost").AsInteger(), 3);

  // Variables that name no field are known but not cached.
  EXPECT_TRUE(dictionary.IsDictionaryName("Sum"));
  EXPECT_TRUE(dictionary.IsDictionaryName("Blank"));
  EXPECT_EQ(dictionary.LookupCache.size(), 1u);
  EXPECT_EQ(dictionary.LookupValue("Sum").AsInteger(), 3);
  EXPECT_EQ(dictionary.LookupValue("Blank"), Variant(std::string()));
  EXPECT_FALSE(dictionary.IsDictionaryName("Other"));
}

TEST_F(DictionaryLookup, UserVariablesWinOverDictionaryValuesButNotOverFields) {
  dictionary.VariableTable = {{"Rate", "2"}, {"Cost", "Items.Price"}};
  Expressions(Engine()).GlobalVariables.SetValue("Rate", Variant(7));
  Expressions(Engine()).GlobalVariables.SetValue("Cost", Variant(8));
  ASSERT_TRUE(dictionary.IsDictionaryName("RATE"));
  EXPECT_EQ(dictionary.LookupValue("RATE").AsInteger(), 7);
  ASSERT_TRUE(dictionary.IsDictionaryName("COST"));
  EXPECT_EQ(dictionary.LookupValue("COST").AsInteger(), 1);
}

TEST_F(DictionaryLookup, DottedReferencesResolveThroughTheAliases) {
  dictionary.AliasTable = {{"Goods", "Items"}, {"Cost", "Items.\"Price\""}};
  items->Dataset().Next();
  for (const char* name : {"ITEMS.PRICE", "Items.\"Price\"", "GOODS.COST", "Goods.Item"}) {
    EXPECT_TRUE(dictionary.IsDictionaryName(name)) << name;
    EXPECT_EQ(dictionary.LookupCache.count(name), 1u) << name;
  }
  EXPECT_EQ(dictionary.LookupValue("GOODS.COST").AsInteger(), 3);
  EXPECT_EQ(dictionary.LookupValue("Goods.Item"), Variant("ink"));
  // A quoted field name may hold a dot.
  EXPECT_TRUE(dictionary.IsDictionaryName("Items.\"Net.Price\""));
  EXPECT_EQ(dictionary.LookupValue("Items.\"Net.Price\"").AsInteger(), 30);

  const std::size_t cached = dictionary.LookupCache.size();
  for (const char* name : {"ITEMS.NOPE", "MEMO1.LEFT", "NOBODY.PRICE", "Items."}) {
    EXPECT_FALSE(dictionary.IsDictionaryName(name)) << name;
  }
  EXPECT_EQ(dictionary.LookupCache.size(), cached);
}

// A cached field must never reach a data set that is gone: once the
// registered data sets change, the names are resolved anew.
TEST_F(DictionaryLookup, CacheForgetsDataSetsThatWentAway) {
  dictionary.VariableTable = {{"Cost", "Items.Price"}};
  ASSERT_TRUE(dictionary.IsDictionaryName("Cost"));
  ASSERT_EQ(dictionary.LookupCache.size(), 1u);
  items.reset();
  EXPECT_TRUE(dictionary.IsDictionaryName("Cost"));  // still a variable
  EXPECT_TRUE(dictionary.LookupCache.empty());

  // A new data set of that name takes the old one's place.
  RowsDataset again("Items", {"Price"}, {{42}});
  again.Dataset().First();
  ASSERT_TRUE(dictionary.IsDictionaryName("Cost"));
  EXPECT_EQ(dictionary.LookupValue("Cost").AsInteger(), 42);
}

// A name found to be no field is remembered as such (a bracket's expression
// asks for every record) only until the data sets or the forms change.
TEST_F(DictionaryLookup, NoFieldAnswersAreForgottenWhenDataSetsOrFormsChange) {
  struct Form : NamedComponent {
    NamedComponent* owned = nullptr;
    std::string ComponentName() const override { return "Form"; }
    NamedComponent* FindOwned(std::string_view name) override {
      return EqualsIgnoreCase(name, "Data") ? owned : nullptr;
    }
  } form;
  RowsDataset data("Data", {"Qty"}, {{7}});
  data.Dataset().First();
  form.owned = &data;

  for (int twice = 0; twice < 2; ++twice) {
    EXPECT_FALSE(dictionary.IsDictionaryName("Later.\"Qty\""));
    EXPECT_FALSE(dictionary.IsDictionaryName("Form.Data.\"Qty\""));
    EXPECT_FALSE(dictionary.IsDictionaryName("Items.\"Price\" * 1.5"));
  }
  {
    RowsDataset later("Later", {"Qty"}, {{4}});
    later.Dataset().First();
    ASSERT_TRUE(dictionary.IsDictionaryName("LATER.\"QTY\""));
    EXPECT_EQ(dictionary.LookupValue("later.\"qty\"").AsInteger(), 4);
  }
  EXPECT_FALSE(dictionary.IsDictionaryName("Later.\"Qty\""));

  RegisterGlobalComponent(&form);
  EXPECT_TRUE(dictionary.IsDictionaryName("Form.Data.\"Qty\""));
  EXPECT_EQ(dictionary.LookupValue("Form.Data.\"Qty\"").AsInteger(), 7);
  UnregisterGlobalComponent(&form);
  EXPECT_FALSE(dictionary.IsDictionaryName("Form.Data.\"Qty\""));
  EXPECT_FALSE(dictionary.IsDictionaryName("Items.\"Price\" * 1.5"));
}

TEST_F(DictionaryLookup, AssigningAVariableForgetsItsField) {
  dictionary.VariableTable = {{"Cost", "Items.Price"}};
  ASSERT_TRUE(dictionary.IsDictionaryName("Cost"));
  EXPECT_TRUE(dictionary.SetVariableValue("COST", "5 * 2"));
  EXPECT_TRUE(dictionary.LookupCache.empty());
  ASSERT_TRUE(dictionary.IsDictionaryName("Cost"));
  EXPECT_EQ(dictionary.LookupValue("Cost").AsInteger(), 10);
  EXPECT_FALSE(dictionary.SetVariableValue("Missing", "1"));

  ASSERT_TRUE(dictionary.IsDictionaryName("Items.Price"));
  dictionary.Clear();
  EXPECT_TRUE(dictionary.LookupCache.empty());
}

// A bare (quoted) field name belongs to the data set of the band's level.
TEST_F(DictionaryLookup, BareFieldNamesStartFromTheDataLevel) {
  dictionary.VariableTable = {{"Net", "\"Net.Price\""}};
  ASSERT_TRUE(dictionary.IsDictionaryName("Net"));
  EXPECT_TRUE(dictionary.LookupCache.empty());  // no level data set to start from
  dictionary.DataLevelDataset = [this] { return items.get(); };
  ASSERT_TRUE(dictionary.IsDictionaryName("Net"));
  EXPECT_EQ(dictionary.LookupValue("Net").AsInteger(), 10);
}

TEST_F(DictionaryLookup, ReportDataBandsReadFieldsThroughTheDictionary) {
  TfrReport report;
  report.Template.Dictionary.VariableTable = {{"Net", "\"Net.Price\""}, {"Cost", "Items.Price"}};
  report.Template.Dictionary.AliasTable = {{"Goods", "Items"}};
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 20).FormatText = "Items";
  b.Memo("Row", 0, 2, 300, 16, {"[Goods.Item] [Net] [Cost]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(Texts(report, "Row"), (StringList{"pen 10 1", "ink 30 3", "pad 50 5"}));
}

// Each build resolves its names afresh: a cache filled before (here by
// hand, pointing at another data set) is not used.
TEST_F(DictionaryLookup, BuildingPagesStartsWithAnEmptyCache) {
  RowsDataset other("Other", {"Price"}, {{99}});
  other.Dataset().First();
  TfrReport report;
  report.Template.Dictionary.VariableTable = {{"Cost", "Items.Price"}};
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 20).FormatText = "Items";
  b.Memo("Row", 0, 2, 300, 16, {"[Cost]"});
  report.Template.Dictionary.ClearCache();
  report.Template.Dictionary.LookupCache["Cost"] = TfrCacheItem{&other, "Price"};
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(Texts(report, "Row"), (StringList{"1", "3", "5"}));
}

TEST_F(DictionaryLookup, ScriptAssignmentReplacesACachedField) {
  TfrReport report;
  report.Template.Dictionary.VariableTable = {{"Cost", "Items.Price"}};
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 20).FormatText = "Items";
  b.Memo("Before", 0, 2, 100, 16, {"[Cost]"});
  b.Memo("Change", 100, 2, 100, 16, {"x"}).ScriptLines = {"if Items.Item = 'ink' then Cost := 77"};
  b.Memo("After", 200, 2, 100, 16, {"[Cost]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(Texts(report, "Before"), (StringList{"1", "3", "77"}));
  EXPECT_EQ(Texts(report, "After"), (StringList{"1", "77", "77"}));
}

}  // namespace
}  // namespace quillet::test
