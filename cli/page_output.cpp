#include "cli/page_output.h"

#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "cli/pdf_document_info.h"
#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/output_file.h"
#include "platform/qt/qt_canvas.h"
#include "platform/scope_guard.h"
#include "platform/spill_file.h"
#include "platform/stream.h"
#include "report/prepared/prepared_pages.h"
#include "report/printer/printer.h"
#include "report/template/report_template.h"

namespace quillet::cli {
namespace {

constexpr int kPdfDpi = 600;

// Draws page `index` into `rect` of `canvas`, tells `drawn`, then releases
// the page's objects.
void DrawOne(TfrEMFPages& pages, int index, Canvas& canvas, const Rect& rect,
             const PageDrawn& drawn) {
  pages[index].InUse = 1;
  try {
    pages.DrawPage(index, canvas, rect);
    if (drawn && pages[index].RebuiltPage) drawn(index, *pages[index].RebuiltPage);
  } catch (...) {
    pages[index].InUse = 0;
    pages.DrawPage(index, canvas, {});
    throw;
  }
  pages[index].InUse = 0;
  pages.DrawPage(index, canvas, {});
}

QSize PixelSize(const PreparedPage& page, double scale) {
  return {std::max(1, Round(page.PageInfo.PaperWidthPx * scale)),
          std::max(1, Round(page.PageInfo.PaperHeightPx * scale))};
}

std::string Millimetres(const PreparedPage& page) {
  char text[64];
  std::snprintf(text, sizeof text, "%.0f x %.0f mm",
                page.PageInfo.PaperWidthPx / ReportPixelsPerInch * 25.4,
                page.PageInfo.PaperHeightPx / ReportPixelsPerInch * 25.4);
  return text;
}

// Writes `file` (output_file.h) through `write`, which gets it open as a
// QFile. Failures name `path` with the system's reason; `file` is committed
// by the caller.
template <typename Fn>
void WriteInto(OutputFile& file, const std::string& path, const std::string& what, Fn&& write) {
  auto failed = [&](const QFile& f) {
    return StreamWriteError("Cannot write " + what + " file \"" + path + "\". " +
                            f.errorString().toStdString());
  };
  QFile out;
  if (!out.open(file.Descriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
    throw failed(out);
  write(out);
  if (!out.flush() || out.error() != QFileDevice::NoError) throw failed(out);
  out.close();
  if (out.error() != QFileDevice::NoError) throw failed(out);
}

// One file written whole or not at all.
template <typename Fn>
void Atomically(const std::string& path, const std::string& what, Fn&& write) {
  OutputFile file(path);
  WriteInto(file, path, what, std::forward<Fn>(write));
  file.Commit();
}

void EnsureFolder(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder))
    throw FileOpenError("Cannot create folder \"" + folder + "\"" +
                        (ec ? ". " + ec.message() : std::string()));
}

}  // namespace

std::string PageFileName(int index, const std::string& extension) {
  char name[32];
  std::snprintf(name, sizeof name, "page-%03d.%s", index + 1, extension.c_str());
  return name;
}

std::string LargestPaper(TfrEMFPages& pages, const std::vector<int>& indexes) {
  int largest = indexes.empty() ? 0 : indexes[0];
  auto area = [&pages](int i) {
    return double(pages[i].PageInfo.PaperWidthPx) * pages[i].PageInfo.PaperHeightPx;
  };
  for (int i : indexes)
    if (area(i) > area(largest)) largest = i;
  return indexes.empty() ? std::string() : Millimetres(pages[largest]);
}

void CheckPngSize(const PreparedPage& page, int index, double scale) {
  const std::int64_t w = std::max<std::int64_t>(1, Round64(page.PageInfo.PaperWidthPx * scale));
  const std::int64_t h = std::max<std::int64_t>(1, Round64(page.PageInfo.PaperHeightPx * scale));
  const double bytes = double(w) * double(h) * kPngBytesPerPixel;
  if (w <= kMaxPngSide && h <= kMaxPngSide && bytes <= double(kMaxPngImageBytes)) return;
  char size[160];
  constexpr double kGiB = 1024.0 * 1024.0 * 1024.0;
  std::snprintf(size, sizeof size, "%lld x %lld pixels (%.1f GiB)", static_cast<long long>(w),
                static_cast<long long>(h), bytes / kGiB);
  char limit[64];
  std::snprintf(limit, sizeof limit, "%g GiB and %d pixels a side",
                double(kMaxPngImageBytes) / kGiB, kMaxPngSide);
  throw EngineError("Page " + std::to_string(index + 1) + " (" + Millimetres(page) + ") at scale " +
                    QString::number(scale).toStdString() + " would be " + size +
                    ", beyond the PNG limit of " + limit +
                    "; use a smaller --scale, or --pdf or --svg");
}

namespace {

// Draws page `index` and writes its PNG image into `file`.
void WritePngInto(TfrEMFPages& pages, int index, double scale, OutputFile& file,
                  const std::string& path, const PageDrawn& drawn) {
  const QSize size = PixelSize(pages[index], scale);
  QtImageCanvas canvas(size.width(), size.height(), clWhite, Round(96 * scale));
  if (canvas.Image().isNull())
    throw EngineError("No memory for the " + std::to_string(size.width()) + " x " +
                      std::to_string(size.height()) + " pixel image of page " +
                      std::to_string(index + 1));
  DrawOne(pages, index, canvas, {0, 0, size.width(), size.height()}, drawn);
  WriteInto(file, path, "PNG", [&](QFile& out) {
    if (!canvas.Image().save(&out, "PNG") && out.error() == QFileDevice::NoError)
      throw StreamWriteError("Cannot encode the PNG image of " + path);
  });
}

// The page files ("page-NNN.EXT") in `folder` that the set `indexes` does
// not write: left from an earlier run.
std::vector<std::string> OtherPageFiles(const std::string& folder, const std::vector<int>& indexes,
                                        const std::string& extension) {
  std::vector<std::string> written;
  for (int i : indexes) written.push_back(PageFileName(i, extension));
  std::sort(written.begin(), written.end());
  std::vector<std::string> others;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    const std::string suffix = "." + extension;
    if (name.rfind("page-", 0) != 0 || name.size() <= 5 + suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    const std::string digits = name.substr(5, name.size() - 5 - suffix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
    if (!std::binary_search(written.begin(), written.end(), name)) others.push_back(name);
  }
  std::sort(others.begin(), others.end());
  return others;
}

}  // namespace

void WritePng(TfrEMFPages& pages, int index, double scale, const std::string& path,
              const PageDrawn& drawn) {
  CheckPngSize(pages[index], index, scale);
  OutputFile file(path);
  WritePngInto(pages, index, scale, file, path, drawn);
  file.Commit();
}

void WritePngPages(TfrEMFPages& pages, const std::vector<int>& indexes, double scale,
                   const std::string& folder, const PageDrawn& drawn) {
  WritePngPages(
      pages, indexes, [scale](int) { return scale; }, folder, drawn);
}

std::vector<std::string> WritePngPages(TfrEMFPages& pages, const std::vector<int>& indexes,
                                       const std::function<double(int)>& scaleOfPage,
                                       const std::string& folder, const PageDrawn& drawn) {
  // Every page is checked before any is drawn, so a refusal leaves no half set.
  for (int i : indexes) CheckPngSize(pages[i], i, scaleOfPage(i));
  EnsureFolder(folder);
  // Each page goes to a temporary; they replace the old files only once all
  // are written, so a failure leaves the folder as it was.
  OutputFileSet set;
  for (int i : indexes) {
    const std::string path = (std::filesystem::path(folder) / PageFileName(i, "png")).string();
    OutputFile& file = set.Add(path);
    WritePngInto(pages, i, scaleOfPage(i), file, path, drawn);
    file.Finish();
  }
  set.CommitAll();
  return OtherPageFiles(folder, indexes, "png");
}

double ScaleForLongerSide(TfrEMFPages& pages, int index, int pixels) {
  const PrinterPageInfo& info = pages[index].PageInfo;
  // A page without a paper size (a damaged file) still gets a finite scale.
  const int longer = std::max({1, info.PaperWidthPx, info.PaperHeightPx});
  return double(pixels) / longer;
}

void WritePdf(TfrEMFPages& pages, const std::vector<int>& indexes, const std::string& path,
              const DocumentInfo& info, const PageDrawn& drawn) {
  // Drawn into a temporary file first: the outline, labels and document
  // information are appended as an update that refers to the objects Qt
  // wrote, which a target such as a pipe could not give back. The file, not
  // memory, holds the drawn pages, so a PDF of any length takes no more
  // memory than its largest page.
  QFile drawnFile;
  const int fd = OpenUnnamedTemporaryFile("the PDF being drawn");
  if (!drawnFile.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    throw StreamWriteError("Cannot draw PDF file \"" + path + "\". " +
                           drawnFile.errorString().toStdString());
  }
  {
    const auto failed = [&path, &drawnFile](const char* what) {
      return StreamWriteError(std::string(what) + " \"" + path + "\". " +
                              drawnFile.errorString().toStdString());
    };
    QPdfWriter writer(&drawnFile);
    writer.setResolution(kPdfDpi);
    writer.setCreator(QStringLiteral("Quillet"));
    writer.setTitle(QString::fromStdString(info.Title));
    QPainter painter;
    bool first = true;
    for (int i : indexes) {
      const PreparedPage& page = pages[i];
      const double wInch = page.PageInfo.PaperWidthPx / ReportPixelsPerInch;
      const double hInch = page.PageInfo.PaperHeightPx / ReportPixelsPerInch;
      if (!writer.setPageSize(QPageSize(QSizeF(wInch * 25.4, hInch * 25.4), QPageSize::Millimeter)))
        throw StreamWriteError("Page " + std::to_string(i + 1) + " (" + Millimetres(page) +
                               ") is a paper size a PDF page cannot take");
      writer.setPageMargins(QMarginsF(0, 0, 0, 0));
      if (first) {
        if (!painter.begin(&writer)) throw failed("Cannot write PDF file");
      } else if (!writer.newPage()) {
        throw failed("Cannot add a page to");
      }
      first = false;
      QtCanvas canvas(painter, DeviceKind::Printer);
      DrawOne(pages, i, canvas, {0, 0, Round(wInch * kPdfDpi), Round(hInch * kPdfDpi)}, drawn);
    }
    if (first && !painter.begin(&writer))  // no page selected: an empty document
      throw failed("Cannot write PDF file");
    if (!painter.end() || !drawnFile.flush()) throw failed("Cannot finish PDF file");
  }
  // Only the trailer, the cross-reference table and the few objects it
  // names are read from the mapped file.
  const qint64 size = drawnFile.size();
  uchar* mapped = size > 0 ? drawnFile.map(0, size) : nullptr;
  if (size > 0 && !mapped)
    throw StreamWriteError("Cannot read back the PDF drawn for \"" + path + "\". " +
                           drawnFile.errorString().toStdString());
  const std::string update = [&] {
    const ScopeGuard unmap([&] {
      if (mapped) drawnFile.unmap(mapped);
    });
    return PdfDocumentUpdate(
        std::string_view(reinterpret_cast<const char*>(mapped), std::size_t(size)),
        PdfExtrasOf(pages, indexes, info));
  }();
  Atomically(path, "PDF", [&](QFile& file) {
    const auto failedWrite = [&] {
      return StreamWriteError("Cannot write PDF file \"" + path + "\". " +
                              file.errorString().toStdString());
    };
    drawnFile.seek(0);
    std::vector<char> chunk(std::size_t(1) << 20);
    for (qint64 done = 0; done < size;) {
      const qint64 n = drawnFile.read(chunk.data(), qint64(chunk.size()));
      if (n <= 0)
        throw StreamWriteError("Cannot read back the PDF drawn for \"" + path + "\". " +
                               drawnFile.errorString().toStdString());
      if (file.write(chunk.data(), n) != n) throw failedWrite();
      done += n;
    }
    if (file.write(update.data(), qint64(update.size())) != qint64(update.size()))
      throw failedWrite();
  });
}

std::vector<std::string> WriteSvgPages(TfrEMFPages& pages, const std::vector<int>& indexes,
                                       double scale, const std::string& folder,
                                       const PageDrawn& drawn) {
  EnsureFolder(folder);
  OutputFileSet set;
  for (int i : indexes) {
    const std::string path = (std::filesystem::path(folder) / PageFileName(i, "svg")).string();
    OutputFile& file = set.Add(path);
    WriteInto(file, path, "SVG", [&](QFile& out) {
      const QSize size = PixelSize(pages[i], scale);
      QSvgGenerator svg;
      svg.setOutputDevice(&out);
      svg.setSize(size);
      svg.setViewBox(QRect(QPoint(0, 0), size));
      svg.setResolution(Round(96 * scale));
      svg.setTitle(QStringLiteral("Quillet page %1").arg(i + 1));
      QPainter painter;
      if (!painter.begin(&svg)) throw StreamWriteError("Cannot write SVG file \"" + path + "\"");
      QtCanvas canvas(painter, DeviceKind::Printer);
      DrawOne(pages, i, canvas, {0, 0, size.width(), size.height()}, drawn);
      painter.end();
    });
    file.Finish();
  }
  set.CommitAll();
  return OtherPageFiles(folder, indexes, "svg");
}

}  // namespace quillet::cli
