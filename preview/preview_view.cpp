#include "preview/preview_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <exception>

#include "platform/qt/qt_canvas.h"
#include "preview/preview_form.h"
#include "report/prepared/prepared_pages.h"

namespace quillet {

TfrPBox::TfrPBox(TfrPreviewForm& form, QWidget* parent) : QWidget(parent), form_(form) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // no background erase: paint draws everything
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
}

void TfrPBox::paintEvent(QPaintEvent* e) {
  QPainter painter(this);
  form_.PaintBox(painter, e->region());
  if (!mark_.isEmpty() && form_.View.PaintEnabled) {
    // The find mark: the rectangle's colours inverted, as a white pen in
    // exclusive-or mode does. Only inside the region just painted, where
    // the page was drawn afresh; elsewhere the mark is already on screen.
    painter.setClipping(false);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(Qt::NoPen);
    for (const QRect& part : e->region() & mark_) painter.fillRect(part, QColor(255, 255, 255));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
}

void TfrPBox::SetMark(const QRect& r) {
  ClearMark();
  mark_ = r;
  update(mark_);
}

void TfrPBox::ClearMark() {
  if (mark_.isEmpty()) return;
  update(mark_);
  mark_ = QRect();
}

void TfrPreviewForm::PaintBox(QPainter& painter, const QRegion& region) {
  if (!View.PaintEnabled) return;
  if (!pages_ || PageCount() == 0) {
    painter.fillRect(pbox_->rect(), pbox_->palette().button());
    return;
  }
  const int count = PageCount();
  std::vector<Rect> rects(count);
  QRegion gray = region;
  for (int i = 0; i < count; ++i) {
    PreparedPage& page = (*pages_)[i];
    Rect r = page.PreviewRect;
    r = {r.left + View.ViewOffsetX, r.top + View.ViewOffsetY, r.right + View.ViewOffsetX,
         r.bottom + View.ViewOffsetY};
    rects[i] = r;
    bool visible = false;
    // Far below or above the box: not visible, without asking the region.
    if (!(r.top > kFarBelow || r.bottom < 0))
      visible = region.intersects(QRect(r.left, r.top, r.Width(), r.Height()));
    page.InUse = visible ? 1 : 0;
    if (visible) gray -= QRect(r.left + 1, r.top + 1, r.Width() - 2, r.Height() - 2);
  }
  // Page interiors are left out of the gray fill, so pages do not flicker.
  painter.setClipRegion(gray);
  painter.fillRect(pbox_->rect(), QColor(128, 128, 128));
  painter.setClipRegion(region);

  QtCanvas canvas(painter, DeviceKind::Screen);
  canvas.SetPen(Pen{clBlack, 1, PenStyle::Solid, PenMode::Copy});
  canvas.SetBrush(Brush{clWhite, BrushStyle::Solid});
  for (int i = 0; i < count; ++i) {
    if (!(*pages_)[i].InUse) continue;
    const Rect& r = rects[i];
    canvas.Rectangle(r);
    canvas.Line(r.left + 1, r.bottom, r.right, r.bottom);  // the shadow
    canvas.Line(r.right, r.bottom, r.right, r.top + 1);
  }
  for (int i = 0; i < count; ++i) {
    PreparedPage& page = (*pages_)[i];
    const Rect content = page.InUse ? PageContentRect(page, rects[i], View.Scale) : Rect{};
    try {
      pages_->DrawPage(i, canvas, content);
    } catch (const std::exception&) {
      // A page whose records cannot be read stays blank here; saving keeps
      // its bytes and printing reports the error.
    }
    canvas.SetPen(Pen{clBlack, 1, PenStyle::Solid, PenMode::Copy});
    canvas.SetBrush(Brush{clWhite, BrushStyle::Solid});
  }
}

void TfrPBox::mousePressEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (e->button() == Qt::LeftButton)
    form_.BoxMouseDown(p);
  else if (e->button() == Qt::RightButton)
    form_.BoxRightClick(e->globalPosition().toPoint());
}

void TfrPBox::mouseMoveEvent(QMouseEvent* e) {
  form_.BoxMouseMove(e->position().toPoint());
}

void TfrPBox::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) form_.BoxMouseUp();
}

void TfrPBox::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) form_.BoxDoubleClick();
}

void TfrPBox::keyPressEvent(QKeyEvent* e) {
  if (form_.HandleKey(e->key(), e->modifiers()))
    e->accept();
  else
    e->ignore();
}

void TfrPBox::wheelEvent(QWheelEvent* e) {
  form_.BoxWheel(e->angleDelta().y() / 120);
  e->accept();
}

}  // namespace quillet
