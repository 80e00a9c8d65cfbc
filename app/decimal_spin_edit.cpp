#include "app/decimal_spin_edit.h"

#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "platform/qt/qt_text.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"

namespace quillet {

DecimalSpinEdit::DecimalSpinEdit(const SpinSpec& spec, QWidget* parent)
    : QAbstractSpinBox(parent), spec_(spec) {
  setObjectName(QString::fromLatin1(spec.name.data(), static_cast<qsizetype>(spec.name.size())));
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setKeyboardTracking(true);
  SetValue(spec.initial);
}

double DecimalSpinEdit::Value() const {
  return ReadDecimalSpin(FromQString(lineEdit()->text()), spec_);
}

void DecimalSpinEdit::SetValue(double value) {
  lineEdit()->setText(ToQString(FloatToText(value, Engine().DecimalSeparator)));
}

void DecimalSpinEdit::stepBy(int steps) {
  double v = Value() + steps * spec_.step;
  // Remove the binary noise of repeated steps (0.01 + 0.01 + ...).
  v = std::round(v * 1e9) / 1e9;
  if (spec_.minimum < spec_.maximum) v = std::clamp(v, spec_.minimum, spec_.maximum);
  SetValue(v);
}

QAbstractSpinBox::StepEnabled DecimalSpinEdit::stepEnabled() const {
  return StepUpEnabled | StepDownEnabled;
}

}  // namespace quillet
