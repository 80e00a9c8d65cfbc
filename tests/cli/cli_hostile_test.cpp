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

#include "tests/support.h"

namespace quillet {
namespace {

struct CliRun {
  int code = -1;
  std::string out, err;
  std::string LastLine() const {
    const std::string trimmed = err.substr(0, err.find_last_not_of('\n') + 1);
    return trimmed.substr(trimmed.find_last_of('\n') + 1);
  }
};

CliRun Cli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(QUILLET_CLI), args);
  p.waitForFinished(60000);
  if (p.state() != QProcess::NotRunning) p.kill();
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
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

}  // namespace
}  // namespace quillet
