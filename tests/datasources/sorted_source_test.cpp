// Sorting a data set's rows by columns: the keys as written, values by type,
// and a CSV file sorted before a data set steps it.
#include "datasources/sorted_source.h"

#include <gtest/gtest.h>

#include <fstream>

#include "datasources/csv_source.h"
#include "datasources/field_types.h"
#include "datasources/source_dataset.h"
#include "platform/errors.h"
#include "tests/support.h"

namespace quillet::test {
namespace {

TEST(SortKeys, ColumnsWithOptionalDirections) {
  struct Case {
    const char* text;
    std::vector<SortKey> keys;
  };
  const Case cases[] = {
      {"Category", {{"Category", false}}},
      {"Category,Name DESC", {{"Category", false}, {"Name", true}}},
      {" Category asc , Unit Price Desc ", {{"Category", false}, {"Unit Price", true}}},
      {"Descent", {{"Descent", false}}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseSortKeys(c.text), c.keys) << c.text;
  for (const char* bad : {"", ",", "Category,", "DESC", "Name,,Price"})
    EXPECT_THROW(ParseSortKeys(bad), EngineError) << bad;
}

TEST(SortValues, EmptyThenNumbersThenDatesThenTextsEachByItsOwnOrder) {
  // In ascending order; neighbours differ.
  const Variant ordered[] = {
      Variant(""),
      Variant(std::int64_t(-3)),
      Variant(2.5),
      Variant(10),
      TypedFieldValue("2023-12-31"),
      TypedFieldValue("2024-01-02"),
      Variant("apple"),
      Variant("Banana"),
      Variant("banana"),
      Variant("cherry"),
  };
  const std::size_t n = std::size(ordered);
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) {
      const int c = CompareSortValues(ordered[i], ordered[j]);
      EXPECT_EQ(c < 0, i < j) << i << " " << j;
      EXPECT_EQ(c == 0, i == j) << i << " " << j;
    }
  // An integer and a decimal of the same value are one group.
  EXPECT_EQ(CompareSortValues(Variant(2), Variant(2.0)), 0);
  EXPECT_EQ(CompareSortValues(Variant::Null(), Variant("")), 0);
}

// A RowSource over rows given here.
class ListSource : public RowSource {
 public:
  ListSource(std::vector<std::string> columns, std::vector<std::vector<Variant>> rows)
      : columns_(std::move(columns)), rows_(std::move(rows)) {}
  const std::vector<std::string>& Columns() const override { return columns_; }
  void Rewind() override {
    next_ = 0;
    ++rewinds;
  }
  bool Read(std::vector<Variant>& row) override {
    if (next_ >= rows_.size()) return false;
    row = rows_[next_++];
    return true;
  }
  int rewinds = 0;

 private:
  std::vector<std::string> columns_;
  std::vector<std::vector<Variant>> rows_;
  std::size_t next_ = 0;
};

std::vector<std::string> ReadAll(RowSource& source) {
  std::vector<std::string> out;
  std::vector<Variant> row;
  source.Rewind();
  while (source.Read(row)) {
    std::string line;
    for (const Variant& v : row) line += (line.empty() ? "" : "|") + v.AsText();
    out.push_back(line);
  }
  return out;
}

TEST(SortedSource, SortsByEachKeyInTurnAndKeepsTheOrderOfEqualRows) {
  auto list = std::make_unique<ListSource>(std::vector<std::string>{"Id", "Category", "Price"},
                                           std::vector<std::vector<Variant>>{{1, "pens", 2.5},
                                                                             {2, "Paper", 10},
                                                                             {3, "pens", 9},
                                                                             {4, "ink", 2.5},
                                                                             {5, "paper", 10},
                                                                             {6, "Pens", 2.5}});
  ListSource* inner = list.get();
  // Texts differing in letter case only sort together but stay apart from
  // each other ("Pens" before "pens"), as a group condition tells them apart.
  SortedSource sorted(std::move(list), ParseSortKeys("category, PRICE desc"), "Items");
  const std::vector<std::string> expected = {"4|ink|2.5",  "2|Paper|10", "5|paper|10",
                                             "6|Pens|2.5", "3|pens|9",   "1|pens|2.5"};
  EXPECT_EQ(ReadAll(sorted), expected);
  // Read again from the start without reading the source again.
  EXPECT_EQ(ReadAll(sorted), expected);
  EXPECT_EQ(inner->rewinds, 1);
  EXPECT_EQ(sorted.Columns(), (std::vector<std::string>{"Id", "Category", "Price"}));
}

TEST(SortedSource, AKeyNamingNoColumnNamesTheDataSetAndTheColumns) {
  try {
    SortedSource(std::make_unique<ListSource>(std::vector<std::string>{"Id", "Name"},
                                              std::vector<std::vector<Variant>>{}),
                 ParseSortKeys("Name,Categry"), "the data set Items (items.csv)");
    FAIL() << "no error";
  } catch (const EngineError& e) {
    EXPECT_STREQ(e.what(),
                 "cannot sort the data set Items (items.csv) by 'Categry': it has no such column "
                 "(its columns: Id, Name)");
  }
}

TEST(SortedSource, ACsvDataSetStepsInSortedOrderWithNumbersAndDatesByValue) {
  const std::string path = OutputPath("sorted_source.csv");
  std::ofstream(path, std::ios::binary) << "Name,Price,Sold\n"
                                           "b,10,2024-03-01\n"
                                           "a,9.5,2024-01-15\n"
                                           "c,100,2023-12-31\n"
                                           "d,,2024-01-02\n";
  SourceDataset byPrice("Items", std::make_unique<SortedSource>(std::make_unique<CsvSource>(path),
                                                                ParseSortKeys("Price"), "Items"));
  std::vector<std::string> names;
  TfrDataset& d = byPrice.Dataset();
  for (d.First(); !d.Eof(); d.Next()) names.push_back(byPrice.FieldValue("Name").AsText());
  EXPECT_EQ(names, (std::vector<std::string>{"d", "a", "b", "c"}));  // 100 after 10 and 9.5

  SourceDataset bySold("Items",
                       std::make_unique<SortedSource>(std::make_unique<CsvSource>(path),
                                                      ParseSortKeys("Sold DESC"), "Items"));
  names.clear();
  TfrDataset& s = bySold.Dataset();
  for (s.First(); !s.Eof(); s.Next()) names.push_back(bySold.FieldValue("Name").AsText());
  EXPECT_EQ(names, (std::vector<std::string>{"b", "a", "d", "c"}));
}

}  // namespace
}  // namespace quillet::test
