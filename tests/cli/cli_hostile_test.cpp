// quillet-cli on hostile input files: a folder, a pipe or an empty file,
// unwritable targets, pages too large to draw, refused pictures. Each gives
// one line naming the file and the cause as its last line, and an exit code
// that is 0 only when nothing was lost.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::CliRun;
// Runs quillet-cli, writing `input` (when given) to its standard input.
CliRun Cli(const QStringList& args, const QByteArray& input = {}) {
  test::CliOptions options;
  options.input = input;
  options.timeoutMs = 60000;
  return test::RunCli(args, options);
}

QString Out(const std::string& name) {
  return QString::fromStdString(test::OutputPath(name));
}
QString Hostile(const std::string& name) {
  return QString::fromStdString(std::string(QUILLET_TEST_DATA) + "/hostile/" + name);
}

int Lines(const std::string& text) {
  return int(std::count(text.begin(), text.end(), '\n'));
}

TEST(CliHostile, FilesThatAreNoFilesFailAtOnceWithOneLine) {
  const std::string empty = test::OutputPath("cli_empty.frf");
  std::ofstream(empty).close();
  const std::string folder = test::OutputPath("cli_folder.frf");
  std::filesystem::create_directories(folder);
  const std::string fifo = test::OutputPath("cli_fifo.frf");
  std::filesystem::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path, cause;
  };
  for (const Case& c : {Case{empty, "the file is empty (0 bytes)"}, Case{folder, "it is a folder"},
                        Case{fifo, "not a regular file"}}) {
    for (const char* command : {"info", "prepare", "render"}) {
      SCOPED_TRACE(std::string(command) + " " + c.path);
      QStringList args{command, QString::fromStdString(c.path)};
      if (std::string(command) == "prepare") args << "-o" << Out("cli_never.frp");
      if (std::string(command) == "render") args << "--pdf" << Out("cli_never.pdf");
      QElapsedTimer timer;
      timer.start();
      const CliRun r = Cli(args);
      EXPECT_LT(timer.elapsed(), 30000);  // no wait on the pipe
      EXPECT_NE(r.code, 0);
      EXPECT_EQ(Lines(r.err), 1) << r.err;
      EXPECT_NE(r.err.find(c.path), std::string::npos) << r.err;
      EXPECT_NE(r.err.find(c.cause), std::string::npos) << r.err;
    }
  }
}

TEST(CliHostile, UnwritableTargetsNameTheTargetAndTheSystemsReason) {
  const QString frp = Out("cli_hostile_sheet.frp");
  ASSERT_EQ(Cli({"sheet", "--count", "1", "--frp", frp}).code, 0);
  const QString missing = Out("no-such-folder/sub");
  std::filesystem::remove_all(test::OutputPath("no-such-folder"));
  struct Case {
    QStringList args;
    std::string target;
  };
  const Case cases[] = {
      {{"prepare", Hostile("child200.frf"), "-o", missing + "/out.frp"},
       missing.toStdString() + "/out.frp"},
      {{"render", frp, "--pdf", missing + "/out.pdf"}, missing.toStdString() + "/out.pdf"},
  };
  for (const Case& c : cases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.LastLine().find("\"" + c.target + "\""), std::string::npos) << r.err;
    EXPECT_NE(r.LastLine().find("No such file or directory"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(".tmp"), std::string::npos) << r.err;
  }
  // A folder that exists but cannot be written (unless running as root).
  if (geteuid() != 0) {
    const std::string locked = test::OutputPath("cli_locked");
    std::filesystem::create_directories(locked);
    std::filesystem::permissions(
        locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const CliRun r = Cli({"render", frp, "--svg", QString::fromStdString(locked)});
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.LastLine().find(locked + "/page-001.svg"), std::string::npos) << r.err;
    EXPECT_NE(r.LastLine().find("Permission denied"), std::string::npos) << r.err;
  }
}

