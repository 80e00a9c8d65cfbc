#include "cli/page_output.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/qt/qt_canvas.h"
#include "platform/stream.h"
#include "report/prepared/prepared_pages.h"
#include "report/printer/printer.h"

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

// Writes through a temporary beside `path`; `write` gets the open temporary
// file. Failures name `path` (never the temporary) with the system's reason.
template <typename Fn>
void Atomically(const std::string& path, const std::string& what, Fn&& write) {
  const std::string temp = TemporaryNameBeside(path);
  auto failed = [&](const QFile& file) {
    return StreamWriteError("Cannot write " + what + " file \"" + path + "\". " +
                            file.errorString().toStdString());
  };
  try {
    QFile file(QString::fromStdString(temp));
    if (!file.open(QIODevice::WriteOnly)) throw failed(file);
    write(file);
    if (!file.flush() || file.error() != QFileDevice::NoError) throw failed(file);
    file.close();
    if (file.error() != QFileDevice::NoError) throw failed(file);
  } catch (...) {
    RemoveFileQuietly(temp);
    throw;
  }
  ReplaceFile(temp, path);
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

void WritePng(TfrEMFPages& pages, int index, double scale, const std::string& path,
              const PageDrawn& drawn) {
  CheckPngSize(pages[index], index, scale);
  const QSize size = PixelSize(pages[index], scale);
  QtImageCanvas canvas(size.width(), size.height(), clWhite, Round(96 * scale));
  if (canvas.Image().isNull())
    throw EngineError("No memory for the " + std::to_string(size.width()) + " x " +
                      std::to_string(size.height()) + " pixel image of page " +
                      std::to_string(index + 1));
  DrawOne(pages, index, canvas, {0, 0, size.width(), size.height()}, drawn);
  Atomically(path, "PNG", [&canvas](QFile& file) {
    if (!canvas.Image().save(&file, "PNG") && file.error() == QFileDevice::NoError)
      throw StreamWriteError("Cannot encode the PNG image of " + file.fileName().toStdString());
  });
}

void WritePngPages(TfrEMFPages& pages, const std::vector<int>& indexes, double scale,
                   const std::string& folder, const PageDrawn& drawn) {
  WritePngPages(
      pages, indexes, [scale](int) { return scale; }, folder, drawn);
}

void WritePngPages(TfrEMFPages& pages, const std::vector<int>& indexes,
                   const std::function<double(int)>& scaleOfPage, const std::string& folder,
                   const PageDrawn& drawn) {
  // Every page is checked before any is drawn, so a refusal leaves no half set.
  for (int i : indexes) CheckPngSize(pages[i], i, scaleOfPage(i));
  EnsureFolder(folder);
  for (int i : indexes)
    WritePng(pages, i, scaleOfPage(i),
             (std::filesystem::path(folder) / PageFileName(i, "png")).string(), drawn);
}

double ScaleForLongerSide(TfrEMFPages& pages, int index, int pixels) {
  const PrinterPageInfo& info = pages[index].PageInfo;
  // A page without a paper size (a damaged file) still gets a finite scale.
  const int longer = std::max({1, info.PaperWidthPx, info.PaperHeightPx});
  return double(pixels) / longer;
}

void WritePdf(TfrEMFPages& pages, const std::vector<int>& indexes, const std::string& path,
              const PageDrawn& drawn) {
  Atomically(path, "PDF", [&](QFile& file) {
    QPdfWriter writer(&file);
    writer.setResolution(kPdfDpi);
    writer.setCreator(QStringLiteral("Quillet"));
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
        if (!painter.begin(&writer))
          throw StreamWriteError("Cannot write PDF file \"" + path + "\"");
      } else if (!writer.newPage()) {
        throw StreamWriteError("Cannot add a page to \"" + path + "\"");
      }
      first = false;
      QtCanvas canvas(painter, DeviceKind::Printer);
      DrawOne(pages, i, canvas, {0, 0, Round(wInch * kPdfDpi), Round(hInch * kPdfDpi)}, drawn);
    }
    if (first && !painter.begin(&writer))  // no page selected: an empty document
      throw StreamWriteError("Cannot write PDF file \"" + path + "\"");
    if (!painter.end()) throw StreamWriteError("Cannot finish PDF file \"" + path + "\"");
  });
}

void WriteSvgPages(TfrEMFPages& pages, const std::vector<int>& indexes, double scale,
                   const std::string& folder, const PageDrawn& drawn) {
  EnsureFolder(folder);
  for (int i : indexes) {
    const std::string path = (std::filesystem::path(folder) / PageFileName(i, "svg")).string();
    Atomically(path, "SVG", [&](QFile& file) {
      const QSize size = PixelSize(pages[i], scale);
      QSvgGenerator svg;
      svg.setOutputDevice(&file);
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
  }
}

}  // namespace quillet::cli
