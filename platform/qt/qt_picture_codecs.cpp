#include "platform/qt/qt_picture_codecs.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <cstring>

#include "platform/errors.h"

namespace quillet {
namespace {

QByteArray Wrapped(std::span<const std::uint8_t> bytes) {
  // The bytes outlive every use below; no copy is made.
  return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                 static_cast<qsizetype>(bytes.size()));
}

RasterImage FromQImage(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  RasterImage out;
  out.width = image.width();
  out.height = image.height();
  out.pixels.resize(std::size_t(out.width) * std::size_t(out.height));
  for (int y = 0; y < out.height; ++y)
    std::memcpy(out.pixels.data() + std::size_t(y) * std::size_t(out.width), image.constScanLine(y),
                std::size_t(out.width) * sizeof(std::uint32_t));
  return out;
}

}  // namespace

RasterImage QtPictureCodecs::DecodePng(std::span<const std::uint8_t> bytes) const {
  QByteArray data = Wrapped(bytes);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "png");
  QImage image;
  if (!reader.read(&image) || image.isNull())
    throw StreamReadError("PNG: " + reader.errorString().toStdString());
  return FromQImage(image);
}

std::vector<std::uint8_t> QtPictureCodecs::EncodePng(const RasterImage& image) const {
  if (image.IsEmpty()) throw StreamWriteError("PNG: an empty image has no PNG form");
  const QImage view(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                    image.width * 4, QImage::Format_ARGB32);
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(view)) throw StreamWriteError("PNG: " + writer.errorString().toStdString());
  return {data.begin(), data.end()};
}

PictureSize QtPictureCodecs::SvgSize(std::span<const std::uint8_t> bytes) const {
  QSvgRenderer renderer(Wrapped(bytes));
  if (!renderer.isValid()) throw StreamReadError("SVG: not a drawing Qt SVG can draw");
  QSizeF size = renderer.defaultSize();
  if (size.isEmpty()) size = renderer.viewBoxF().size();
  if (!(size.width() >= 0.5 && size.height() >= 0.5) || !std::isfinite(size.width()) ||
      !std::isfinite(size.height()))
    throw StreamReadError("SVG: the drawing gives no size");
  return {int(std::lround(std::min(size.width(), 1e9))),
          int(std::lround(std::min(size.height(), 1e9)))};
}

RasterImage QtPictureCodecs::RenderSvg(std::span<const std::uint8_t> bytes, int width,
                                       int height) const {
  QSvgRenderer renderer(Wrapped(bytes));
  if (!renderer.isValid()) throw StreamReadError("SVG: not a drawing Qt SVG can draw");
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) throw StreamReadError("SVG: no room for the drawing's pixels");
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, width, height));
  }
  return FromQImage(image);
}

}  // namespace quillet
