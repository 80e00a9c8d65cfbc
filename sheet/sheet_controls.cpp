#include "sheet/sheet_controls.h"

#include <algorithm>

#include "platform/errors.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"

namespace quillet {

const std::array<SpinBounds, kSpinCount> kSpins = {{
    {"spnWidth", "Object Width", "mm", 10, 500, 0.5, 50, false},
    {"spnHeight", "Object Height", "mm", 10, 500, 0.5, 50, false},
    {"spnCount", "Number of Objects", "", 1, 7, 1, 2, false},
    {"spnGap", "Vertical Gap", "pixels", 5, 200, 1, 20, false},
    {"spnLineThickness", "Line Thickness", "pixels", 1, 10, 1, 1, false},
    {"spnPPM", "Default Pixels per mm", "", 1, 10, 0.01, 3.62, false},
    {"spnPageWidth", "Page Width", "pixels", 300, 1200, 1, 756, false},
    {"spnPageHeight", "Page Height", "pixels", 300, 1200, 1, 1073, false},
    {"spnTop", "First Image Top", "pixels", 0, 1069, 1, 16, false},
    {"spnLeft", "Image Left", "pixels", 0, 350, 1, 27, false},
    {"spnRndCnr", "Round Corner Radius", "mm", 0, 0, 1, 0, false},
    {"spnAdjust", "Printer Adjustment", "", -10, 10, 0.01, 0, false},
    {"spnSides", "Polygon/Star Sides", "", 3, 50, 1, 5, false},
    {"spnAngle", "Polygon/Star Angle", "deg", -359, 359, 1, 0, true},
    {"spnInnerPc", "Star Inner Radius ", "%", -100, 100, 1, 50, true},
    {"spnSkew", "Star Inner Skew", "deg", -100, 100, 1, 0, true},
    {"spnTriAngle", "Default Triangle Fix", "", 0.5, 2, 0.01, 0.86, false},
}};

char ProgramDecimalSeparator() {
  // The program's windows and settings file belong to no report: they use
  // the process engine's setting.
  return Engine().DecimalSeparator;
}

double ReadDecimalSpin(std::string_view text, const SpinBounds& bounds) {
  double v = 0;
  if (TryStrToFloat(text, ProgramDecimalSeparator(), v)) return v;
  return bounds.minimum;
}

int ReadIntegerSpin(std::string_view text, const SpinBounds& bounds) {
  try {
    return StrToInt(text);
  } catch (const ConversionError&) {
    return static_cast<int>(bounds.minimum);
  }
}

int ClampIntegerSpin(long long value, const SpinBounds& bounds) {
  if (bounds.minimum == bounds.maximum) return static_cast<int>(value);
  return static_cast<int>(std::clamp<long long>(value, static_cast<long long>(bounds.minimum),
                                                static_cast<long long>(bounds.maximum)));
}

}  // namespace quillet
