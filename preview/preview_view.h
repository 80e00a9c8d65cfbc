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

  // The mark of a find match: a rectangle (box pixels) inverted at the end
  // of every paint until the view moves (ClearMark). Repaints that move
  // nothing, such as the one when the window gets the focus back from the
  // Find dialog, keep it.
  void SetMark(const QRect& r);
  // Drops the mark and repaints where it was.
  void ClearMark();
  const QRect& Mark() const { return mark_; }

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
