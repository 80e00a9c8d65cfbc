// A report at scale: a data band over N rows (CSV and SQLite), three memos
// a row, a page header with the page number (bench/scale_report.json; 53
// rows a page). Every figure is a ratio against a floor measured in the
// same run:
//   - preparing and writing the PDF against Qt alone drawing the same texts
//     at the same places onto a QPdfWriter (the PDF floor);
//   - stepping the data set against the CSV parser alone and QSqlQuery alone;
//   - a PNG page against QImage painting the same texts and saving the PNG;
//   - a memo split across pages of N lines against the same memo of N / 10
//     lines, and every N against N / 10 (cost per row stays flat at 10);
//   - the preview opened on a template: page 1 drawn against the whole
//     report formed (first/whole).
// Times are CPU seconds of this process, so the machine's other load
// disturbs them less than wall time would. Peak memory is that of a child
// quillet-cli rendering the template straight to PDF, against the PDF floor
// run in a child of this program, both read from wait4.
//
// N is 1,000 and 10,000 by default; QUILLET_SCALE_ROWS=1000,10000,100000
// chooses others, and QUILLET_SCALE_MILLION=1 adds 1,000,000.
#include <benchmark/benchmark.h>
#include <csv.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QEvent>
#include <QFont>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <stdexcept>

#include "bench/bench_child.h"
#include "cli/page_output.h"
#include "datasources/csv_source.h"
#include "datasources/source_dataset.h"
#include "datasources/sql_source.h"
#include "platform/numeric.h"
#include "preview/preview_form.h"
#include "preview/preview_view.h"
#include "preview/qt_engine_host.h"
#include "report/component/report.h"
#include "report/printer/printer.h"
#include "report/template/page.h"
#include "report/template/template_json.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"

extern char** environ;

