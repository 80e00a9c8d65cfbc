// The incremental update that gives a PDF its document information, outline
// and page labels: a PDF Qt wrote, updated, read back object by object, and
// read by poppler (pdfinfo for the information and the cross-references,
// pdftohtml for the outline).
#include "platform/pdf_document_update.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <fstream>
#include <iterator>
#include <tuple>

#include "platform/errors.h"
#include "platform/pdf_objects.h"
#include "tests/support.h"

namespace quillet {
namespace {

// `pages` A4 pages, each with its number written on it.
std::string QtPdf(int pages) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    for (int i = 1; i <= pages; ++i) {
      if (i > 1) writer.newPage();
      painter.drawText(200, 200, QStringLiteral("Page text %1").arg(i));
    }
  }
  return bytes.toStdString();
}

std::string Field(const PdfDictionary& d, const char* key) {
  return PdfLookup(d, key).value_or("(none)");
}

struct Tool {
  int code = -1;
  std::string out, err;
};

// A poppler tool on `pdf` (written to a file of that name), or a skip.
Tool RunTool(const char* program, const QStringList& args, const std::string& pdf,
             const std::string& name) {
  const std::string path = test::OutputPath(name);
  std::ofstream(path, std::ios::binary) << pdf;
  Tool t;
  if (QStandardPaths::findExecutable(program).isEmpty()) return t;
  QProcess p;
  p.start(program, QStringList(args) << QString::fromStdString(path));
  p.waitForFinished(60000);
  t.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  t.out = p.readAllStandardOutput().toStdString();
  t.err = p.readAllStandardError().toStdString();
  return t;
}

// The value pdfinfo gives for `key`, or "(none)".
std::string InfoLine(const std::string& info, const std::string& key) {
  const std::size_t at = info.find("\n" + key + ":");
  if (at == std::string::npos && info.rfind(key + ":", 0) != 0) return "(none)";
  const std::size_t start = at == std::string::npos ? 0 : at + 1;
  const std::size_t value = info.find_first_not_of(' ', start + key.size() + 1);
  return info.substr(value, info.find('\n', value) - value);
}

PdfDocumentExtras Extras() {
  PdfDocumentExtras e;
  e.Title = "Articles by category";
  e.Author = "Zoë Ünal";
  e.Subject = "Склад 😀";
  e.Creator = "Quillet";
  // A deeper item first nests one step; the one on page 9 is left out.
  e.Outline = {{"Art supplies", 0, 800, 0}, {"Brushes", 0, 700, 2},  {"Pens", 1, 780.5, 0},
               {"Ball pens", 1, 500, 1},    {"Gel pens", 2, 800, 1}, {"Gone", 9, 0, 0},
               {"Paper", 2, 400, 0}};
  e.PageLabels = {{0, 4}, {2, 9}};
  return e;
}

