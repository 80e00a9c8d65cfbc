// A PDF a reader can find its way in: the grouped example rendered with its
// document information (from the template, or the command line over it),
// a bookmark per category, and page labels as the report numbers its pages,
// all read back by poppler's tools.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

const fs::path kRoot = fs::path(QUILLET_TEST_DATA) / ".." / "..";

const QStringList kGroupedData = {
    "--db", "examples/data/shop.sqlite", "--dataset",
    "Products=SELECT name, category, unit, price FROM products ORDER BY category, name"};

test::CliRun Cli(const QStringList& args) {
  test::CliOptions options;
  options.workingDirectory = QString::fromStdString(kRoot.string());
  return test::RunCli(args, options);
}

test::CliRun Tool(const char* program, QStringList args, const std::string& pdf) {
  QProcess p;
  p.start(program, args << QString::fromStdString(pdf));
  p.waitForFinished(60000);
  const bool normal = p.exitStatus() == QProcess::NormalExit;
  return {normal, normal ? p.exitCode() : -1, p.readAllStandardOutput().toStdString(),
          p.readAllStandardError().toStdString()};
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The value pdfinfo gives for `key`, or "(none)".
std::string InfoLine(const std::string& info, const std::string& key) {
  const std::size_t at = info.find(key + ":");
  if (at == std::string::npos) return "(none)";
  const std::size_t value = info.find_first_not_of(' ', at + key.size() + 1);
  return info.substr(value, info.find('\n', value) - value);
}

// The outline as pdftohtml reads it: "page:title" for each item.
std::string Outline(const std::string& pdf) {
  const test::CliRun html = Tool("pdftohtml", {"-xml", "-i", "-stdout", "-q"}, pdf);
  EXPECT_EQ(html.code, 0) << html.err;
  std::string items;
  const std::size_t outline = html.out.find("<outline>");
  if (outline == std::string::npos) return items;
  for (std::size_t at = html.out.find("<item page=\"", outline); at != std::string::npos;
       at = html.out.find("<item page=\"", at + 1)) {
    const std::size_t page = at + 12;
    const std::size_t open = html.out.find('>', at) + 1;
    items += html.out.substr(page, html.out.find('"', page) - page) + ":" +
             html.out.substr(open, html.out.find('<', open) - open) + ";";
  }
  return items;
}

class PdfDocument : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"pdfinfo", "pdftotext", "pdftohtml"})
      if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << "no " << tool;
  }
};

TEST_F(PdfDocument, GroupedExampleCarriesItsInformationOutlineAndLabels) {
  const std::string pdf = test::OutputPath("pdf_document_grouped.pdf");
  const test::CliRun run = Cli(QStringList{"render", "examples/grouped_list.json", "--pdf",
                                           QString::fromStdString(pdf), "--author", "Ana Núñez"}
                               << kGroupedData);
  ASSERT_EQ(run.code, 0) << run.err;

  const test::CliRun info = Tool("pdfinfo", {"-enc", "UTF-8"}, pdf);
  EXPECT_EQ(info.code, 0) << info.err;
  EXPECT_EQ(info.err, "");
  EXPECT_EQ(InfoLine(info.out, "Title"), "Articles by category");  // the template's
  EXPECT_EQ(InfoLine(info.out, "Author"), "Ana Núñez");            // the option over it
  EXPECT_EQ(InfoLine(info.out, "Subject"), "The stationery shop's articles and their prices");
  EXPECT_EQ(InfoLine(info.out, "Creator"), "Quillet");
  EXPECT_EQ(InfoLine(info.out, "Pages"), "3");

  EXPECT_EQ(Outline(pdf),
            "1:Art supplies;1:Envelopes;1:Filing;2:Notebooks;2:Office supplies;2:Paper;"
            "3:Pencils;3:Pens;");
  const std::string bytes = FileText(pdf);
  EXPECT_NE(bytes.find("/PageLabels << /Nums [0 << /S /D /St 1 >>] >>"), std::string::npos);

  const test::CliRun text = Tool("pdftotext", {"-enc", "UTF-8", "-l", "1"}, pdf);
  EXPECT_EQ(text.code, 0) << text.err;
  EXPECT_NE(FileText(pdf.substr(0, pdf.size() - 4) + ".txt").find("Art supplies"),
            std::string::npos);
}

TEST_F(PdfDocument, SelectedPagesKeepTheReportsNumbersAndTheirBookmarks) {
  const std::string pdf = test::OutputPath("pdf_document_pages.pdf");
  const test::CliRun run =
      Cli(QStringList{"render", "examples/grouped_list.json", "--pdf", QString::fromStdString(pdf),
                      "--pages", "1,3", "--title", "", "--subject", "Кратко"}
          << kGroupedData);
  ASSERT_EQ(run.code, 0) << run.err;
  const test::CliRun info = Tool("pdfinfo", {"-enc", "UTF-8"}, pdf);
  EXPECT_EQ(info.code, 0) << info.err;
  EXPECT_EQ(InfoLine(info.out, "Subject"), "Кратко");
  EXPECT_EQ(InfoLine(info.out, "Pages"), "2");
  EXPECT_EQ(Outline(pdf), "1:Art supplies;1:Envelopes;1:Filing;2:Pencils;2:Pens;");
  EXPECT_NE(FileText(pdf).find("/PageLabels << /Nums [0 << /S /D /St 1 >> 1 << /S /D /St 3 >>] >>"),
            std::string::npos);
}

TEST_F(PdfDocument, APreparedFileKeepsNoOutlineButTakesTheOptions) {
  const std::string frp = test::OutputPath("pdf_document_grouped.frp");
  const std::string pdf = test::OutputPath("pdf_document_frp.pdf");
  ASSERT_EQ(
      Cli(QStringList{"prepare", "examples/grouped_list.json", "-o", QString::fromStdString(frp)}
          << kGroupedData)
          .code,
      0);
  const test::CliRun run = Cli({"render", QString::fromStdString(frp), "--pdf",
                                QString::fromStdString(pdf), "--title", "From the file"});
  ASSERT_EQ(run.code, 0) << run.err;
  const test::CliRun info = Tool("pdfinfo", {"-enc", "UTF-8"}, pdf);
  EXPECT_EQ(InfoLine(info.out, "Title"), "From the file");
  EXPECT_EQ(InfoLine(info.out, "Author"), "(none)");
  EXPECT_EQ(Outline(pdf), "");
  EXPECT_NE(FileText(pdf).find("/PageLabels"), std::string::npos);
}

TEST_F(PdfDocument, DocumentOptionsGoWithPdfOnly) {
  const test::CliRun run =
      Cli(QStringList{"render", "examples/grouped_list.json", "--png",
                      QString::fromStdString(test::OutputPath("pdf_document_png")), "--title", "T"}
          << kGroupedData);
  EXPECT_EQ(run.code, 2) << run.err;
  EXPECT_NE(run.err.find("--title, --author and --subject go with --pdf"), std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace quillet
