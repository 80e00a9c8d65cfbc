// Runs the built quillet-cli on fixtures and checks outputs and exit codes.
#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <fstream>

#include "report/component/report.h"
#include "report/printer/printer.h"
#include "sheet/sheet_layout.h"
#include "sheet/sheet_report.h"
#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::CliRun;
CliRun Cli(const QStringList& args) {
  return test::RunCli(args);
}

QString Out(const std::string& name) {
  return QString::fromStdString(test::OutputPath(name));
}

std::string Slurp(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override { StartEnginePrinter(Engine(), nullptr); }
  void TearDown() override { StopEnginePrinter(Engine()); }
};

TEST_F(CliTest, SheetFrpHoldsWhatPrintWithPreviewPrepares) {
  const QString frp = Out("cli_sheet.frp");
  CliRun r = Cli({"sheet", "--preview-corner", "--shape", "rounded-rectangle", "--corner-radius",
                  "5", "--count", "3", "--frp", frp});
  ASSERT_EQ(r.code, 0) << r.err;

  SheetReportComponent window;
  SheetSettings s;
  s.Preview = true;
  s.ShapeIndex = 1;
  s.RndCnr = 5;
  s.Count = 3;
  LayOutSheet(s, window);
  ASSERT_TRUE(window.Report().Prepare());
  TfrReport fromCli;
  fromCli.LoadPrepared(frp.toStdString());
  ASSERT_EQ(fromCli.PreparedPages.Count(), 1);
  EXPECT_EQ(fromCli.PreparedPages[0].ObjectStream.Bytes(),
            window.Report().PreparedPages[0].ObjectStream.Bytes());
}

TEST_F(CliTest, InfoListsPagesAndObjects) {
  const QString frp = Out("cli_info.frp");
  ASSERT_EQ(Cli({"sheet", "--frp", frp}).code, 0);
  CliRun r = Cli({"info", frp});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.rfind("file prepared pages=1\npage 1 paper=", 0), 0u) << r.out;
  EXPECT_NE(
      r.out.find("object page=1 kind=TfrShapeView name=\"Shape1\" left=27 top=16 width=181 "
                 "height=181 frame=#000000 fill=#FFFFFF visible=1 shape=2 tag=\"5;0;1;0;50;0\""),
      std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("text=\"W = 50\""), std::string::npos);
  CliRun json = Cli({"info", "--json", frp});
  ASSERT_EQ(json.code, 0);
  EXPECT_EQ(json.out.rfind("{\"file\":\"prepared\",\"pages\":[{\"number\":1", 0), 0u) << json.out;
}

TEST_F(CliTest, RenderWritesPngSvgAndPdf) {
  const QString frp = Out("cli_render.frp");
  ASSERT_EQ(Cli({"sheet", "--count", "1", "--frp", frp}).code, 0);
  const QString dir = Out("cli_png");
  std::filesystem::remove_all(dir.toStdString());
  ASSERT_EQ(Cli({"render", frp, "--png", dir, "--scale", "0.5"}).code, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.toStdString() + "/page-001.png"));
  const QString svg = Out("cli_svg");
  ASSERT_EQ(Cli({"render", frp, "--svg", svg}).code, 0);
  EXPECT_NE(Slurp(svg + "/page-001.svg").find("<svg"), std::string::npos);
  const QString pdf = Out("cli_render.pdf");
  ASSERT_EQ(Cli({"render", frp, "--pdf", pdf, "--pages", "1"}).code, 0);
  EXPECT_EQ(Slurp(pdf).rfind("%PDF", 0), 0u);
}

TEST_F(CliTest, BadInputGivesOneLineAndAnExitCode) {
  CliRun unknown = Cli({"sheet", "--colour", "red", "--png", Out("x.png")});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_EQ(unknown.err, "quillet-cli sheet: unknown option --colour\n");
  CliRun bounds = Cli({"sheet", "--width", "5", "--png", Out("x.png")});
  EXPECT_EQ(bounds.code, 2);
  EXPECT_NE(bounds.err.find("--width: 5 is outside 10 .. 500"), std::string::npos) << bounds.err;
  CliRun missing = Cli({"info", Out("does-not-exist.frp")});
  EXPECT_EQ(missing.code, 2);
  EXPECT_EQ(Cli({"nonsense"}).code, 2);
}

