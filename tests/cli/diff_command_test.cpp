// quillet-cli diff over reports built here: one table of changes between
// A and B (text, geometry with and without a tolerance, font, colour,
// picture bytes, objects and pages added), each with the exit code and the
// summary lines it must give; the JSON form; the marked page pictures; and
// the failures that exit 2.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

// What a side's template varies.
struct Parts {
  int priceLeft = 100;
  int fontSize = 10;
  std::string fill = "none";
  QColor logo = Qt::red;
};

std::string LogoBase64(const QColor& color) {
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes.toBase64().toStdString();
}

// A page header with a picture, and one row per record of "Items".
std::string TemplateText(const Parts& p) {
  return R"({"pages": [{"name": "Page1", "objects": [
    {"type": "band", "name": "Header", "kind": "pageHeader", "left": 0, "top": 0,
     "width": 600, "height": 30},
    {"type": "picture", "name": "Logo", "left": 10, "top": 4, "width": 20, "height": 20,
     "picture": {"kind": "bitmap", "data": ")" +
         LogoBase64(p.logo) + R"("}},
    {"type": "band", "name": "Rows", "kind": "masterData", "left": 0, "top": 40,
     "width": 600, "height": 20, "dataSource": "Items"},
    {"type": "memo", "name": "Price", "left": )" +
         std::to_string(p.priceLeft) + R"(, "top": 40, "width": 100, "height": 20,
     "text": ["[Items.\"Price\" #N0.2]"], "font": {"size": )" +
         std::to_string(p.fontSize) + R"(}, "fill": ")" + p.fill + R"("}
  ]}]})";
}

