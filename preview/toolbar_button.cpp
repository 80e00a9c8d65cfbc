#include "preview/toolbar_button.h"

#include <QPainter>

namespace quillet {

TAlign ToolbarItemAlign(TAlign containerAlign) {
  return containerAlign == alLeft || containerAlign == alRight ? alTop : alLeft;
}

TfrTBButton::TfrTBButton(QWidget* parent) : TfrSpeedButton(parent) {
  SetFlat(true);
}

TfrTBSeparator::TfrTBSeparator(QWidget* parent) : QWidget(parent) {
  resize(8, 8);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TfrTBSeparator::SetAlign(TAlign value) {
  if (value == align_) return;
  align_ = value;
  update();
}

void TfrTBSeparator::SetDrawBevel(bool value) {
  if (value == drawBevel_) return;
  drawBevel_ = value;
  update();
}

void TfrTBSeparator::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const ButtonColors colors = ButtonColors::FromPalette(palette());
  p.fillRect(rect(), QColor(colors.face));
  if (!drawBevel_) return;
  const int w = width();
  const int h = height();
  // Lines exclude their end point, as the engine's canvas draws them.
  if (align_ == alTop || align_ == alBottom) {
    if (w - 2 <= 2) return;
    p.setPen(QColor(colors.shadow));
    p.drawLine(2, h / 2 - 1, w - 3, h / 2 - 1);
    p.setPen(QColor(colors.highlight));
    p.drawLine(2, h / 2, w - 3, h / 2);
  } else if (align_ == alLeft || align_ == alRight) {
    if (h - 2 <= 2) return;
    p.setPen(QColor(colors.shadow));
    p.drawLine(w / 2 - 1, 2, w / 2 - 1, h - 3);
    p.setPen(QColor(colors.highlight));
    p.drawLine(w / 2, 2, w / 2, h - 3);
  }
}

}  // namespace quillet
