#include "app/integer_spin_edit.h"

#include <QLineEdit>

#include "platform/qt/qt_text.h"

namespace quillet {

IntegerSpinEdit::IntegerSpinEdit(const SpinBounds& bounds, QWidget* parent)
    : QAbstractSpinBox(parent), bounds_(bounds) {
  setObjectName(
      QString::fromLatin1(bounds.name.data(), static_cast<qsizetype>(bounds.name.size())));
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  SetValue(static_cast<long long>(bounds.initial));
}

int IntegerSpinEdit::Value() const {
  return ReadIntegerSpin(FromQString(lineEdit()->text()), bounds_);
}

void IntegerSpinEdit::SetValue(long long value) {
  lineEdit()->setText(QString::number(ClampIntegerSpin(value, bounds_)));
}

void IntegerSpinEdit::stepBy(int steps) {
  const long long step = bounds_.step >= 1 ? static_cast<long long>(bounds_.step) : 1;
  SetValue(Value() + steps * step);
}

QAbstractSpinBox::StepEnabled IntegerSpinEdit::stepEnabled() const {
  return StepUpEnabled | StepDownEnabled;
}

}  // namespace quillet