TEST(CliHostile, PageImagesBeyondTheLimitAreRefusedBeforeDrawing) {
  const QString dir = Out("cli_huge_png");
  std::filesystem::remove_all(dir.toStdString());
  QElapsedTimer timer;
  timer.start();
  const CliRun huge = Cli({"render", Hostile("paper_10m.frp"), "--png", dir});
  EXPECT_LT(timer.elapsed(), 20000);
  EXPECT_EQ(huge.code, 1);
  EXPECT_EQ(Lines(huge.err), 1) << huge.err;
  EXPECT_NE(huge.err.find("Page 1 (10000 x 10000 mm) at scale 1 would be"), std::string::npos)
      << huge.err;
  EXPECT_NE(huge.err.find("beyond the PNG limit"), std::string::npos) << huge.err;
  EXPECT_FALSE(std::filesystem::exists(dir.toStdString() + "/page-001.png"));

  // An ordinary page at the largest scale is judged by its image size.
  const QString frp = Out("cli_hostile_a4.frp");
  ASSERT_EQ(Cli({"sheet", "--count", "1", "--frp", frp}).code, 0);
  const CliRun a4 = Cli({"render", frp, "--png", dir, "--scale", "20"});
  EXPECT_EQ(a4.code, 1);
  EXPECT_NE(a4.LastLine().find("at scale 20 would be 15160 x 21420 pixels"), std::string::npos)
      << a4.err;

  // PDF and SVG draw no page image: they write the page and say its size.
  const CliRun pdf = Cli({"render", Hostile("paper_10m.frp"), "--pdf", Out("cli_huge.pdf")});
  EXPECT_EQ(pdf.code, 0) << pdf.err;
  EXPECT_NE(pdf.LastLine().find("largest paper 10000 x 10000 mm"), std::string::npos) << pdf.err;
  const CliRun svg = Cli({"render", Hostile("paper_10m.frp"), "--svg", Out("cli_huge_svg")});
  EXPECT_EQ(svg.code, 0) << svg.err;
  EXPECT_NE(svg.LastLine().find("1 page written to"), std::string::npos) << svg.err;
}

