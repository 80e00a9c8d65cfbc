// A captioned group of radio buttons laid out in columns, read and set by
// item index (-1 when no item is selected).
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

namespace quillet {

class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  // Items fill the columns top to bottom, left column first.
  RadioGroup(const QString& caption, const QStringList& items, int columns,
             QWidget* parent = nullptr);

  int ItemIndex() const;
  void SetItemIndex(int index);  // -1 clears the selection
  QRadioButton* Item(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }
  int Count() const { return static_cast<int>(buttons_.size()); }

 signals:
  // An item became selected: clicked, chosen with the keyboard, or set
  // through SetItemIndex.
  void Clicked();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ArrangeItems();
  void UpdateTabStop();

  QButtonGroup group_;
  std::vector<QRadioButton*> buttons_;
  int columns_;
};

}  // namespace quillet
