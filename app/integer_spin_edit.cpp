#include "app/integer_spin_edit.h"

#include <QLineEdit>

#include "platform/qt/qt_text.h"

namespace quillet {

IntegerSpinEdit::IntegerSpinEdit(const SpinSpec& spec, QWidget* parent)
    : QAbstractSpinBox(parent), spec_(spec) {
  setObjectName(QString::fromLatin1(spec.name.data(), static_cast<qsizetype>(spec.name.size())));
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  SetValue(static_cast<long long>(spec.initial));
}

int IntegerSpinEdit::Value() const {
  return ReadIntegerSpin(FromQString(lineEdit()->text()), spec_);
}

void IntegerSpinEdit::SetValue(long long value) {
  lineEdit()->setText(QString::number(ClampIntegerSpin(value, spec_)));
}

void IntegerSpinEdit::stepBy(int steps) {
  const long long step = spec_.step >= 1 ? static_cast<long long>(spec_.step) : 1;
  SetValue(Value() + steps * step);
}

QAbstractSpinBox::StepEnabled IntegerSpinEdit::stepEnabled() const {
  return StepUpEnabled | StepDownEnabled;
}

}  // namespace quillet