TEST(CliHostile, ARefusedPictureIsListedKeptAndWarnedAbout) {
  const QString frf = Hostile("pic_bmp_60000.frf");
  const CliRun info = Cli({"info", frf});
  EXPECT_EQ(info.code, 0) << info.err;
  EXPECT_NE(info.out.find("objects=1"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("kind=TfrPictureView"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("refused=\""), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("60000 x 60000"), std::string::npos) << info.out;

  const QString frp = Out("cli_picture.frp");
  const CliRun prepare = Cli({"prepare", frf, "-o", frp});
  EXPECT_EQ(prepare.code, 0) << prepare.err;  // its bytes are kept: nothing lost
  EXPECT_NE(prepare.LastLine().find("is kept but cannot be drawn"), std::string::npos)
      << prepare.err;
  const CliRun listed = Cli({"info", frp});
  EXPECT_NE(listed.out.find("kind=TfrPictureView"), std::string::npos) << listed.out;

  // Drawn pages lack the picture: every kind of output says so, once, after
  // the line of what was written, and fails.
  const std::string kept = prepare.LastLine();
  const std::size_t nameFrom = kept.find(": picture ") + 10;
  const std::string name = kept.substr(nameFrom, kept.find(' ', nameFrom) - nameFrom);
  const std::string reason = kept.substr(kept.find("cannot be drawn: ") + 17);
  const std::string warning = "quillet-cli: " + frp.toStdString() + ": picture " + name +
                              " on page 1 was not drawn: " + reason;
  const std::vector<QStringList> outputs = {{"--svg", Out("cli_picture_svg")},
                                            {"--pdf", Out("cli_picture.pdf")},
                                            {"--png", Out("cli_picture_png")},
                                            {"--png-file", Out("cli_picture.png")}};
  for (const QStringList& output : outputs) {
    const CliRun render = Cli(QStringList{"render", frp} + output);
    EXPECT_EQ(render.code, 1) << output[0].toStdString();
    EXPECT_EQ(Lines(render.err), 2) << render.err;
    EXPECT_EQ(render.err.find("quillet-cli: 1 page written to "), 0u) << render.err;
    EXPECT_EQ(render.LastLine(), warning) << render.err;
  }
}

TEST(CliHostile, ImpossiblePageCountsAndCyclesGiveTheirCause) {
  const CliRun count = Cli({"info", Hostile("count_2e31.frp")});
  EXPECT_EQ(count.code, 1);
  EXPECT_NE(count.err.find("claims 2147483648 pages"), std::string::npos) << count.err;
  const CliRun cycle = Cli({"prepare", Hostile("child_cycle.frf"), "-o", Out("cli_cycle.frp")});
  EXPECT_EQ(cycle.code, 1);
  EXPECT_NE(cycle.LastLine().find("Child bands form a cycle through band"), std::string::npos)
      << cycle.err;
  EXPECT_FALSE(std::filesystem::exists(test::OutputPath("cli_cycle.frp")));
}

TEST(CliHostile, ProgressLinesOnlyOnATerminalOrWhenAskedFor) {
  const QString frp = Out("cli_progress.frp");
  const CliRun quiet = Cli({"prepare", Hostile("child200.frf"), "-o", frp});
  EXPECT_EQ(quiet.code, 0);
  EXPECT_EQ(Lines(quiet.err), 1) << quiet.err;  // only what was written
  const CliRun loud = Cli({"prepare", "--progress", Hostile("child200.frf"), "-o", frp});
  EXPECT_EQ(loud.code, 0);
  EXPECT_GT(Lines(loud.err), 1) << loud.err;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

QString WriteText(const std::string& name, const std::string& text) {
  const std::string path = test::OutputPath(name);
  std::ofstream(path, std::ios::binary) << text;
  return QString::fromStdString(path);
}

const char* const kHello =
    R"({"pages":[{"objects":[{"type":"memo","left":40,"top":40,"width":300,"height":20,"text":"Hi"}]}]})";
const char* const kItemsList = R"({"pages": [{"objects": [
 {"type": "band", "name": "B1", "kind": "masterData", "left": 0, "top": 40, "width": 680,
  "height": 22, "dataSource": "Items"},
 {"type": "memo", "name": "Row", "left": 40, "top": 40, "width": 300, "height": 20,
  "text": "[Items.\"name\"]|[Items.\"price\"]"}]}]})";

// An output that is an input itself is refused before anything runs, and
// the input stays as it was.
TEST(CliHostile, AnOutputThatIsAnInputIsRefused) {
  const QString json = WriteText("cli_self.json", kHello);
  const QString frp = Out("cli_self.frp");
  ASSERT_EQ(Cli({"prepare", json, "-o", frp}).code, 0);
  const QString csv = WriteText("cli_self.csv", "name,price\nx,1\n");
  const QString link = Out("cli_self_link.json");
  std::filesystem::remove(link.toStdString());
  std::filesystem::create_symlink(json.toStdString(), link.toStdString());
  const std::vector<QStringList> runs = {
      {"prepare", json, "-o", json},
      {"prepare", json, "--output=" + link},
      {"template", "build", json, "-o", json},
      {"render", frp, "--pdf", frp},
      {"render", json, "--png-file", json},
      {"prepare", WriteText("cli_self_list.json", kItemsList), "-o", csv, "--csv", "Items=" + csv},
  };
  for (const QStringList& args : runs) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const std::string before =
        ReadAll(json.toStdString()) + ReadAll(frp.toStdString()) + ReadAll(csv.toStdString());
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, 2) << r.err;
    EXPECT_NE(r.err.find("is the input file"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(json.toStdString()) + ReadAll(frp.toStdString()) + ReadAll(csv.toStdString()),
              before);
  }
}

