// The data dictionary's stream form: current, earlier and older layouts.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "report/base/record_stream.h"
#include "report/template/data_dictionary.h"
#include "tests/report/data/data_support.h"
#include "tests/report/template/template_support.h"

namespace quillet::test {
namespace {

void ReadFrom(TfrDataDictionary& d, Stream& s) {
  RecordReader reader(s, kNamedRecordsVersion);
  d.ReadFromStream(reader);
}

void WriteDictionary(const TfrDataDictionary& d, Stream& s) {
  RecordWriter writer(s, kNamedRecordsVersion);
  d.WriteToStream(writer);
}

TfrDataDictionary ReadDictionary(const Bytes& b, std::uint64_t* left = nullptr) {
  MemoryStream s(b);
  TfrDataDictionary d{Engine()};
  ReadFrom(d, s);
  if (left) *left = s.Remaining();
  return d;
}

using TemplateDictionary = TemplateTest;

TEST_F(TemplateDictionary, WritesTheCurrentLayout) {
  TfrDataDictionary d{Engine()};
  d.VariableTable = {{"V", "1"}};
  d.BandSourceTable = {{"", "T"}};
  MemoryStream s;
  WriteDictionary(d, s);
  ByteWriter w;
  w.i16(-2).i32(1).str("V").str("1").i32(0).i32(1).str("").str("T");
  EXPECT_EQ(s.Bytes(), w.b);
  std::uint64_t left = 1;
  const TfrDataDictionary r = ReadDictionary(s.Bytes(), &left);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(r.VariableTable, d.VariableTable);
  EXPECT_TRUE(r.AliasTable.empty());
  EXPECT_EQ(r.BandSourceTable, d.BandSourceTable);
}

TEST_F(TemplateDictionary, EarlierLayoutDropsEmptyBandSourcesAndVanishedFields) {
  ByteWriter w;
  w.i16(-1).i32(1).str("V").str("");
  w.i32(3).str("Customer").str("Orders.\"Name\"").str("Gone").str("Old.\"X\"");
  w.str("Lost").str("Orders.Street");
  w.i32(2).str("A").str("").str("B").str("Table");
  // Aliases are checked against the registered data sets' fields.
  RowsDataset orders("Orders", {"Name"}, {});
  TfrDataDictionary d = ReadDictionary(w.b);
  EXPECT_EQ(d.VariableTable, (NameValueTable{{"V", ""}}));
  EXPECT_EQ(d.AliasTable, (NameValueTable{{"Customer", "Orders.\"Name\""}}));
  EXPECT_EQ(d.BandSourceTable, (NameValueTable{{"B", "Table"}}));

  MemoryStream s(w.b);
  TfrDataDictionary asked{Engine()};
  asked.FieldExists = [](const std::string& v) { return v == "Old.\"X\""; };
  ReadFrom(asked, s);
  EXPECT_EQ(asked.AliasTable, (NameValueTable{{"Gone", "Old.\"X\""}}));

  // The current layout keeps every alias.
  ByteWriter current;
  current.i16(-2).i32(0).i32(1).str("Gone").str("Old.\"X\"").i32(0);
  EXPECT_EQ(ReadDictionary(current.b).AliasTable.size(), 1u);
}

// Older dictionaries: aliases of fields and predefined names, then the list
// of variable names that pick them up.
TEST_F(TemplateDictionary, OlderLayoutBecomesVariables) {
  auto entry = [](ByteWriter& w, int kind, int index, const std::string& a, const std::string& b,
                  const std::string& c) {
    w.u8(std::uint8_t(kind)).i32(index);
    for (const std::string& s : {a, b, c}) {
      w.u8(std::uint8_t(s.size()));
      for (char ch : s) w.u8(std::uint8_t(ch));
    }
  };
  ByteWriter w;
  w.i32(5);
  entry(w, 1, 0, "Orders", "Name", "Customer");
  entry(w, 2, 2, "", "", "Today");
  entry(w, 2, 1, "", "Own", "Mine");
  entry(w, 2, 99, "", "", "Far");
  entry(w, 7, 0, "x", "y", "Other");
  w.i16(6).line(" Customer", 13).line("", 13).line(" Today", 13).line(" Mine", 13);
  w.line(" Far", 13).line(" Other", 0);
  std::uint64_t left = 1;
  const TfrDataDictionary d = ReadDictionary(w.b, &left);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(d.VariableTable, (NameValueTable{{" Customer", "Orders.\"Name\""},
                                             {"", ""},
                                             {" Today", "DATE"},
                                             {" Mine", "Own"},
                                             {" Far", ""},
                                             {" Other", ""}}));
}

TEST_F(TemplateDictionary, OlderLayoutNamesLoseOrGainTheirSpace) {
  ByteWriter w;
  w.i32(1).u8(2).i32(0).u8(0).u8(0).u8(1).u8('P');
  w.i16(2).line("Plain", 13).line(" P", 0);
  const TfrDataDictionary d = ReadDictionary(w.b);
  EXPECT_EQ(d.VariableTable, (NameValueTable{{" Plain", ""}, {"P", "PAGE#"}}));
}

TEST_F(TemplateDictionary, CountsBeyondTheStreamAreRefused) {
  for (std::int32_t count : {-1, 1000, 0x7FFFFFFF}) {
    ByteWriter current;
    current.i16(-2).i32(count).str("a").str("b");
    EXPECT_THROW(ReadDictionary(current.b), StreamReadError) << count;
    ByteWriter older;
    older.i32(count).u8(1);
    EXPECT_THROW(ReadDictionary(older.b), StreamReadError) << count;
  }
}

TEST_F(TemplateDictionary, DictionaryCutShortLeavesNoHalfTables) {
  ByteWriter w;
  w.i16(-2).i32(1).str("V").str("1").i32(1).str("A");
  MemoryStream s(w.b);
  TfrDataDictionary d{Engine()};
  d.AliasTable = {{"x", "y"}};
  EXPECT_THROW(ReadFrom(d, s), StreamReadError);
  EXPECT_TRUE(d.IsEmpty());
}

TEST_F(TemplateDictionary, ReadingReplacesTheTables) {
  TfrDataDictionary d{Engine()};
  d.AliasTable = {{"x", "y"}};
  ByteWriter w;
  w.i16(-2).i32(0).i32(0).i32(0);
  MemoryStream s(w.b);
  ReadFrom(d, s);
  EXPECT_TRUE(d.IsEmpty());
}

}  // namespace
}  // namespace quillet::test
