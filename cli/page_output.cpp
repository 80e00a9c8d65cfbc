#include "cli/page_output.h"

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

// Draws page `index` into `rect` of `canvas`, then releases its objects.
void DrawOne(TfrEMFPages& pages, int index, Canvas& canvas, const Rect& rect) {
  pages[index].InUse = 1;
  try {
    pages.DrawPage(index, canvas, rect);
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

// Writes through a temporary beside `path`; `write` gets the temporary's name.
template <typename Fn>
void Atomically(const std::string& path, Fn&& write) {
  const std::string temp = TemporaryNameBeside(path);
  try {
    write(temp);
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
    throw FileOpenError("Cannot create folder \"" + folder + "\"");
}

}  // namespace

std::string PageFileName(int index, const std::string& extension) {
  char name[32];
  std::snprintf(name, sizeof name, "page-%03d.%s", index + 1, extension.c_str());
  return name;
}

void WritePng(TfrEMFPages& pages, int index, double scale, const std::string& path) {
  const QSize size = PixelSize(pages[index], scale);
  QtImageCanvas canvas(size.width(), size.height(), clWhite, Round(96 * scale));
  DrawOne(pages, index, canvas, {0, 0, size.width(), size.height()});
  Atomically(path, [&canvas](const std::string& temp) {
    if (!canvas.Image().save(QString::fromStdString(temp), "PNG"))
      throw StreamWriteError("Cannot write PNG file \"" + temp + "\"");
  });
}

void WritePngPages(TfrEMFPages& pages, const std::vector<int>& indexes, double scale,
                   const std::string& folder) {
  WritePngPages(pages, indexes, [scale](int) { return scale; }, folder);
}

void WritePngPages(TfrEMFPages& pages, const std::vector<int>& indexes,
                   const std::function<double(int)>& scaleOfPage, const std::string& folder) {
  EnsureFolder(folder);
  for (int i : indexes)
    WritePng(pages, i, scaleOfPage(i),
             (std::filesystem::path(folder) / PageFileName(i, "png")).string());
}

double ScaleForLongerSide(TfrEMFPages& pages, int index, int pixels) {
  const PrinterPageInfo& info = pages[index].PageInfo;
  // A page without a paper size (a damaged file) still gets a finite scale.
  const int longer = std::max({1, info.PaperWidthPx, info.PaperHeightPx});
  return double(pixels) / longer;
}

void WritePdf(TfrEMFPages& pages, const std::vector<int>& indexes, const std::string& path) {
  Atomically(path, [&](const std::string& temp) {
    QPdfWriter writer(QString::fromStdString(temp));
    writer.setResolution(kPdfDpi);
    writer.setCreator(QStringLiteral("Quillet"));
    QPainter painter;
    bool first = true;
    for (int i : indexes) {
      const PreparedPage& page = pages[i];
      const double wInch = page.PageInfo.PaperWidthPx / ReportPixelsPerInch;
      const double hInch = page.PageInfo.PaperHeightPx / ReportPixelsPerInch;
      writer.setPageSize(QPageSize(QSizeF(wInch * 25.4, hInch * 25.4), QPageSize::Millimeter));
      writer.setPageMargins(QMarginsF(0, 0, 0, 0));
      if (first) {
        if (!painter.begin(&writer))
          throw StreamWriteError("Cannot write PDF file \"" + path + "\"");
      } else if (!writer.newPage()) {
        throw StreamWriteError("Cannot add a page to \"" + path + "\"");
      }
      first = false;
      QtCanvas canvas(painter, DeviceKind::Printer);
      DrawOne(pages, i, canvas, {0, 0, Round(wInch * kPdfDpi), Round(hInch * kPdfDpi)});
    }
    if (first && !painter.begin(&writer))  // no page selected: an empty document
      throw StreamWriteError("Cannot write PDF file \"" + path + "\"");
    if (!painter.end()) throw StreamWriteError("Cannot finish PDF file \"" + path + "\"");
  });
}

void WriteSvgPages(TfrEMFPages& pages, const std::vector<int>& indexes, double scale,
                   const std::string& folder) {
  EnsureFolder(folder);
  for (int i : indexes) {
    const std::string path = (std::filesystem::path(folder) / PageFileName(i, "svg")).string();
    Atomically(path, [&](const std::string& temp) {
      const QSize size = PixelSize(pages[i], scale);
      QSvgGenerator svg;
      svg.setFileName(QString::fromStdString(temp));
      svg.setSize(size);
      svg.setViewBox(QRect(QPoint(0, 0), size));
      svg.setResolution(Round(96 * scale));
      svg.setTitle(QStringLiteral("Quillet page %1").arg(i + 1));
      QPainter painter;
      if (!painter.begin(&svg)) throw StreamWriteError("Cannot write SVG file \"" + path + "\"");
      QtCanvas canvas(painter, DeviceKind::Printer);
      DrawOne(pages, i, canvas, {0, 0, size.width(), size.height()});
      painter.end();
    });
  }
}

}  // namespace quillet::cli