// A FIFO or device named as the output is written into and stays what it was.
TEST(CliHostile, AFifoOrDeviceOutputIsWrittenNotReplaced) {
  const QString json = WriteText("cli_special.json", kHello);
  const std::string fifo = test::OutputPath("cli_out.fifo");
  std::filesystem::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadAll(fifo); });
  const CliRun r = Cli({"prepare", json, "-o", QString::fromStdString(fifo)});
  reader.join();
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_GT(received.size(), 20u);
  EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
  const CliRun null = Cli({"render", json, "--pdf", "/dev/null"});
  EXPECT_EQ(null.code, 0) << null.err;
  EXPECT_EQ(std::filesystem::status("/dev/null").type(), std::filesystem::file_type::character);
  EXPECT_EQ(Cli({"prepare", json, "-o", "/dev/null"}).code, 0);
  EXPECT_EQ(std::filesystem::status("/dev/null").type(), std::filesystem::file_type::character);
}

// A page folder written again keeps no mixture it does not mention: page
// files beyond the new set are named.
TEST(CliHostile, APageFolderSaysWhichFilesAreFromAnEarlierRun) {
  const QString frp = Out("cli_pages.frp");
  ASSERT_EQ(Cli({"sheet", "--count", "1", "--frp", frp}).code, 0);
  const std::string dir = test::OutputPath("cli_pages_png");
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  for (const char* name : {"page-001.png", "page-004.png", "page-012.png", "notes.txt"})
    std::ofstream(dir + "/" + name) << "OLD";
  const CliRun r = Cli({"render", frp, "--png", QString::fromStdString(dir), "--scale", "0.2"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Lines(r.err), 2) << r.err;
  EXPECT_NE(r.LastLine().find("also holds 2 page files not of this run, left as they were: "
                              "page-004.png ... page-012.png"),
            std::string::npos)
      << r.err;
  EXPECT_NE(ReadAll(dir + "/page-001.png"), "OLD");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"notes.txt", "page-001.png", "page-004.png",
                                             "page-012.png"}));
}

