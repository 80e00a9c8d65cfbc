// quillet-cli on damaged input of every format it reads (templates, JSON
// templates, prepared-report files, CSV data, scripts, expressions):
// truncated, bit-flipped, with huge counts, deeply nested. Each run ends
// in time without a crash; a refused input gives one line and a non-zero
// exit code and leaves an existing output file as it was.
#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

using Bytes = std::string;

using test::CliRun;
CliRun Cli(const QStringList& args) {
  return test::RunCli(args);
}

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

Bytes Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
std::string Write(const std::string& name, const Bytes& bytes) {
  const std::string path = test::OutputPath(name);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  return path;
}

// Cut at a third and at two thirds.
std::vector<Bytes> Truncated(const Bytes& whole) {
  return {whole.substr(0, whole.size() / 3), whole.substr(0, whole.size() * 2 / 3)};
}

// Eight copies, each with a run of bytes inverted at another place, and
// one with every seventh byte flipped.
std::vector<Bytes> BitFlipped(const Bytes& whole) {
  std::vector<Bytes> out;
  for (std::size_t k = 1; k <= 8; ++k) {
    Bytes b = whole;
    const std::size_t at = b.size() * k / 9;
    for (std::size_t i = at; i < std::min(b.size(), at + 3); ++i) b[i] = char(~b[i]);
    out.push_back(b);
  }
  Bytes many = whole;
  for (std::size_t i = 3; i < many.size(); i += 7) many[i] = char(many[i] ^ (1 << (i % 8)));
  out.push_back(many);
  return out;
}

constexpr const char* kKept = "an earlier output, kept\n";

// Runs `args` with `output` (when given) holding kKept beforehand. A run
// must end on its own; when it fails (or `mustFail`), it says one line
// (check: or lists its findings), exits non-zero and leaves the output as
// it was.
void ExpectSoundRun(QStringList args, const std::string& output, bool mustFail) {
  SCOPED_TRACE(args.join(' ').toStdString());
  if (!output.empty()) std::ofstream(output, std::ios::trunc) << kKept;
  const CliRun r = Cli(args);
  ASSERT_TRUE(r.finished) << "crashed or hung: " << r.err;
  if (mustFail) EXPECT_NE(r.code, 0) << r.err;
  if (r.code == 0) return;
  // check lists what it found on standard output instead.
  if (args.front() == "check" && r.err.empty() && !r.out.empty()) return;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  if (!output.empty()) EXPECT_EQ(Read(output), kKept);
}

std::string Data(const std::string& name) {
  return std::string(QUILLET_TEST_DATA) + "/" + name;
}

// Each damaged template given to every command that reads templates.
void ExpectTemplateCommandsSound(const std::string& name, const Bytes& bytes, bool mustFail) {
  const std::string in = Write(name, bytes);
  // Named after the input: the suites run side by side.
  const std::string frp = test::OutputPath(name + ".out.frp");
  const std::string json = test::OutputPath(name + ".out.json");
  ExpectSoundRun({"prepare", Q(in), "-o", Q(frp)}, frp, mustFail);
  ExpectSoundRun({"info", Q(in)}, "", mustFail);
  ExpectSoundRun({"check", Q(in)}, "", false);  // finding problems is its job
  if (bytes.empty() || bytes[0] != '{')
    ExpectSoundRun({"template", "dump", Q(in), "-o", Q(json)}, json, mustFail);
  else
    ExpectSoundRun({"template", "build", Q(in), "-o", Q(frp)}, frp, mustFail);
}

TEST(CliDamagedInput, TemplateFiles) {
  const Bytes frf = Read(Data("banded.frf"));
  ASSERT_GT(frf.size(), 100u);
  for (const Bytes& b : Truncated(frf)) ExpectTemplateCommandsSound("cut.frf", b, true);
  for (const Bytes& b : BitFlipped(frf)) ExpectTemplateCommandsSound("flipped.frf", b, false);
  // A page per record of a count near a thousand million: stopped at the
  // prepared-page limit, not run for hours.
  ExpectTemplateCommandsSound("count.frf", Read(Data("hostile/count_band_millions_of_pages.bin")),
                              false);
  // Two hundred child bands, each the child of the one before.
  ExpectTemplateCommandsSound("children.frf", Read(Data("hostile/child200.frf")), false);
  // A memo line placed at the top of the int range, prepared then drawn.
  ExpectTemplateCommandsSound("baseline.frf", Read(Data("hostile/text_baseline_int_max.frf")),
                              false);
  const std::string frp = test::OutputPath("baseline.frf.out.frp");
  if (std::filesystem::exists(frp))
    ExpectSoundRun({"render", Q(frp), "--png", Q(test::OutputPath("baseline_png")), "--pages", "1",
                    "--scale", "0.25"},
                   "", false);
}

TEST(CliDamagedInput, JsonTemplates) {
  const std::string json = test::OutputPath("banded_source.json");
  ASSERT_EQ(Cli({"template", "dump", Q(Data("banded.frf")), "-o", Q(json)}).code, 0);
  const Bytes text = Read(json);
  for (const Bytes& b : Truncated(text)) ExpectTemplateCommandsSound("cut.json", b, true);
  for (const Bytes& b : BitFlipped(text))
    ExpectTemplateCommandsSound("flipped.json", b.substr(0, 1) == "{" ? b : "{" + b, false);
  // Nesting far deeper than any template has.
  ExpectTemplateCommandsSound("deep.json", "{\"pages\": " + Bytes(200000, '['), true);
  ExpectTemplateCommandsSound("deep_objects.json",
                              "{\"pages\": [{\"objects\": [" + Bytes(100000, '{') + "]}]}", true);
  // Counts and sizes far beyond any page.
  ExpectTemplateCommandsSound(
      "huge.json",
      "{\"pages\": [{\"columns\": 2147483647, \"columnGap\": 99999999999999999999,"
      " \"objects\": [{\"type\": \"memo\", \"name\": \"M\", \"left\": 1e300,"
      " \"top\": -2147483648, \"width\": 4294967296, \"height\": 1e20}]}]}",
      false);
}

