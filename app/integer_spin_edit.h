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
  // Bounds, increment and initial value come from `spec`.
  explicit IntegerSpinEdit(const SpinSpec& spec, QWidget* parent = nullptr);

  int Value() const;
  void SetValue(long long value);

  int MinValue() const { return static_cast<int>(spec_.minimum); }
  int MaxValue() const { return static_cast<int>(spec_.maximum); }
  const SpinSpec& Spec() const { return spec_; }

  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  SpinSpec spec_;
};

}  // namespace quillet