// Scripts run while a template is prepared are bounded like run-script's:
// an endless loop in an object's or a page's script, or a text doubled
// without end, stops the run with a calculation error naming whose script
// it was.
TEST(CliHostile, EndlessScriptsStopNamingTheirObject) {
  struct Case {
    const char* name;
    std::string json;
    std::vector<std::string> said;
  };
  const Case cases[] = {
      {"memo",
       R"({"pages":[{"objects":[{"type":"memo","name":"Looper","left":40,"top":40,"width":300,)"
       R"("height":20,"text":"hi","script":["while 1 = 1 do begin end"]}]}]})",
       {"Script stopped after 50000 steps", "object Looper"}},
      {"band",
       R"({"pages":[{"objects":[{"type":"band","name":"Title","kind":"reportTitle","left":0,)"
       R"("top":0,"width":600,"height":30,"script":["while 1 = 1 do x := 1"]}]}]})",
       {"Script stopped after 50000 steps", "band Title"}},
      {"page",
       R"({"pages":[{"name":"Front","script":["while 1 = 1 do x := 1"],"objects":[{"type":"memo",)"
       R"("left":40,"top":40,"width":300,"height":20,"text":"hi"}]}]})",
       {"Script stopped after 50000 steps", "page Front"}},
      {"grow",
       R"({"pages":[{"objects":[{"type":"memo","name":"Grower","left":40,"top":40,"width":300,)"
       R"("height":20,"text":"[n]","script":["begin s := 'x';","n := 0;",)"
       R"("while 1 = 1 do begin s := s + s; n := n + 1 end end"]}]}]})",
       {"past the bound of 64 MiB", "Grower"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString json = WriteText(std::string("cli_endless_") + c.name + ".json", c.json);
    const QString frp = Out(std::string("cli_endless_") + c.name + ".frp");
    std::filesystem::remove(frp.toStdString());
    for (const char* command : {"prepare", "render"}) {
      // Doubling a text takes its time whatever the command: once is enough.
      if (std::string(c.name) == "grow" && std::string(command) == "render") continue;
      QStringList args{command, json, "--max-steps", "50000"};
      if (std::string(command) == "prepare")
        args << "-o" << frp;
      else
        args << "--pdf" << Out("cli_endless.pdf");
      const CliRun r = Cli(args);
      EXPECT_EQ(r.code, 1) << command << ": " << r.err;
      for (const std::string& part : c.said)
        EXPECT_NE(r.err.find(part), std::string::npos) << command << ": " << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(frp.toStdString()));
  }
  const CliRun zero = Cli({"prepare", Out("cli_endless_memo.json"), "-o",
                           Out("cli_endless_zero.frp"), "--max-steps", "0"});
  EXPECT_EQ(zero.code, 2);
  EXPECT_NE(zero.err.find("--max-steps wants a whole number"), std::string::npos) << zero.err;
}

// CSV data from a pipe is read once and serves every pass; a device is
// refused at once; a data set name given twice is refused.
TEST(CliHostile, CsvFromAPipeServesBothPassesAndDevicesAreRefused) {
  const QString examples = QStringLiteral(QUILLET_TEST_DATA "/../../examples");
  const QString csv = examples + "/data/products.csv";
  const QString json = examples + "/price_list.json";
  const QString fromFile = Out("cli_pipe_file.frp");
  const QString fromPipe = Out("cli_pipe_pipe.frp");
  ASSERT_EQ(Cli({"prepare", json, "-o", fromFile, "--csv", "Items=" + csv}).code, 0);
  const CliRun piped = Cli({"prepare", json, "-o", fromPipe, "--csv", "Items=/dev/stdin"},
                           QByteArray::fromStdString(ReadAll(csv.toStdString())));
  ASSERT_EQ(piped.code, 0) << piped.err;
  const CliRun a = Cli({"info", fromFile});
  const CliRun b = Cli({"info", fromPipe});
  EXPECT_NE(a.out.find("Page 1 of "), std::string::npos) << a.out;
  EXPECT_EQ(a.out.substr(a.out.find('\n')), b.out.substr(b.out.find('\n')));

  const QString list = WriteText("cli_csv_list.json", kItemsList);
  QElapsedTimer timer;
  timer.start();
  const CliRun zero = Cli({"prepare", list, "-o", Out("cli_zero.frp"), "--csv", "Items=/dev/zero"});
  EXPECT_LT(timer.elapsed(), 20000);
  EXPECT_EQ(zero.code, 2) << zero.err;
  EXPECT_NE(zero.err.find("/dev/zero: a device, not a file or a pipe"), std::string::npos)
      << zero.err;

  const QString small = WriteText("cli_csv_small.csv", "name,price\nx,1\n");
  for (const QStringList& twice :
       {QStringList{"--csv", "Items=" + small, "--csv", "items=" + small},
        QStringList{"--csv", "Items=" + small, "--db", Out("none.sqlite"), "--dataset",
                    "Items=SELECT 1"}}) {
    const CliRun r = Cli(QStringList{"prepare", list, "-o", Out("cli_twice.frp")} + twice);
    EXPECT_EQ(r.code, 2) << r.err;
    EXPECT_NE(r.err.find("is given twice"), std::string::npos) << r.err;
  }
  // Leading zeros stay, and a column can be kept as text whole.
  const QString zeros = WriteText("cli_csv_zeros.csv", "name,price\n007,02134\nx,1.50\n");
  const QString frp = Out("cli_zeros.frp");
  ASSERT_EQ(
      Cli({"prepare", list, "-o", frp, "--csv", "Items=" + zeros, "--csv-text", "Items=price"})
          .code,
      0);
  const CliRun info = Cli({"info", frp});
  EXPECT_NE(info.out.find("text=\"007|02134\""), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("text=\"x|1.50\""), std::string::npos) << info.out;
}

}  // namespace
}  // namespace quillet
