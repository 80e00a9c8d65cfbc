// A spin edit holding a floating-point value, stepped by its increment.
//
// The value is whatever the text says: reading parses the current text as
// a number (the engine's decimal separator), and empty or non-numeric text
// reads as the minimum. The value read is not clamped to the bounds, so a
// typed value outside them is used as typed. Writing shows the value as text.
#pragma once

#include <QAbstractSpinBox>

#include "sheet/sheet_controls.h"

namespace quillet {

class DecimalSpinEdit : public QAbstractSpinBox {
  Q_OBJECT
 public:
  // Bounds, increment and initial value come from `bounds`.
  explicit DecimalSpinEdit(const SpinBounds& bounds, QWidget* parent = nullptr);

  double Value() const;
  void SetValue(double value);

  double MinValue() const { return bounds_.minimum; }
  double MaxValue() const { return bounds_.maximum; }
  double Increment() const { return bounds_.step; }
  const SpinBounds& Bounds() const { return bounds_; }

  // Steps from the value read, staying within the bounds unless they are equal.
  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  SpinBounds bounds_;
};

}  // namespace quillet
