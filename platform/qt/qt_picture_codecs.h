// PNG through Qt's image reader and writer, SVG through Qt SVG's renderer.
#pragma once

#include "platform/picture_codecs.h"

namespace quillet {

class QtPictureCodecs : public PictureCodecs {
 public:
  RasterImage DecodePng(std::span<const std::uint8_t> bytes) const override;
  std::vector<std::uint8_t> EncodePng(const RasterImage& image) const override;
  PictureSize SvgSize(std::span<const std::uint8_t> bytes) const override;
  RasterImage RenderSvg(std::span<const std::uint8_t> bytes, int width, int height) const override;
};

}  // namespace quillet
