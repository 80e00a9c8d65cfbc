#include "report/graphics/svg_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "report/graphics/raster_limits.h"

namespace quillet {

PictureSize ReadSvgSize(std::span<const std::uint8_t> bytes) {
  const PictureSize size = InstalledPictureCodecs("SVG").SvgSize(bytes);
  CheckPictureSize(size.width, size.height, "SVG");
  return size;
}

RasterImage RenderSvg(std::span<const std::uint8_t> bytes, int width, int height) {
  double w = std::max(1.0, std::abs(double(width)));
  double h = std::max(1.0, std::abs(double(height)));
  const double k = std::min({1.0, double(kMaxPictureSide) / std::max(w, h),
                             std::sqrt(double(kMaxPicturePixels) / (w * h))});
  w = std::max(1.0, std::floor(w * k));
  h = std::max(1.0, std::floor(h * k));
  return InstalledPictureCodecs("SVG").RenderSvg(bytes, int(w), int(h));
}

bool LooksLikeSvg(std::span<const std::uint8_t> bytes) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()),
                        std::min<std::size_t>(bytes.size(), 4096));
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos || text[first] != '<') return false;
  text.remove_prefix(first);
  return text.starts_with("<?xml") || text.starts_with("<svg") ||
         (text.starts_with("<!") && text.find("<svg") != std::string_view::npos);
}

}  // namespace quillet
