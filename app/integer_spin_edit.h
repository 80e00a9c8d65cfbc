// A spin edit holding an integer.
//
// Reading parses the text as an integer and gives the minimum when that
// fails; writing clamps the value into the bounds unless they are equal.
#pragma once

#include <QAbstractSpinBox>

#include "sheet/sheet_controls.h"

namespace quillet {

class IntegerSpinEdit : public QAbstractSpinBox {
  Q_OBJECT
 public:
  // Bounds, increment and initial value come from `bounds`.
  explicit IntegerSpinEdit(const SpinBounds& bounds, QWidget* parent = nullptr);

  int Value() const;
  void SetValue(long long value);

  int MinValue() const { return static_cast<int>(bounds_.minimum); }
  int MaxValue() const { return static_cast<int>(bounds_.maximum); }
  const SpinBounds& Bounds() const { return bounds_; }

  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  SpinBounds bounds_;
};

}  // namespace quillet