TEST_F(CliTest, CorruptFileIsReportedAndNothingIsOverwritten) {
  const QString bad = Out("cli_corrupt.frp");
  {
    std::ofstream f(bad.toStdString(), std::ios::binary);
    f << "\x18\x00" << std::string(3, '\x00') << "\x05\x00\x00\x00\xff\xff\xff\x7f";
  }
  const QString pdf = Out("cli_keep.pdf");
  {
    std::ofstream f(pdf.toStdString(), std::ios::binary);
    f << "keep me";
  }
  CliRun r = Cli({"render", bad, "--pdf", pdf});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Stream read error"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(Slurp(pdf), "keep me");
}

TEST_F(CliTest, HelpForEveryCommand) {
  for (const char* c : {"sheet", "prepare", "render", "print", "info", "printers"}) {
    CliRun r = Cli({c, "--help"});
    EXPECT_EQ(r.code, 0) << c;
    EXPECT_EQ(r.out.rfind("Usage: quillet-cli ", 0), 0u) << c;
  }
  // Every command that loads a template lists the same data options.
  for (const char* c : {"prepare", "render", "print", "preview", "check", "eval"}) {
    const std::string help = Cli({c, "--help"}).out;
    for (const char* option : {"--csv NAME=FILE.csv", "--csv-delimiter C", "--db CONNECTION",
                               "--dataset NAME=SELECT", "driver=QPSQL", "QUILLET_DB_PASSWORD"})
      EXPECT_NE(help.find(option), std::string::npos) << c << " lacks " << option;
  }
  EXPECT_NE(Cli({"--help"}).out.find("\n  preview "), std::string::npos);
  CliRun printers = Cli({"printers"});
  EXPECT_EQ(printers.code, 0);
  EXPECT_NE(printers.out.find("Virtual printer"), std::string::npos);
  EXPECT_NE(printers.out.find("Print to PDF"), std::string::npos);
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

TEST(CliEval, ValuesTypesPostfixAndErrors) {
  CliRun r = Cli({"eval", "2+3*4"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "14\n");
  r = Cli({"eval", "A * 1.5", "--var", "A=4", "--json"});
  EXPECT_EQ(r.out, "{\"type\": \"float\", \"text\": \"6\"}\n") << r.err;
  r = Cli({"eval", "--var", "N=-3", "--var", "T=x y", "N * 2 + LENGTHLESS", "--json"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "quillet-cli eval: Undefined symbol \"LENGTHLESS\"\n");
  r = Cli({"eval", "[T] + 'z'", "--var", "T=x y"});
  EXPECT_EQ(r.out, "x yz\n");
  r = Cli({"eval", "ROUND(N)", "--var", "N=-3", "--json"});
  EXPECT_EQ(r.out, "{\"type\": \"integer\", \"text\": \"-3\"}\n");
  r = Cli({"eval", "-2*3"});
  EXPECT_EQ(r.out, "-6\n") << r.err;
  r = Cli({"eval", "--postfix", "NOT a = b"});
  EXPECT_EQ(r.out, "a \\x0Cb =\n");
  r = Cli({"eval", "2 * -3"});
  EXPECT_EQ(r.out, "-6\n") << r.err;
  r = Cli({"eval", "2 *"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("\"2 *\""), std::string::npos) << r.err;
  r = Cli(
      {"eval", "PAGE1.Name", "--template", QStringLiteral(QUILLET_TEST_DATA "/expressions.frf")});
  EXPECT_EQ(r.code, 0) << r.err;
  r = Cli({"eval", "--help"});
  EXPECT_NE(r.out.find("--var NAME=VALUE"), std::string::npos);
}

// eval types --var values as run-script does, and refuses a value without
// a name the same way.
TEST(CliEval, VarTypingIsSharedWithRunScript) {
  CliRun r = Cli({"eval", "V", "--var", "V=1.50", "--json"});
  EXPECT_EQ(r.out, "{\"type\": \"float\", \"text\": \"1.5\"}\n") << r.err;
  r = Cli({"eval", "V", "--var", "V=-", "--json"});
  EXPECT_EQ(r.out, "{\"type\": \"text\", \"text\": \"-\"}\n") << r.err;
  r = Cli({"eval", "V", "--var", "V=1.2.3", "--json"});
  EXPECT_EQ(r.out, "{\"type\": \"text\", \"text\": \"1.2.3\"}\n") << r.err;
  r = Cli({"eval", "V", "--var", "=5"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "quillet-cli eval: --var wants NAME=VALUE, not '=5'\n");
  r = Cli({"eval", "V", "--var", "V"});
  EXPECT_EQ(r.code, 2);
}

}  // namespace
}  // namespace quillet
