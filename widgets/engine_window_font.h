// The font of the engine's windows: the classic 8-point dialog face at 11
// pixels, served by Arial's metric twin where the original face is missing.
#pragma once

#include <QFont>

namespace quillet {

inline QFont EngineWindowFont() {
  QFont font;
  font.setFamilies({"MS Sans Serif", "Arial", "Liberation Sans"});
  font.setPixelSize(11);
  return font;
}

}  // namespace quillet