TEST(PdfDocumentUpdate, ReadsBackWhatItAddedAndKeepsEveryByteBefore) {
  const std::string pdf = QtPdf(3);
  const PdfObjects before(pdf);
  const std::string whole = pdf + PdfDocumentUpdate(pdf, Extras());
  ASSERT_EQ(whole.compare(0, pdf.size(), pdf), 0);

  const PdfObjects after(whole);
  const std::vector<PdfRef> pages = after.Pages();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(Field(after.Trailer(), "Prev"), std::to_string(before.XrefOffset()));
  EXPECT_EQ(Field(after.Trailer(), "Root"), Field(before.Trailer(), "Root"));
  EXPECT_GT(after.Size(), before.Size());

  const PdfDictionary info = after.Dictionary(PdfParseRef(Field(after.Trailer(), "Info")));
  EXPECT_EQ(Field(info, "Title"), PdfTextString("Articles by category"));
  EXPECT_EQ(Field(info, "Author"), PdfTextString("Zoë Ünal"));
  EXPECT_EQ(Field(info, "Subject"), PdfTextString("Склад 😀"));
  EXPECT_EQ(Field(info, "Creator"), PdfTextString("Quillet"));
  EXPECT_NE(Field(info, "Producer"), "(none)");  // Qt's, kept

  const PdfDictionary catalog = after.Dictionary(PdfParseRef(Field(after.Trailer(), "Root")));
  EXPECT_EQ(Field(catalog, "Pages"),
            Field(before.Dictionary(PdfParseRef(Field(before.Trailer(), "Root"))), "Pages"));
  EXPECT_EQ(Field(catalog, "PageLabels"), "<< /Nums [0 << /S /D /St 4 >> 2 << /S /D /St 9 >>] >>");
  EXPECT_EQ(Field(catalog, "PageMode"), "/UseOutlines");

  // The outline, walked: titles, nesting, counts and destinations.
  const PdfDictionary root = after.Dictionary(PdfParseRef(Field(catalog, "Outlines")));
  EXPECT_EQ(Field(root, "Count"), "3");
  struct Seen {
    std::string title, count, dest;
    int depth;
  };
  std::vector<Seen> seen;
  auto walk = [&](auto& self, const std::string& first, int depth) -> void {
    for (std::string at = first; at != "(none)";) {
      const PdfDictionary item = after.Dictionary(PdfParseRef(at));
      seen.push_back({Field(item, "Title"), Field(item, "Count"), Field(item, "Dest"), depth});
      if (PdfLookup(item, "First")) self(self, Field(item, "First"), depth + 1);
      at = Field(item, "Next");
    }
  };
  walk(walk, Field(root, "First"), 0);
  auto page = [&](int i) {
    return std::to_string(pages[std::size_t(i)].Number) + " " +
           std::to_string(pages[std::size_t(i)].Generation) + " R";
  };
  const std::vector<std::tuple<std::string, std::string, std::string, int>> expected = {
      {"Art supplies", "-1", "[" + page(0) + " /XYZ 0 800.00 null]", 0},
      {"Brushes", "(none)", "[" + page(0) + " /XYZ 0 700.00 null]", 1},
      {"Pens", "-2", "[" + page(1) + " /XYZ 0 780.50 null]", 0},
      {"Ball pens", "(none)", "[" + page(1) + " /XYZ 0 500.00 null]", 1},
      {"Gel pens", "(none)", "[" + page(2) + " /XYZ 0 800.00 null]", 1},
      {"Paper", "(none)", "[" + page(2) + " /XYZ 0 400.00 null]", 0}};
  ASSERT_EQ(seen.size(), expected.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].title, PdfTextString(std::get<0>(expected[i])));
    EXPECT_EQ(seen[i].count, std::get<1>(expected[i]));
    EXPECT_EQ(seen[i].dest, std::get<2>(expected[i]));
    EXPECT_EQ(seen[i].depth, std::get<3>(expected[i]));
  }
}

TEST(PdfDocumentUpdate, PopplerReadsTheInformationTheOutlineAndTheText) {
  if (QStandardPaths::findExecutable("pdfinfo").isEmpty()) GTEST_SKIP() << "no pdfinfo";
  const std::string pdf = QtPdf(3);
  const std::string whole = pdf + PdfDocumentUpdate(pdf, Extras());
  const Tool info = RunTool("pdfinfo", {"-enc", "UTF-8"}, whole, "pdf_update_info.pdf");
  EXPECT_EQ(info.code, 0) << info.err;
  EXPECT_EQ(info.err, "");  // no syntax error: the cross-references hold
  EXPECT_EQ(InfoLine(info.out, "Title"), "Articles by category") << info.out;
  EXPECT_EQ(InfoLine(info.out, "Author"), "Zoë Ünal");
  EXPECT_EQ(InfoLine(info.out, "Subject"), "Склад 😀");
  EXPECT_EQ(InfoLine(info.out, "Pages"), "3");

  const Tool text = RunTool("pdftotext", {"-enc", "UTF-8"}, whole, "pdf_update_text.pdf");
  EXPECT_EQ(text.code, 0) << text.err;
  std::ifstream extracted(test::OutputPath("pdf_update_text.txt"));
  const std::string all((std::istreambuf_iterator<char>(extracted)), {});
  EXPECT_NE(all.find("Page text 3"), std::string::npos) << all;

  if (QStandardPaths::findExecutable("pdftohtml").isEmpty()) return;
  const Tool html =
      RunTool("pdftohtml", {"-xml", "-i", "-stdout", "-q"}, whole, "pdf_update_outline.pdf");
  EXPECT_EQ(html.code, 0) << html.err;
  const std::size_t outline = html.out.find("<outline>");
  ASSERT_NE(outline, std::string::npos) << html.out;
  std::string items;
  for (std::size_t at = html.out.find("<item", outline); at != std::string::npos;
       at = html.out.find("<item", at + 1)) {
    const std::size_t open = html.out.find('>', at) + 1;
    items += html.out.substr(at, open - at) +
             html.out.substr(open, html.out.find('<', open) - open) + ";";
  }
  EXPECT_EQ(items,
            "<item page=\"1\">Art supplies;<item page=\"1\">Brushes;<item page=\"2\">Pens;"
            "<item page=\"2\">Ball pens;<item page=\"3\">Gel pens;<item page=\"3\">Paper;");
}

