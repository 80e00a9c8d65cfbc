#include "app/decimal_spin_edit.h"

#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "platform/qt/qt_text.h"
#include "report/base/text_format.h"
#include "sheet/sheet_controls.h"

namespace quillet {

DecimalSpinEdit::DecimalSpinEdit(const SpinBounds& bounds, QWidget* parent)
    : QAbstractSpinBox(parent), bounds_(bounds) {
  setObjectName(
      QString::fromLatin1(bounds.name.data(), static_cast<qsizetype>(bounds.name.size())));
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setKeyboardTracking(true);
  SetValue(bounds.initial);
}

double DecimalSpinEdit::Value() const {
  return ReadDecimalSpin(FromQString(lineEdit()->text()), bounds_);
}

void DecimalSpinEdit::SetValue(double value) {
  lineEdit()->setText(ToQString(FloatToText(value, ProgramDecimalSeparator())));
}

void DecimalSpinEdit::stepBy(int steps) {
  double v = Value() + steps * bounds_.step;
  // Remove the binary noise of repeated steps (0.01 + 0.01 + ...).
  v = std::round(v * 1e9) / 1e9;
  if (bounds_.minimum < bounds_.maximum) v = std::clamp(v, bounds_.minimum, bounds_.maximum);
  SetValue(v);
}

QAbstractSpinBox::StepEnabled DecimalSpinEdit::stepEnabled() const {
  return StepUpEnabled | StepDownEnabled;
}

}  // namespace quillet