std::string Write(const std::string& name, const std::string& text) {
  const std::string path = test::OutputPath(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string Prices(int rows, int changedRow = 0, const std::string& changed = "") {
  std::string csv = "Id,Price\n";
  for (int i = 1; i <= rows; ++i)
    csv += std::to_string(i) + "," + (i == changedRow ? changed : std::to_string(i) + ".50") + "\n";
  return csv;
}

struct Change {
  const char* name;
  Parts a, b;
  std::string csvA, csvB;
  QStringList extra;
  int code;
  std::vector<std::string> lines;  // each found in the output
};

QStringList DiffArgs(const Change& c) {
  const std::string stem = std::string("diff_") + c.name;
  const std::string a = Write(stem + "_a.json", TemplateText(c.a));
  const std::string b = Write(stem + "_b.json", TemplateText(c.b));
  const std::string csvA = Write(stem + "_a.csv", c.csvA);
  const std::string csvB = Write(stem + "_b.csv", c.csvB);
  return QStringList{"diff",
                     QString::fromStdString(a),
                     QString::fromStdString(b),
                     "--csv",
                     QString::fromStdString("Items=" + csvA),
                     "--b-csv",
                     QString::fromStdString("Items=" + csvB)} +
         c.extra;
}

TEST(DiffCommand, EachKindOfChangeGivesItsLineAndExitCode) {
  Parts moved;
  moved.priceLeft = 102;
  Parts bigger;
  bigger.fontSize = 12;
  Parts yellow;
  yellow.fill = "#FFEE00";
  Parts blue;
  blue.logo = Qt::blue;
  const std::string three = Prices(3);
  const std::vector<Change> changes = {
      {"same", {}, {}, three, three, {}, 0, {"same: 1 page"}},
      {"price",
       {},
       {},
       three,
       Prices(3, 2, "2.05"),
       {},
       1,
       {"page 1, memo Price #2: text \"2.50\" → \"2.05\"", "1 difference (A: 1 page, B: 1 page)"}},
      {"moved",
       {},
       moved,
       three,
       three,
       {},
       1,
       {"page 1, memo Price #1: geometry 100,", "→ 102,", "3 differences"}},
      {"within_tolerance", {}, moved, three, three, {"--tolerance", "2"}, 0, {"same: 1 page"}},
      {"font",
       {},
       bigger,
       three,
       three,
       {},
       1,
       {"memo Price #3: font Arial 10pt #000000 → Arial 12pt #000000"}},
      {"fill", {}, yellow, three, three, {}, 1, {"memo Price #1: fill colour none → #FFEE00"}},
      {"picture",
       {},
       blue,
       three,
       three,
       {},
       1,
       {"page 1, picture Logo: picture ", " bytes, checksum "}},
      {"row_added", {}, {}, three, Prices(4), {}, 1, {"page 1, memo Price #4: only in B"}},
      {"row_removed", {}, {}, Prices(4), three, {}, 1, {"page 1, memo Price #4: only in A"}},
      {"pages", {}, {}, three, Prices(80), {}, 1, {"pages: 1 → 2", "page 2: only in B ("}},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.name);
    const test::CliRun run = test::RunCli(DiffArgs(c));
    EXPECT_EQ(run.code, c.code) << run.out << run.err;
    EXPECT_EQ(run.err, "");
    for (const std::string& line : c.lines)
      EXPECT_NE(run.out.find(line), std::string::npos) << "wanted: " << line << "\nout:\n"
                                                       << run.out;
  }
}

TEST(DiffCommand, PreparedFilesCompareAsTheirTemplatesDo) {
  const std::string json = Write("diff_frp.json", TemplateText({}));
  const std::string a = test::OutputPath("diff_frp_a.frp"), b = test::OutputPath("diff_frp_b.frp");
  for (const auto& [frp, csv] : {std::pair{a, Prices(3)}, std::pair{b, Prices(3, 1, "9")}}) {
    const std::string data = Write(frp + ".csv", csv);
    ASSERT_EQ(
        test::RunCli({"prepare", QString::fromStdString(json), "-o", QString::fromStdString(frp),
                      "--csv", QString::fromStdString("Items=" + data)})
            .code,
        0);
  }
  const test::CliRun same =
      test::RunCli({"diff", QString::fromStdString(a), QString::fromStdString(a)});
  EXPECT_EQ(same.code, 0) << same.err;
  const test::CliRun differ =
      test::RunCli({"diff", QString::fromStdString(a), QString::fromStdString(b)});
  EXPECT_EQ(differ.code, 1) << differ.err;
  EXPECT_NE(differ.out.find("memo Price #1: text \"1.50\" → \"9.00\""), std::string::npos)
      << differ.out;
  // A prepared file against a template prepared on the spot.
  const test::CliRun mixed =
      test::RunCli({"diff", QString::fromStdString(a), QString::fromStdString(json), "--csv",
                    QString::fromStdString("Items=" + a + ".csv")});
  EXPECT_EQ(mixed.code, 0) << mixed.out << mixed.err;
}

TEST(DiffCommand, JsonNamesEveryDifferenceWithItsPlace) {
  Change c{"json", {}, {}, Prices(3), Prices(3, 2, "2.05"), {"--json"}, 1, {}};
  const test::CliRun run = test::RunCli(DiffArgs(c));
  ASSERT_EQ(run.code, 1) << run.err;
  const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
  EXPECT_FALSE(doc["same"].toBool());
  EXPECT_EQ(doc["pages"].toObject()["a"].toInt(), 1);
  const QJsonArray differences = doc["differences"].toArray();
  ASSERT_EQ(differences.size(), 1) << run.out;
  const QJsonObject d = differences[0].toObject();
  EXPECT_EQ(d["page"].toInt(), 1);
  EXPECT_EQ(d["kind"].toString(), "memo");
  EXPECT_EQ(d["name"].toString(), "Price");
  EXPECT_EQ(d["occurrence"].toInt(), 2);
  EXPECT_EQ(d["property"].toString(), "text");
  EXPECT_EQ(d["a"].toString(), "2.50");
  EXPECT_EQ(d["b"].toString(), "2.05");
  EXPECT_EQ(d["rect"].toObject()["side"].toString(), "b");
  EXPECT_EQ(d["rect"].toObject()["left"].toInt(), 100);
}

// The changed memo is outlined in red just outside its rectangle; pages
// without a difference get no picture.
TEST(DiffCommand, PngMarksTheChangedObjectOnPageB) {
  const std::filesystem::path folder = test::OutputPath("diff_marks");
  std::filesystem::remove_all(folder);
  Change c{"png",
           {},
           {},
           Prices(80),
           Prices(80, 3, "3.05"),
           {"--json", "--png", QString::fromStdString(folder.string()), "--scale", "2"},
           1,
           {}};
  const test::CliRun run = test::RunCli(DiffArgs(c));
  ASSERT_EQ(run.code, 1) << run.err;
  EXPECT_TRUE(std::filesystem::exists(folder / "page-001.png"));
  EXPECT_FALSE(std::filesystem::exists(folder / "page-002.png"));
  const QJsonObject rect = QJsonDocument::fromJson(QByteArray::fromStdString(run.out))
                               .object()["differences"]
                               .toArray()[0]
                               .toObject()["rect"]
                               .toObject();
  const QImage image(QString::fromStdString((folder / "page-001.png").string()));
  ASSERT_FALSE(image.isNull());
  const int y = (rect["top"].toInt() + rect["height"].toInt() / 2) * 2;
  int red = 0;
  for (int x = rect["left"].toInt() * 2 - 4; x <= rect["left"].toInt() * 2; ++x)
    red += image.pixelColor(x, y) == QColor(220, 0, 0);
  EXPECT_GT(red, 0) << "no red mark left of the memo at y " << y;
  // The same memo on the unchanged row above carries no mark.
  const int above = y - 20 * 2;
  for (int x = rect["left"].toInt() * 2 - 4; x <= rect["left"].toInt() * 2; ++x)
    EXPECT_NE(image.pixelColor(x, above), QColor(220, 0, 0)) << x;
}

TEST(DiffCommand, FailuresExitTwoWithOneLine) {
  const std::string frp = Write("diff_damaged.frp", "not a prepared report");
  const std::string json = Write("diff_fail.json", TemplateText({}));
  const QString missing = QString::fromStdString(test::OutputPath("diff_missing.frp"));
  const std::vector<QStringList> failures = {
      {"diff", missing, missing},
      {"diff", QString::fromStdString(json)},
      {"diff", QString::fromStdString(frp), QString::fromStdString(frp)},
      {"diff", QString::fromStdString(json), QString::fromStdString(json)},  // no data set Items
      {"diff", QString::fromStdString(frp), QString::fromStdString(frp), "--csv", "Items=x.csv"},
      {"diff", QString::fromStdString(json), QString::fromStdString(json), "--tolerance", "1.5"},
      {"diff", QString::fromStdString(json), QString::fromStdString(json), "--scale", "2"},
  };
  for (const QStringList& args : failures) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const test::CliRun run = test::RunCli(args);
    EXPECT_EQ(run.code, 2) << run.out;
    EXPECT_EQ(run.ErrorLines(), 1) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace quillet