TEST(PdfDocumentUpdate, AnUpdatedFileTakesAnotherUpdate) {
  const std::string pdf = QtPdf(3);
  const std::string once = pdf + PdfDocumentUpdate(pdf, Extras());
  PdfDocumentExtras second;
  second.Title = "Second";
  const std::string twice = once + PdfDocumentUpdate(once, second);
  const PdfObjects file(twice);
  EXPECT_EQ(file.Pages().size(), 3u);
  const PdfDictionary info = file.Dictionary(PdfParseRef(Field(file.Trailer(), "Info")));
  EXPECT_EQ(Field(info, "Title"), PdfTextString("Second"));
  EXPECT_EQ(Field(info, "Author"), PdfTextString("Zoë Ünal"));  // from the first update
  const PdfDictionary catalog = file.Dictionary(PdfParseRef(Field(file.Trailer(), "Root")));
  EXPECT_FALSE(PdfLookup(catalog, "Outlines"));  // the second has none
  EXPECT_FALSE(PdfLookup(catalog, "PageLabels"));
}

TEST(PdfDocumentUpdate, TextStringsAreUtf16WithByteOrderMark) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "<FEFF>"},          {"Ab", "<FEFF00410062>"},    {"é€", "<FEFF00E920AC>"},
      {"😀", "<FEFFD83DDE00>"}, {"a\xFF", "<FEFF0061FFFD>"},  // a byte that is no UTF-8
  };
  for (const auto& [text, hex] : cases) EXPECT_EQ(PdfTextString(text), hex) << text;
}

TEST(PdfDocumentUpdate, LabelRangesStartWhereTheNumbersJump) {
  struct Case {
    std::vector<int> numbers;
    std::vector<std::pair<int, int>> ranges;  // first page, start
  };
  const Case cases[] = {
      {{}, {}},
      {{1, 2, 3}, {{0, 1}}},
      {{3, 4, 5}, {{0, 3}}},
      {{1, 3, 4, 9}, {{0, 1}, {1, 3}, {3, 9}}},
      {{2, 1}, {{0, 2}, {1, 1}}},  // numbering that starts again
  };
  for (const Case& c : cases) {
    std::vector<std::pair<int, int>> got;
    for (const PdfPageLabelRange& r : DecimalPageLabels(c.numbers))
      got.emplace_back(r.FirstPage, r.Start);
    EXPECT_EQ(got, c.ranges);
  }
}

TEST(PdfDocumentUpdate, RefusesWhatItCannotFollowLoudly) {
  const std::string pdf = QtPdf(1);
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;
  };
  std::string badOffset = pdf;  // startxref names the start of the file
  const std::size_t number = badOffset.rfind("startxref") + 10;
  badOffset.replace(number, badOffset.find('\n', number) - number, "0");
  const Case cases[] = {
      {"not a PDF", "hello", "no startxref"},
      {"cut short", pdf.substr(0, pdf.size() / 2), "no startxref"},
      {"xref moved", badOffset, "PDF structure"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      PdfDocumentUpdate(c.bytes, {});
      ADD_FAILURE() << "accepted";
    } catch (const StreamReadError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  PdfDocumentExtras labels;
  labels.PageLabels = {{1, 1}};  // the first range must start at page 0
  EXPECT_THROW(PdfDocumentUpdate(pdf, labels), RangeError);
  labels.PageLabels = {{0, 1}, {0, 5}};
  EXPECT_THROW(PdfDocumentUpdate(pdf, labels), RangeError);
}

}  // namespace
}  // namespace quillet
