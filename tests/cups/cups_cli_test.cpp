// quillet-cli printing through a private CUPS server into cups-pdf queues:
// the sheet measured in the PDF the queue wrote, page ranges, copies and
// collation as the job's attributes and pages, each page's paper as its
// job's media, printer trouble, and the printers listing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include "tests/cli/cli_run.h"
#include "tests/fakes/private_cups_server.h"
#include "tests/fakes/sheet_measure.h"

namespace quillet::test {
namespace {

const QString kQueue = QStringLiteral("QuilletPDF");

QString Data(const char* name) {
  return QStringLiteral(QUILLET_TEST_DATA "/cups/") + QString::fromLatin1(name);
}

std::string ToolOutput(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(60000);
  return p.readAllStandardOutput().toStdString();
}

// Which page of three_pages.json each page of a PDF is (1 to 3), told by
// the black mark each page carries 200 report pixels further right; 0 for
// a page without one.
std::vector<int> PageNumbers(const QString& pdf, const QString& stem) {
  QProcess p;
  p.start(QStringLiteral("pdftoppm"),
          {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-gray"), pdf, stem});
  p.waitForFinished(60000);
  std::vector<int> numbers;
  for (int page = 1;; ++page) {
    const QImage img(QStringLiteral("%1-%2.pgm").arg(stem).arg(page));
    if (img.isNull()) break;
    int left = -1;
    // The mark's row: 150 report pixels down.
    const int y = qRound(150 / 91.6256157635468 * 20);
    for (int x = 0; x < img.width() && left < 0; ++x)
      if (qGray(img.pixel(x, y)) < 128) left = x;
    const double leftReportPixels = left * 91.6256157635468 / 20;
    numbers.push_back(left < 0 ? 0 : qRound((leftReportPixels - 40) / 200) + 1);
  }
  return numbers;
}

// "W x H" in points, for each page.
std::vector<std::string> PageSizes(const QString& pdf) {
  const QString info = QString::fromStdString(
      ToolOutput(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                             QStringLiteral("-l"), QStringLiteral("99"), pdf}));
  const QRegularExpression size(
      QStringLiteral("^Page\\s+(\\d+) size:\\s+([\\d.]+) x ([\\d.]+) pts"),
      QRegularExpression::MultilineOption);
  std::vector<std::string> sizes;
  for (auto it = size.globalMatch(info); it.hasNext();) {
    const auto m = it.next();
    sizes.push_back(QStringLiteral("%1 x %2")
                        .arg(qRound(m.captured(2).toDouble()))
                        .arg(qRound(m.captured(3).toDouble()))
                        .toStdString());
  }
  return sizes;
}

// The job's copies: the server leaves the attribute out for one.
std::string Copies(std::map<std::string, std::string>& job) {
  return job.count("copies") ? job["copies"] : "1";
}

// A server with one cups-pdf queue, or the test skipped with the reason.
#define START_SERVER(server)                                  \
  PrivateCupsServer server;                                   \
  if (!server.Running()) GTEST_SKIP() << server.SkipReason(); \
  {                                                           \
    std::string error;                                        \
    ASSERT_TRUE(server.AddPdfQueue(kQueue, &error)) << error; \
  }

CliRun Quillet(const PrivateCupsServer& server, const QStringList& args) {
  return RunCli(args, server.Environment());
}

TEST(CupsCli, SheetPrintsAtItsTrueSize) {
  START_SERVER(server);
  const CliRun run = Quillet(server, {QStringLiteral("sheet"), QStringLiteral("--print"),
                                      QStringLiteral("--printer"), kQueue});
  ASSERT_EQ(run.code, 0) << run.err;
  ASSERT_TRUE(server.WaitForJobsToEnd()) << server.ErrorLog();
  const QStringList pdfs = server.Pdfs();
  ASSERT_EQ(pdfs.size(), 1) << server.ErrorLog();
  const std::vector<int> jobs = server.Jobs(kQueue);
  ASSERT_EQ(jobs.size(), 1u);
  auto job = server.JobAttributes(kQueue, jobs[0]);
  EXPECT_EQ(job["job-state"], "completed");
  EXPECT_EQ(job["job-name"], "Untitled");
  EXPECT_EQ(Copies(job), "1");
  EXPECT_EQ(job["media"], "A4");
  EXPECT_EQ(PageSizes(pdfs[0]), std::vector<std::string>{"595 x 842"});

  const SheetMeasure m =
      MeasureSheet(pdfs[0], QDir(server.OutputFolder()).filePath(QStringLiteral("measure")));
  ASSERT_TRUE(m.ok) << m.failure;
  EXPECT_NEAR(m.ellipseWidthMm, 50.12, 0.1) << "width " << m.ellipseWidthMm << " mm";
  EXPECT_NEAR(m.stepMm, 55.75, 0.1) << "step " << m.stepMm << " mm";
  EXPECT_NEAR(m.topMm, 16 / 91.6256157635468 * 25.4, 0.3);
  // The same as the sheet written as a PDF directly: nothing scaled or moved on the way.
  const QString direct = QDir(server.OutputFolder()).filePath(QStringLiteral("direct.pdf"));
  ASSERT_EQ(Quillet(server, {QStringLiteral("sheet"), QStringLiteral("--pdf"), direct}).code, 0);
  const SheetMeasure d =
      MeasureSheet(direct, QDir(server.OutputFolder()).filePath(QStringLiteral("direct")));
  ASSERT_TRUE(d.ok) << d.failure;
  // Within one pixel of the 600-dpi rendering.
  EXPECT_NEAR(m.ellipseWidthMm, d.ellipseWidthMm, 0.05);
  EXPECT_NEAR(m.stepMm, d.stepMm, 0.05);
  EXPECT_NEAR(m.topMm, d.topMm, 0.05);
  std::cout << "CUPS PDF: ellipse " << m.ellipseWidthMm << " mm, step " << m.stepMm << " mm, top "
            << m.topMm << " mm; direct PDF: " << d.ellipseWidthMm << ", " << d.stepMm << ", "
            << d.topMm << "\n";
}

struct OptionsCase {
  const char* name;
  QStringList options;
  const char* copies;      // the job's copies attribute
  std::vector<int> pages;  // in the PDF the queue wrote
};

TEST(CupsCli, RangeCopiesAndCollationReachTheJob) {
  START_SERVER(server);
  // Collated copies are the pages repeated in one job; uncollated ones are
  // the job's own copy count.
  const OptionsCase cases[] = {
      {"collated", {"--range", "2-3", "--copies", "2", "--collate"}, "1", {2, 3, 2, 3}},
      {"uncollated", {"--range", "2-3", "--copies", "2"}, "2", {2, 3}},
      {"all", {}, "1", {1, 2, 3}},
      {"from three", {"--range", "3-"}, "1", {3}},
  };
  for (const OptionsCase& c : cases) {
    SCOPED_TRACE(c.name);
    const qsizetype before = server.Pdfs().size();
    const CliRun run =
        Quillet(server, QStringList{QStringLiteral("print"), Data("three_pages.json"),
                                    QStringLiteral("--printer"), kQueue} +
                            c.options);
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_TRUE(server.WaitForJobsToEnd()) << server.ErrorLog();
    const QStringList pdfs = server.Pdfs();
    ASSERT_EQ(pdfs.size(), before + 1) << server.ErrorLog();
    auto job = server.JobAttributes(kQueue, server.Jobs(kQueue).back());
    EXPECT_EQ(job["job-state"], "completed");
    EXPECT_EQ(Copies(job), c.copies);
    EXPECT_EQ(job["media"], "A4");
    std::cout << c.name << ": copies " << Copies(job) << ", job-impressions-completed "
              << job["job-impressions-completed"] << ", media " << job["media"] << "\n";
    std::vector<int> pages =
        PageNumbers(pdfs.last(),
                    QDir(server.OutputFolder()).filePath(QString::fromLatin1(c.name).remove(u' ')));
    // The queue writes an uncollated job's copies out as pages of their own.
    if (pages.size() == c.pages.size() * 2 && std::string(c.copies) == "2")
      pages.resize(c.pages.size());
    EXPECT_EQ(pages, c.pages);
  }
}

TEST(CupsCli, EachPageGoesOutOnItsOwnPaper) {
  START_SERVER(server);
  const CliRun run = Quillet(server, {QStringLiteral("print"), Data("mixed_paper.json"),
                                      QStringLiteral("--printer"), kQueue});
  ASSERT_EQ(run.code, 0) << run.err;
  ASSERT_TRUE(server.WaitForJobsToEnd()) << server.ErrorLog();
  // A change of paper ends one job and starts the next.
  const std::vector<int> jobs = server.Jobs(kQueue);
  ASSERT_EQ(jobs.size(), 3u);
  const char* media[] = {"A4", "A4", "Custom.100x150mm"};
  for (int i = 0; i < 3; ++i) {
    auto job = server.JobAttributes(kQueue, jobs[i]);
    EXPECT_EQ(job["media"], media[i]) << i;
    EXPECT_EQ(job["job-state"], "completed") << i;
    EXPECT_EQ(job["orientation-requested"], i == 1 ? "landscape" : "") << i;
  }
  const QStringList pdfs = server.Pdfs();
  ASSERT_EQ(pdfs.size(), 3);
  // The landscape page is turned onto the A4 sheet; the custom size is its own.
  EXPECT_EQ(PageSizes(pdfs[0]), std::vector<std::string>{"595 x 842"});
  EXPECT_EQ(PageSizes(pdfs[1]), std::vector<std::string>{"595 x 842"});
  EXPECT_EQ(PageSizes(pdfs[2]), std::vector<std::string>{"283 x 425"});
}

struct TroubleCase {
  const char* name;
  QString tool;  // run against the queue before printing
  const char* message;
};

TEST(CupsCli, PrinterTroubleIsOneMessageNamingThePrinter) {
  START_SERVER(server);
  const TroubleCase cases[] = {
      {"stopped", QStringLiteral("cupsdisable"), "The printer \"QuilletPDF\" is stopped"},
      {"refusing", QStringLiteral("cupsreject"),
       "The printer \"QuilletPDF\" is not accepting jobs"},
  };
  for (const TroubleCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(server.Tool(c.tool, {kQueue}), 0);
    const CliRun run = Quillet(server, {QStringLiteral("sheet"), QStringLiteral("--print"),
                                        QStringLiteral("--printer"), kQueue});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.ErrorLines(), 1) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    // Nothing was queued to wait for the printer.
    EXPECT_TRUE(server.Jobs(kQueue).empty());
    server.Tool(QStringLiteral("cupsenable"), {kQueue});
    server.Tool(QStringLiteral("cupsaccept"), {kQueue});
  }
  // A server that is not running: the printer cannot be found, and why.
  server.Stop();
  const CliRun run = Quillet(server, {QStringLiteral("print"), Data("three_pages.json"),
                                      QStringLiteral("--printer"), kQueue});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.ErrorLines(), 1) << run.err;
  EXPECT_NE(
      run.err.find("The printer \"QuilletPDF\" cannot be reached: its print server is not running"),
      std::string::npos)
      << run.err;
}

TEST(CupsCli, PrintersListsTheQueuesWithStateAndPaper) {
  START_SERVER(server);
  ASSERT_TRUE(server.AddPdfQueue(QStringLiteral("Second")));
  ASSERT_EQ(server.Tool(QStringLiteral("cupsdisable"), {QStringLiteral("Second")}), 0);
  CliRun run = Quillet(server, {QStringLiteral("printers")});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("* QuilletPDF       idle, paper A4\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  Second           stopped, paper A4"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  Virtual printer\n"), std::string::npos) << run.out;

  run = Quillet(server, {QStringLiteral("printers"), QStringLiteral("--json")});
  ASSERT_EQ(run.code, 0) << run.err;
  const QJsonArray list = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
  std::map<QString, QJsonObject> byName;
  for (const auto& v : list) byName[v.toObject()[QStringLiteral("name")].toString()] = v.toObject();
  ASSERT_TRUE(byName.count(kQueue)) << run.out;
  EXPECT_EQ(byName[kQueue][QStringLiteral("state")].toString(), QStringLiteral("idle"));
  EXPECT_EQ(byName[kQueue][QStringLiteral("paper")].toString(), QStringLiteral("A4"));
  EXPECT_EQ(byName[QStringLiteral("Second")][QStringLiteral("state")].toString(),
            QStringLiteral("stopped"));
  EXPECT_TRUE(byName.count(QStringLiteral("Virtual printer")));
}

}  // namespace
}  // namespace quillet::test