namespace quillet {
namespace {

// The workload's geometry in report pixels (bench/scale_report.json).
constexpr int kRowsPerPage = 53;
constexpr int kMargin = 36;
constexpr int kHeaderHeight = 36;
constexpr int kRowHeight = 18;
constexpr int kColumnLeft[] = {36, 252, 468};
constexpr int kPngRows = 1000;  // the rows whose first page the PNG figures draw

// ---- Timing ----------------------------------------------------------------

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// CPU seconds per iteration of each figure measured so far in this run.
std::map<std::string, double>& Figures() {
  static std::map<std::string, double> figures;
  return figures;
}

std::string Key(const std::string& what, long n) {
  return what + "/" + std::to_string(n);
}

// Runs `body` once per iteration, records its least CPU time under `key` and
// sets the usual counters: the ratio against `floorKey` and, when the same
// figure was measured at n / 10, the growth from there (10 is flat).
template <typename Body>
void Measure(benchmark::State& state, const std::string& what, long n, const std::string& floorWhat,
             Body&& body) {
  // The best of the iterations, for every figure and floor alike: on a shared
  // machine other work only ever adds time, and a mean would carry it into
  // the ratios.
  double best = std::numeric_limits<double>::infinity();
  for (auto _ : state) {
    const double start = CpuSeconds();
    body();
    best = std::min(best, CpuSeconds() - start);
  }
  Figures()[Key(what, n)] = best;
  state.counters["cpu ms"] = best * 1e3;
  if (!floorWhat.empty()) {
    if (auto it = Figures().find(Key(floorWhat, n)); it != Figures().end()) {
      state.counters["floor ms"] = it->second * 1e3;
      state.counters["x floor"] = best / it->second;
    }
  }
  if (auto it = Figures().find(Key(what, n / 10)); it != Figures().end())
    state.counters["x N/10"] = best / it->second;
}

// ---- Data --------------------------------------------------------------------

QTemporaryDir& Work() {
  static QTemporaryDir dir;
  return dir;
}

std::string InWork(const std::string& name) {
  return Work().filePath(QString::fromStdString(name)).toStdString();
}

std::vector<long> RowCounts() {
  std::vector<long> counts;
  const char* text = std::getenv("QUILLET_SCALE_ROWS");
  std::string list = text && *text ? text : "1000,10000";
  for (std::size_t from = 0; from < list.size();) {
    std::size_t end = list.find(',', from);
    if (end == std::string::npos) end = list.size();
    counts.push_back(std::stol(list.substr(from, end - from)));
    from = end + 1;
  }
  // A million rows (18,868 pages) takes minutes: only when asked for.
  const char* million = std::getenv("QUILLET_SCALE_MILLION");
  if (million && *million && std::string(million) != "0" &&
      std::find(counts.begin(), counts.end(), 1'000'000L) == counts.end())
    counts.push_back(1'000'000L);
  return counts;
}

std::string NameOf(long i) {
  return "Item #" + std::to_string(i);
}
double PriceOf(long i) {
  return double(i % 10000) * 0.37;
}

std::string CsvPath(long n) {
  return InWork("rows-" + std::to_string(n) + ".csv");
}
std::string SqlitePath() {
  return InWork("rows.sqlite");
}
std::string SqlQuery(long n) {
  return "SELECT N, Name, Price FROM Rows WHERE N <= " + std::to_string(n) + " ORDER BY N";
}

// One CSV file per row count and one SQLite table of the most rows, written
// once before the first benchmark reads them.
void EnsureData() {
  static const bool written = [] {
    long most = 0;
    for (long n : RowCounts()) {
      most = std::max(most, n);
      std::FILE* f = std::fopen(CsvPath(n).c_str(), "w");
      if (!f) throw std::runtime_error("cannot write " + CsvPath(n));
      std::fprintf(f, "N,Name,Price\n");
      for (long i = 1; i <= n; ++i)
        std::fprintf(f, "%ld,%s,%.2f\n", i, NameOf(i).c_str(), PriceOf(i));
      std::fclose(f);
    }
    {
      QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "scale-writer");
      db.setDatabaseName(QString::fromStdString(SqlitePath()));
      if (!db.open()) throw std::runtime_error("cannot create " + SqlitePath());
      QSqlQuery q(db);
      q.exec("CREATE TABLE Rows (N INTEGER PRIMARY KEY, Name TEXT, Price NUMERIC)");
      db.transaction();
      q.prepare("INSERT INTO Rows VALUES (?, ?, ?)");
      for (long i = 1; i <= most; ++i) {
        q.bindValue(0, qlonglong(i));
        q.bindValue(1, QString::fromStdString(NameOf(i)));
        q.bindValue(2, PriceOf(i));
        if (!q.exec()) throw std::runtime_error(q.lastError().text().toStdString());
      }
      db.commit();
      db.close();
    }
    QSqlDatabase::removeDatabase("scale-writer");
    return true;
  }();
  (void)written;
}

std::string TemplatePath() {
  return QUILLET_BENCH_SOURCE "/scale_report.json";
}

void LoadTemplate(TfrReport& report) {
  std::ifstream in(TemplatePath(), std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  ReadTemplateJson(text, report.Template);
  report.SelectPrinterByName(report.Template.PrinterName);
  report.ShowProgress = false;
}

// The data set "Rows" over the CSV file or the SQLite table, registered for
// as long as it lives.
struct Rows {
  Rows(long n, bool sql) {
    if (sql) {
      database = std::make_unique<SqlConnection>(SqlitePath());
      dataset = std::make_unique<SourceDataset>(
          "Rows", std::make_unique<SqlSource>(*database, SqlQuery(n)));
    } else {
      dataset = std::make_unique<SourceDataset>("Rows", std::make_unique<CsvSource>(CsvPath(n)));
    }
    RegisterDataset(dataset.get());
  }
  std::unique_ptr<SqlConnection> database;
  std::unique_ptr<SourceDataset> dataset;  // freed before the database
};

// ---- Floors --------------------------------------------------------------------

// The texts of one page of rows, and where they go (report pixels).
struct PlacedText {
  int left, top;
  QString text;
};

std::vector<PlacedText> PageTexts(long firstRow, long lastRow, int page) {
  std::vector<PlacedText> texts;
  texts.push_back({kColumnLeft[0], kMargin, QStringLiteral("Page %1").arg(page)});
  int top = kMargin + kHeaderHeight;
  for (long i = firstRow; i <= lastRow; ++i, top += kRowHeight) {
    texts.push_back({kColumnLeft[0], top, QString::number(i)});
    texts.push_back({kColumnLeft[1], top, QString::fromStdString(NameOf(i))});
    texts.push_back({kColumnLeft[2], top, QString::number(PriceOf(i) * 1.5, 'f', 2)});
  }
  return texts;
}

// Draws the texts with the memos' inner gaps (2, 1) and font, `scale` device
// pixels a report pixel.
void PaintTexts(QPainter& painter, const std::vector<PlacedText>& texts, double scale) {
  const int ascent = painter.fontMetrics().ascent();
  for (const PlacedText& t : texts)
    painter.drawText(QPointF((t.left + 2) * scale, (t.top + 1) * scale + ascent), t.text);
}

QFont WorkloadFont() {
  return QFont(QStringLiteral("Liberation Sans"), 9);
}

void PdfFloor(long n, const std::string& path) {
  constexpr int kDpi = 600;
  QPdfWriter writer(QString::fromStdString(path));
  writer.setResolution(kDpi);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter(&writer);
  painter.setFont(WorkloadFont());
  const double scale = kDpi / ReportPixelsPerInch;
  int page = 1;
  for (long first = 1; first <= n; first += kRowsPerPage, ++page) {
    if (page > 1) writer.newPage();
    PaintTexts(painter, PageTexts(first, std::min(n, first + kRowsPerPage - 1), page), scale);
  }
  painter.end();
}

void PngFloor(const std::string& path) {
  const double scale = 0.5;
  QImage image(Round(758 * scale), Round(1071 * scale), QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QFont font = WorkloadFont();
    font.setPixelSize(Round(9 * 96 * scale / 72));
    painter.setFont(font);
    PaintTexts(painter, PageTexts(1, kRowsPerPage, 1), 96 * scale / ReportPixelsPerInch);
  }
  if (!image.save(QString::fromStdString(path), "PNG")) throw std::runtime_error("PNG not saved");
}

struct CsvCount {
  long cells = 0, rows = 0;
};

void CsvFloor(long n) {
  csv_parser parser;
  csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI);
  CsvCount count;
  auto cell = [](void*, std::size_t, void* c) { ++static_cast<CsvCount*>(c)->cells; };
  auto row = [](int, void* c) { ++static_cast<CsvCount*>(c)->rows; };
  std::FILE* f = std::fopen(CsvPath(n).c_str(), "rb");
  char block[64 * 1024];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, f)) > 0;)
    csv_parse(&parser, block, got, cell, row, &count);
  csv_fini(&parser, cell, row, &count);
  csv_free(&parser);
  std::fclose(f);
  if (count.rows != n + 1) throw std::runtime_error("CSV floor read the wrong rows");
}

