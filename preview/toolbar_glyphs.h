// The 16 x 16 glyphs of the engine's toolbars, drawn in code: ARGB images,
// transparent around the picture, ready for TfrSpeedButton::SetGlyph.
#pragma once

#include <QImage>

namespace quillet {

enum ToolbarGlyph {
  tgZoom,
  tgOpen,
  tgSave,
  tgPrint,
  tgFind,
  tgHelp,
  tgClose,
  tgPageUp,
  tgPageDown,
};

QImage MakeToolbarGlyph(ToolbarGlyph glyph);

}  // namespace quillet
