// Text laid out in a rectangle on a Canvas: alignment, word breaking,
// single-line vertical placement, tab expansion, accelerator marks and
// ellipses. The options are the DrawText-style flags below.
#pragma once

#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace quillet {

constexpr unsigned dtLeft = 0x0;
constexpr unsigned dtCenter = 0x1;
constexpr unsigned dtRight = 0x2;
constexpr unsigned dtVCenter = 0x4;     // single line only
constexpr unsigned dtBottom = 0x8;      // single line only
constexpr unsigned dtWordBreak = 0x10;  // break lines between words to fit the width
constexpr unsigned dtSingleLine = 0x20;
constexpr unsigned dtExpandTabs = 0x40;
constexpr unsigned dtCalcRect = 0x400;  // measure only: the rectangle grows or shrinks to the text
constexpr unsigned dtNoPrefix = 0x800;  // "&" is an ordinary character
constexpr unsigned dtPathEllipsis = 0x4000;
constexpr unsigned dtEndEllipsis = 0x8000;

// Draws `text` (UTF-8) into `rect` with the canvas font, one
// ExtTextOut per line, clipped to `rect`. With dtCalcRect nothing is drawn
// and rect's right and bottom become the edges of the laid-out text.
// Returns the height of the text.
int DrawFormattedText(Canvas& canvas, Rect& rect, std::string_view text, unsigned flags);

// Text with accelerator marks removed: "&&" is "&", a lone "&" vanishes.
std::string StripAccelerators(std::string_view text);

// The longest form of `line` that fits in `width` pixels, shortened with
// "..." at its end (end ellipsis) or before its last path part (path ellipsis).
std::string EllipsisText(Canvas& canvas, const std::string& line, int width, bool path);

}  // namespace quillet