void SqlFloor(long n) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "scale-floor");
    db.setDatabaseName(QString::fromStdString(SqlitePath()));
    db.setConnectOptions("QSQLITE_OPEN_READONLY");
    db.open();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QString::fromStdString(SqlQuery(n)));
    long rows = 0;
    while (q.next()) {
      benchmark::DoNotOptimize(q.value(0));
      benchmark::DoNotOptimize(q.value(1));
      benchmark::DoNotOptimize(q.value(2));
      ++rows;
    }
    if (rows != n) throw std::runtime_error("SQL floor read the wrong rows");
  }
  QSqlDatabase::removeDatabase("scale-floor");
}

// ---- The benchmarks --------------------------------------------------------

const char* SourceName(bool sql) {
  return sql ? "sqlite" : "csv";
}

void BM_PdfFloor(benchmark::State& state, long n) {
  EnsureData();
  Measure(state, "pdf-floor", n, "", [&] { PdfFloor(n, InWork("floor.pdf")); });
}

void BM_DataFloor(benchmark::State& state, long n, bool sql) {
  EnsureData();
  Measure(state, std::string("data-floor-") + SourceName(sql), n, "", [&] {
    if (sql)
      SqlFloor(n);
    else
      CsvFloor(n);
  });
}

// The data set stepped from first to last, every field read.
void BM_DataSet(benchmark::State& state, long n, bool sql) {
  EnsureData();
  const std::string floor = std::string("data-floor-") + SourceName(sql);
  Measure(state, std::string("data-set-") + SourceName(sql), n, floor, [&] {
    Rows rows(n, sql);
    TfrDataset& d = rows.dataset->Dataset();
    long count = 0;
    for (d.First(); !d.Eof(); d.Next(), ++count)
      for (const char* field : {"N", "Name", "Price"})
        benchmark::DoNotOptimize(rows.dataset->FieldValue(field));
    if (count != n) throw std::runtime_error("data set read the wrong rows");
  });
}

