// Where a button puts its glyph and caption inside its content rectangle.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace quillet {

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct ButtonLayoutResult {
  QPoint glyphPos;    // top-left of the glyph image
  QRect captionRect;  // the caption is centred on one line in this rectangle
};

// Lays out a glyph of `glyph` size and a caption of `caption` size (either
// may be empty) in `client`. Along the layout axis `margin` is the glyph's
// distance from its edge (-1 centres glyph and caption together) and
// `spacing` the gap between them (-1 spreads them evenly); across the axis
// both are centred.
ButtonLayoutResult LayOutButton(const QRect& client, QSize glyph, QSize caption,
                                TButtonLayout layout, int margin, int spacing);

}  // namespace quillet
