#include "app/radio_group.h"

#include <QRadioButton>
#include <algorithm>

namespace quillet {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent), columns_(std::max(1, columns)) {
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    group_.addButton(button, i);
    buttons_.push_back(button);
  }
  // Arrow keys move the selection without a click, so any newly checked item counts.
  connect(&group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    UpdateTabStop();
    if (checked) emit Clicked();
  });
  ArrangeItems();
  UpdateTabStop();
}

int RadioGroup::ItemIndex() const {
  return group_.checkedId();
}

void RadioGroup::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) {
    group_.setExclusive(false);
    for (QRadioButton* b : buttons_) b->setChecked(false);
    group_.setExclusive(true);
    return;
  }
  buttons_[static_cast<std::size_t>(index)]->setChecked(true);
}

// Only the selected item is a tab stop, so the keyboard (and the window's
// first focus) lands on the selection and the focus frame never sits on
// another item; arrow keys still move among all items. With nothing
// selected every item is a stop.
void RadioGroup::UpdateTabStop() {
  const QAbstractButton* selected = group_.checkedButton();
  for (QRadioButton* b : buttons_)
    b->setFocusPolicy(!selected || b == selected ? Qt::StrongFocus : Qt::ClickFocus);
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  ArrangeItems();
}

// Items share the space below the caption evenly, as many rows as the
// fullest column needs.
void RadioGroup::ArrangeItems() {
  if (buttons_.empty()) return;
  const int count = Count();
  const int rows = (count + columns_ - 1) / columns_;
  const QRect inside = contentsRect();
  const int top = inside.top();
  const int left = inside.left() + 6;
  const int usableH = std::max(1, inside.height());
  const int rowH = std::max(16, usableH / rows);
  const int colW = std::max(1, (inside.width() - 6) / columns_);
  for (int i = 0; i < count; ++i) {
    const int col = i / rows;
    const int row = i % rows;
    buttons_[static_cast<std::size_t>(i)]->setGeometry(
        left + col * colW, top + row * rowH + (rowH - 17) / 2, colW - 4, 17);
  }
}

}  // namespace quillet