// Preparing: every bracket evaluated, every record written.
void BM_Prepare(benchmark::State& state, long n, bool sql) {
  EnsureData();
  Rows rows(n, sql);
  TfrReport report;
  LoadTemplate(report);
  Measure(state, std::string("prepare-") + SourceName(sql), n, "pdf-floor",
          [&] { report.Prepare(); });
  TfrEMFPages& pages = report.PreparedPages;
  double bytes = 0, held = 0;
  for (int i = 0; i < pages.Count(); ++i) {
    bytes += double(pages[i].ObjectStream.Size());
    held += double(pages[i].ObjectStream.HeldBytes());
  }
  state.counters["pages"] = pages.Count();
  state.counters["bytes/page"] = bytes / std::max(1, pages.Count());
  state.counters["held/page"] = held / std::max(1, pages.Count());
  if (!sql) report.SavePrepared(InWork("prepared-" + std::to_string(n) + ".frp"));
}

// Writing the prepared pages (of the CSV run) as one PDF.
void BM_WritePdf(benchmark::State& state, long n) {
  const std::string prepared = InWork("prepared-" + std::to_string(n) + ".frp");
  TfrReport report;
  report.LoadPrepared(prepared);
  std::vector<int> indexes(std::size_t(report.PreparedPages.Count()));
  for (std::size_t i = 0; i < indexes.size(); ++i) indexes[i] = int(i);
  Measure(state, "write-pdf", n, "pdf-floor", [&] {
    cli::WritePdf(report.PreparedPages, indexes, InWork("report.pdf"), report.Template.Info);
  });
}

void BM_PngFloor(benchmark::State& state) {
  Measure(state, "png-floor", 1, "", [] { PngFloor(InWork("floor.png")); });
}

// The first page of the prepared rows at half scale.
void BM_PngPage(benchmark::State& state) {
  EnsureData();
  Rows rows(kPngRows, false);
  TfrReport report;
  LoadTemplate(report);
  report.Prepare();
  Measure(state, "png-page", 1, "png-floor",
          [&] { cli::WritePng(report.PreparedPages, 0, 0.5, InWork("page.png")); });
}

// A summary band whose memo of `lines` lines breaks over pages (57 lines of
// 12-point text a page).
void BM_SplitMemo(benchmark::State& state, long lines) {
  TfrReport report;
  report.ShowProgress = false;
  TfrPage& page = report.Template.AddPage();
  auto band = std::make_unique<TfrBandView>();
  band->Name = "Summary1";
  band->FrameTyp = btReportSummary;
  band->Flags = flStretched | flBandBreaked;
  band->SetGeometry(0, 100, 758, 40);
  page.AddObject(std::move(band));
  auto memo = std::make_unique<TfrMemoView>();
  memo->Name = "Body";
  memo->SetGeometry(20, 105, 400, 30);
  memo->Font_.Size = 12;
  for (long i = 1; i <= lines; ++i) memo->Memo.push_back("Line number " + std::to_string(i));
  page.AddObject(std::move(memo));
  Measure(state, "split-memo", lines, "", [&] { report.Prepare(); });
  state.counters["pages"] = report.PreparedPages.Count();
}

// Runs a child process and returns its resource use; throws when it fails.
rusage RunChild(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
    throw std::runtime_error(args[0] + " did not start");
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(args[0] + " failed");
  return usage;
}

