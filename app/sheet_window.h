// A plain window that shows the sheet laid out with the default settings,
// scaled to fit. It serves as the program's window until the main window
// with its settings controls is built.
#pragma once

#include <QWidget>

#include "app/standin_sheet.h"

namespace quillet {

class SheetWindow : public QWidget {
  Q_OBJECT
 public:
  explicit SheetWindow(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  StandInSheet sheet_;
  SheetSettings settings_;
};

}  // namespace quillet
