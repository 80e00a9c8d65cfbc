#include "preview/preview_window_size.h"

#include <algorithm>

namespace quillet {

QRect DefaultPreviewGeometry(const QRect& available) {
  constexpr int kLeastWidth = 443, kLeastHeight = 305;
  const int w = std::min(available.width(), std::max(kLeastWidth, available.width() * 7 / 8));
  const int h = std::min(available.height(), std::max(kLeastHeight, available.height() * 7 / 8));
  return {available.x() + (available.width() - w) / 2, available.y() + (available.height() - h) / 2,
          w, h};
}

}  // namespace quillet