double CpuOf(const rusage& u) {
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The PDF floor in a child of this program: its peak memory is Qt's alone.
const bool pdfFloorChild = bench::RegisterChildTask("pdf-floor", [](const auto& args) {
  if (args.size() != 2) throw std::runtime_error("pdf-floor wants ROWS PATH");
  PdfFloor(std::stol(args[0]), args[1]);
  return 0;
});

// The whole road in one process - quillet-cli render from the template and
// the CSV file to a PDF - against the PDF floor in a child of its own: peak
// resident memory, and CPU time per row. Prepared pages past the memory
// budget wait in a file, so the road's memory stays near the floor's at any
// number of rows.
void BM_RoadPeakMemory(benchmark::State& state, long n) {
  EnsureData();
  rusage road{}, floor{};
  for (auto _ : state) {
    road = RunChild({QUILLET_CLI, "render", TemplatePath(), "--csv", "Rows=" + CsvPath(n), "--pdf",
                     InWork("road.pdf")});
    floor = RunChild(
        {"/proc/self/exe", "--child", "pdf-floor", std::to_string(n), InWork("floor-child.pdf")});
  }
  const double roadCpu = CpuOf(road), floorCpu = CpuOf(floor);
  state.counters["road MiB"] = road.ru_maxrss / 1024.0;
  state.counters["floor MiB"] = floor.ru_maxrss / 1024.0;
  state.counters["MiB x floor"] = double(road.ru_maxrss) / double(floor.ru_maxrss);
  state.counters["road us/row"] = roadCpu * 1e6 / double(n);
  state.counters["floor us/row"] = floorCpu * 1e6 / double(n);
  state.counters["cpu x floor"] = roadCpu / floorCpu;
  Figures()[Key("road", n)] = roadCpu;
  if (auto it = Figures().find(Key("road", n / 10)); it != Figures().end())
    state.counters["x N/10"] = roadCpu / it->second;
}

// ---- The first page on screen ----------------------------------------------

// The preview as the program opens a template: from the start (the data set
// opened, the template read, formation begun) to page 1 drawn in the preview
// window on the offscreen platform, beside the time to the whole report
// formed. Both are best-of CPU seconds as above; wall milliseconds beside.
struct FirstPageTimes {
  double firstCpu = 0, wholeCpu = 0;
  double firstWall = 0, wholeWall = 0;
  int pages = 0;
};

// Runs the page box's first paint on the spot and notes when it is done.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(FirstPageTimes& times, double startCpu,
                      std::chrono::steady_clock::time_point startWall)
      : times_(times), startCpu_(startCpu), startWall_(startWall) {}
  TfrPreviewForm* Form = nullptr;  // the window whose page box is watched

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || done_ || !Form) return false;
    watched->event(event);  // the page box paints
    // Page 1 is drawn when the paint took it into use.
    const TfrEMFPages* pages = Form->Pages();
    if (!pages || Form->PageCount() == 0 || !(*pages)[0].InUse) return true;
    done_ = true;
    times_.firstCpu = CpuSeconds() - startCpu_;
    times_.firstWall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - startWall_).count();
    return true;
  }

 private:
  FirstPageTimes& times_;
  double startCpu_;
  std::chrono::steady_clock::time_point startWall_;
  bool done_ = false;
};

FirstPageTimes FirstPageOnce(long n) {
  FirstPageTimes times;
  const double startCpu = CpuSeconds();
  const auto startWall = std::chrono::steady_clock::now();
  FirstPaint firstPaint(times, startCpu, startWall);
  QtEngineHost windows;
  EngineHost* before = &Engine().Host();
  Engine().SetHost(&windows);
  {
    Rows rows(n, false);
    TfrReport report;
    LoadTemplate(report);
    report.ModalPreview = true;
    windows.PreviewOpened = [&](TfrPreviewForm& form) {
      firstPaint.Form = &form;
      form.PageBox()->installEventFilter(&firstPaint);
      QObject::connect(&form, &TfrPreviewForm::FormationEnded, &form, [&] {
        times.wholeCpu = CpuSeconds() - startCpu;
        times.wholeWall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - startWall).count();
        times.pages = form.PageCount();
        QTimer::singleShot(0, &form, [&form] { form.close(); });
      });
    };
    report.PrepareAndPreview();
  }
  Engine().SetHost(before);
  if (times.pages == 0 || times.firstCpu == 0)
    throw std::runtime_error("the preview did not open while the report formed");
  return times;
}