TEST(CliDamagedInput, PreparedReportFiles) {
  const std::string good = test::OutputPath("damaged_source.frp");
  ASSERT_EQ(Cli({"prepare", Q(Data("banded.frf")), "-o", Q(good)}).code, 0);
  const Bytes frp = Read(good);
  const std::string pdf = test::OutputPath("damaged_frp.out.pdf");
  auto both = [&](const Bytes& b, bool mustFail) {
    const std::string in = Write("damaged.frp", b);
    ExpectSoundRun({"info", Q(in)}, "", mustFail);
    ExpectSoundRun({"render", Q(in), "--pdf", Q(pdf)}, pdf, mustFail);
  };
  for (const Bytes& b : Truncated(frp)) both(b, true);
  for (const Bytes& b : BitFlipped(frp)) both(b, false);
  for (const char* name :
       {"count_2e31.frp", "count_2e31m1.frp", "paper_max.frp", "text_baseline_int_max.frp"})
    both(Read(Data(std::string("hostile/") + name)), false);
}

TEST(CliDamagedInput, CsvData) {
  const std::string frf = Data("banded.frf");
  const std::string frp = test::OutputPath("damaged_csv.frp");
  const Bytes csv = "Name;Price\n\"pen; blue\";2\nink;3.5\n\"cap\";4\n";
  std::vector<Bytes> damaged = Truncated(csv);
  for (const Bytes& b : BitFlipped(csv)) damaged.push_back(b);
  damaged.push_back("\"" + Bytes(300000, 'x'));  // a quote never closed
  damaged.push_back(Bytes(300000, ';') + "\n");  // three hundred thousand columns
  damaged.push_back(Bytes(300000, '\n'));        // as many empty records
  damaged.push_back(Bytes("a\0b;\0\n\0", 7));
  for (const Bytes& b : damaged) {
    const std::string in = Write("damaged.csv", b);
    ExpectSoundRun(
        {"prepare", Q(frf), "-o", Q(frp), "--csv", Q("items=" + in), "--csv-delimiter", ";"}, frp,
        false);
  }
}

TEST(CliDamagedInput, Scripts) {
  const Bytes script =
      "begin\n  a := 0;\n  for i := 1 to 10 do\n  begin\n    if i mod 2 = 0 then a := a + i\n"
      "    else a := a - 1;\n  end;\n  b := 'done';\nend\n";
  std::vector<std::pair<Bytes, bool>> damaged;
  for (const Bytes& b : Truncated(script)) damaged.emplace_back(b, true);
  for (const Bytes& b : BitFlipped(script)) damaged.emplace_back(b, false);
  Bytes deep;
  for (int i = 0; i < 20000; ++i) deep += "begin ";
  damaged.emplace_back(deep, true);
  Bytes ifs;
  for (int i = 0; i < 20000; ++i) ifs += "if 1 = 1 then ";
  damaged.emplace_back(ifs + "a := 1", false);
  damaged.emplace_back("while 1 = 1 do a := a + 1", true);  // bounded by --max-steps
  damaged.emplace_back("for i := 1 to 2000000000 do a := i", true);
  damaged.emplace_back("a := '" + Bytes(1000000, 'x'), true);
  for (const auto& [b, mustFail] : damaged) {
    const std::string in = Write("damaged.pas", b);
    ExpectSoundRun({"run-script", Q(in), "--max-steps", "100000"}, "", mustFail);
  }
}

TEST(CliDamagedInput, Expressions) {
  const Bytes expression = "IF(A > 1, COPY('abcdef', 2, 3), STR(A * 1.5)) + 'x'";
  std::vector<std::pair<Bytes, bool>> damaged;
  for (const Bytes& b : Truncated(expression)) damaged.emplace_back(b, true);
  for (const Bytes& b : BitFlipped(expression)) damaged.emplace_back(b, false);
  damaged.emplace_back(Bytes(50000, '(') + "1" + Bytes(50000, ')'), false);
  damaged.emplace_back(Bytes(60000, '-') + "1", false);
  Bytes ifs;
  for (int i = 0; i < 5000; ++i) ifs += "IF(1, ";
  damaged.emplace_back(ifs + "1" + Bytes(5000, ')'), false);
  damaged.emplace_back("COPY('abc', 2147483647, 2147483647)", false);
  damaged.emplace_back("SETARRAY(2147483647, 1)", false);
  damaged.emplace_back("99999999999999999999999999 * 1e308", false);
  for (const auto& [b, mustFail] : damaged) {
    // Arguments cannot carry a zero byte.
    Bytes text = b;
    std::replace(text.begin(), text.end(), '\0', ' ');
    ExpectSoundRun({"eval", Q(text), "--var", "A=3"}, "", mustFail);
    ExpectSoundRun({"eval", "--postfix", Q(text)}, "", mustFail);
  }
}

}  // namespace
}  // namespace quillet
