// The settings controls of the main window: bounds, steps, initial values,
// and how a control's text reads as a value. One table serves the window and
// every other front end, so bounds are written down once.
#pragma once

#include <array>
#include <string_view>

namespace quillet {

struct SpinBounds {
  std::string_view name;   // control name ("spnWidth")
  std::string_view label;  // caption left of the control
  std::string_view unit;   // caption right of the control, may be empty
  double minimum;
  double maximum;  // equal to minimum: no range
  double step;
  double initial;
  bool integer;  // integer spin edit (clamps on write) rather than decimal
};

enum SpinId {
  spnWidth,
  spnHeight,
  spnCount,
  spnGap,
  spnLineThickness,
  spnPPM,
  spnPageWidth,
  spnPageHeight,
  spnTop,
  spnLeft,
  spnRndCnr,
  spnAdjust,
  spnSides,
  spnAngle,
  spnInnerPc,
  spnSkew,
  spnTriAngle,
  kSpinCount,
};

extern const std::array<SpinBounds, kSpinCount> kSpins;

// The decimal separator of every number the program shows, reads and
// stores in its settings: the engine's.
char ProgramDecimalSeparator();

// A decimal spin edit's text as its value: the text as a number (with the
// program's decimal separator), or the minimum when it is empty or not a
// number. Not clamped to the bounds.
double ReadDecimalSpin(std::string_view text, const SpinBounds& bounds);
// An integer spin edit's text as its value: the integer, or the minimum.
int ReadIntegerSpin(std::string_view text, const SpinBounds& bounds);
// What an integer spin edit holds after writing `value`: clamped into the
// bounds unless they are equal.
int ClampIntegerSpin(long long value, const SpinBounds& bounds);

}  // namespace quillet