void BM_FirstPage(benchmark::State& state, long n) {
  EnsureData();
  FirstPageTimes best;
  best.firstCpu = best.wholeCpu = best.firstWall = best.wholeWall =
      std::numeric_limits<double>::infinity();
  for (auto _ : state) {
    const FirstPageTimes t = FirstPageOnce(n);
    best.firstCpu = std::min(best.firstCpu, t.firstCpu);
    best.wholeCpu = std::min(best.wholeCpu, t.wholeCpu);
    best.firstWall = std::min(best.firstWall, t.firstWall);
    best.wholeWall = std::min(best.wholeWall, t.wholeWall);
    best.pages = t.pages;
  }
  Figures()[Key("first-page", n)] = best.firstCpu;
  state.counters["first page ms"] = best.firstCpu * 1e3;
  state.counters["whole ms"] = best.wholeCpu * 1e3;
  state.counters["first/whole"] = best.firstCpu / best.wholeCpu;
  state.counters["first wall ms"] = best.firstWall * 1e3;
  state.counters["whole wall ms"] = best.wholeWall * 1e3;
  state.counters["pages"] = best.pages;
}

const bool firstPageRegistered = [] {
  for (long n : RowCounts())
    benchmark::RegisterBenchmark(("FirstPage/" + std::to_string(n)).c_str(), BM_FirstPage, n)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(n >= 100000 ? 2 : 5);
  return true;
}();

// Floors first, then what is read against them, each row count after the
// one before so that the growth ratios find their tenth.
const bool registered = [] {
  using benchmark::RegisterBenchmark;
  const auto ms = benchmark::kMillisecond;
  for (long n : RowCounts()) {
    const int iterations = n >= 100000 ? 3 : n >= 10000 ? 5 : 10;
    // Reading data takes a millisecond or less: enough runs that a stall of
    // the machine cannot cover them all.
    const int dataIterations = static_cast<int>(std::max(10L, 2'000'000 / n));
    const std::string tail = "/" + std::to_string(n);
    RegisterBenchmark(("PdfFloor" + tail).c_str(), BM_PdfFloor, n)
        ->Unit(ms)
        ->Iterations(iterations);
    for (bool sql : {false, true}) {
      const std::string source = std::string("/") + SourceName(sql);
      RegisterBenchmark(("DataFloor" + tail + source).c_str(), BM_DataFloor, n, sql)
          ->Unit(ms)
          ->Iterations(dataIterations);
      RegisterBenchmark(("DataSet" + tail + source).c_str(), BM_DataSet, n, sql)
          ->Unit(ms)
          ->Iterations(dataIterations);
      RegisterBenchmark(("Prepare" + tail + source).c_str(), BM_Prepare, n, sql)
          ->Unit(ms)
          ->Iterations(iterations);
    }
    RegisterBenchmark(("WritePdf" + tail).c_str(), BM_WritePdf, n)
        ->Unit(ms)
        ->Iterations(iterations);
    RegisterBenchmark(("RoadPeakMemory" + tail).c_str(), BM_RoadPeakMemory, n)
        ->Unit(ms)
        ->Iterations(1);
  }
  RegisterBenchmark("PngFloor", BM_PngFloor)->Unit(ms)->Iterations(20);
  RegisterBenchmark("PngPage", BM_PngPage)->Unit(ms)->Iterations(20);
  for (long lines : {5700L, 57000L})
    RegisterBenchmark(("SplitMemo/" + std::to_string(lines)).c_str(), BM_SplitMemo, lines)
        ->Unit(ms)
        ->Iterations(3);
  return true;
}();

}  // namespace
}  // namespace quillet
