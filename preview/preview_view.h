// The page box of the preview window: a borderless mid-gray panel on which
// the laid-out pages are painted, and which turns mouse presses, drags,
// hovering and the wheel into the window's actions.
#pragma once

#include <QRect>
#include <QWidget>

namespace quillet {

class TfrPreviewForm;

class TfrPBox : public QWidget {
  Q_OBJECT

 public:
  // `form` is not owned and outlives the box (it is the box's window).
  TfrPBox(TfrPreviewForm& form, QWidget* parent);

  bool Dragging = false;
  int DragLastX = 0;
  int DragLastY = 0;
  int ClickedPage = 0;  // 1-based page under the last left press, 0 = none
  bool SkipNextMouseDown = false;

  // A rectangle (box pixels) to invert once at the end of the next paint:
  // the mark of a find match. Cleared by that paint.
  void MarkOnce(const QRect& r) { mark_ = r; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  // The window's keys also work where a panel borrowed the box.
  void keyPressEvent(QKeyEvent* e) override;

 private:
  TfrPreviewForm& form_;
  QRect mark_;
};

}  // namespace quillet
