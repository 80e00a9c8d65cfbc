#include "cli/diff_marks.h"

#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "cli/page_output.h"
#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/output_file.h"
#include "platform/qt/qt_canvas.h"
#include "report/prepared/prepared_pages.h"

namespace quillet::cli {
namespace {

constexpr int kMarkWidth = 2;  // image pixels; drawn just outside the object

// Page `index` of `pages` drawn at `scale` as render draws it.
QImage DrawnPage(TfrEMFPages& pages, int index, double scale) {
  const PrinterPageInfo& info = pages[index].PageInfo;
  const int w = std::max(1, Round(info.PaperWidthPx * scale));
  const int h = std::max(1, Round(info.PaperHeightPx * scale));
  QtImageCanvas canvas(w, h, clWhite, Round(96 * scale));
  if (canvas.Image().isNull())
    throw EngineError("No memory for the " + std::to_string(w) + " x " + std::to_string(h) +
                      " pixel image of page " + std::to_string(index + 1));
  pages[index].InUse = 1;
  try {
    pages.DrawPage(index, canvas, {0, 0, w, h});
  } catch (...) {
    pages.ReleasePage(index);
    throw;
  }
  pages.ReleasePage(index);
  return canvas.Image().copy();
}

void Mark(QImage& image, const std::vector<const Difference*>& marks, double scale) {
  QPainter painter(&image);
  for (const Difference* d : marks) {
    QPen pen(d->inB ? QColor(220, 0, 0) : QColor(0, 90, 230), kMarkWidth,
             d->inB ? Qt::SolidLine : Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRectF r(d->left * scale - kMarkWidth, d->top * scale - kMarkWidth,
                   d->width * scale + 2 * kMarkWidth, d->height * scale + 2 * kMarkWidth);
    painter.drawRect(r);
  }
}

void Save(const QImage& image, OutputFile& file) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG"))
    throw StreamWriteError("Cannot encode the PNG image of " + file.Path());
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(file.Descriptor(), data, static_cast<std::size_t>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw StreamWriteError("Cannot write PNG file \"" + file.Path() + "\". " +
                             std::strerror(errno));
    data += n;
    left -= n;
  }
}

}  // namespace

std::vector<std::string> WriteMarkedPages(TfrEMFPages& pagesB,
                                          const std::vector<Difference>& differences, double scale,
                                          const std::string& folder) {
  std::map<int, std::vector<const Difference*>> byPage;  // zero-based page -> its marks
  for (const Difference& d : differences) {
    if (d.page < 1 || d.page > pagesB.Count()) continue;
    auto& marks = byPage[d.page - 1];
    if (d.marked) marks.push_back(&d);
  }
  for (const auto& [index, marks] : byPage) CheckPngSize(pagesB[index], index, scale);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder))
    throw FileOpenError("Cannot create folder \"" + folder + "\"" +
                        (ec ? ". " + ec.message() : std::string()));
  OutputFileSet set;
  std::vector<std::string> written;
  for (const auto& [index, marks] : byPage) {
    const std::string path = (std::filesystem::path(folder) / PageFileName(index, "png")).string();
    QImage image = DrawnPage(pagesB, index, scale);
    Mark(image, marks, scale);
    OutputFile& file = set.Add(path);
    Save(image, file);
    file.Finish();
    written.push_back(path);
  }
  set.CommitAll();
  return written;
}

}  // namespace quillet::cli
