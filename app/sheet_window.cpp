#include "app/sheet_window.h"

#include <QPainter>
#include <algorithm>

#include "platform/numeric.h"
#include "platform/qt/qt_canvas.h"

namespace quillet {

SheetWindow::SheetWindow(QWidget* parent) : QWidget(parent) {
  setWindowTitle("QUILLET");
  resize(480, 680);
  settings_.Preview = true;
  LayOutSheet(settings_, sheet_);
}

void SheetWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(128, 128, 128));
  const double pageW = settings_.PageWidth;
  const double pageH = settings_.PageHeight;
  const double scale = std::min((width() - 20) / pageW, (height() - 20) / pageH);
  const int w = Round(pageW * scale);
  const int h = Round(pageH * scale);
  const int x = (width() - w) / 2;
  const int y = (height() - h) / 2;
  painter.fillRect(QRect(x, y, w, h), Qt::white);
  QtCanvas canvas(painter, DeviceKind::Screen);
  sheet_.DrawPage(canvas, scale, x, y);
}

}  // namespace quillet
