// Size limits every picture reader applies before it allocates pixels.
#pragma once

#include <cstdint>
#include <string>

#include "platform/errors.h"

namespace quillet {

// Largest side and largest pixel count a decoded picture may have: enough
// for a full-page scan at print resolution, small enough that a few hostile
// header bytes cannot ask for gigabytes.
constexpr std::int64_t kMaxPictureSide = 32768;
constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 25;

// Throws StreamReadError naming `what` when width x height is not a
// plausible picture size (non-positive or past the limits above).
inline void CheckPictureSize(std::int64_t width, std::int64_t height, const char* what) {
  if (width <= 0 || height <= 0)
    throw StreamReadError(std::string(what) + ": picture size " + std::to_string(width) + " x " +
                          std::to_string(height) + " is not valid");
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
    throw StreamReadError(std::string(what) + ": picture size " + std::to_string(width) + " x " +
                          std::to_string(height) + " is larger than the engine accepts");
}

}  // namespace quillet
