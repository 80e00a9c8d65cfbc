// SVG drawings, drawn by the platform's picture codecs
// (platform/picture_codecs.h). A drawing keeps its bytes; it is rendered
// afresh at the size it is drawn at, so it stays sharp on any device.
#pragma once

#include <cstdint>
#include <span>

#include "platform/canvas.h"
#include "platform/picture_codecs.h"

namespace quillet {

// The drawing's natural size in pixels. Throws StreamReadError for bytes
// that are not a drawing, a natural size past the raster limits, or when no
// picture codecs are installed.
PictureSize ReadSvgSize(std::span<const std::uint8_t> bytes);

// The drawing rendered into about width x height pixels (either may be
// negative: its magnitude counts), over transparency. A size past the
// raster limits is scaled down, keeping its aspect; the canvas stretches
// the result. Throws as ReadSvgSize.
RasterImage RenderSvg(std::span<const std::uint8_t> bytes, int width, int height);

// Whether the bytes look like SVG text: an XML declaration or an <svg
// element near the start (after a byte-order mark and white space).
bool LooksLikeSvg(std::span<const std::uint8_t> bytes);

}  // namespace quillet
