#include "widgets/speed_button.h"

#include <qdrawutil.h>

#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QtMath>

namespace quillet {
namespace {

// Drawing resources shared by all buttons: made when the first button
// paints, freed with the last button.
struct SharedResources {
  int buttons = 0;
  QImage pattern;
  QRgb patternFace = 0;
  QImage offscreen;  // every button up to kOffscreenSize paints here first
};

constexpr int kOffscreenSize = 100;

SharedResources& Shared() {
  static SharedResources shared;
  return shared;
}

const QImage& LatchedPattern(QRgb face) {
  SharedResources& shared = Shared();
  if (shared.pattern.isNull() || shared.patternFace != face) {
    shared.pattern = MakeLatchedPattern(face);
    shared.patternFace = face;
  }
  return shared.pattern;
}

QImage& Offscreen(qreal dpr) {
  SharedResources& shared = Shared();
  const int side = qCeil(kOffscreenSize * dpr);
  if (shared.offscreen.width() != side) {
    shared.offscreen = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
    shared.offscreen.setDevicePixelRatio(dpr);
  }
  return shared.offscreen;
}

}  // namespace

QImage MakeLatchedPattern(QRgb face) {
  QImage pattern(8, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      pattern.setPixel(x, y, (x % 2) == (y % 2) ? qRgb(255, 255, 255) : (face | 0xFF000000u));
  return pattern;
}

TfrSpeedButton::TfrSpeedButton(QWidget* parent) : QWidget(parent) {
  ++Shared().buttons;
  resize(22, 22);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TfrSpeedButton::~TfrSpeedButton() {
  SharedResources& shared = Shared();
  if (--shared.buttons == 0) {
    shared.pattern = QImage();
    shared.offscreen = QImage();
  }
}

void TfrSpeedButton::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  UpdateExclusive();
}

void TfrSpeedButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  UpdateExclusive();
}

void TfrSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = value;
  state_ = value ? bsLatched : bsUp;
  update();
  if (value) UpdateExclusive();
}

void TfrSpeedButton::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  update();
}

void TfrSpeedButton::SetCaption(const QString& value) {
  if (value == caption_) return;
  caption_ = value;
  UpdateShortcut();
  update();
}

void TfrSpeedButton::SetGlyph(const QImage& strip) {
  glyphStrip_ = strip.copy();
  glyph_.SetStrip(glyphStrip_);
  if (!strip.isNull() && strip.height() > 0 && strip.width() % strip.height() == 0) {
    const int n = strip.width() / strip.height();
    SetNumGlyphs(n < 5 ? n : 1);
  }
  update();
}

void TfrSpeedButton::SetNumGlyphs(int value) {
  if (value < 1) return;
  if (value > 4) value = 4;
  if (value == glyph_.NumGlyphs()) return;
  glyph_.SetNumGlyphs(value);
  update();
}

void TfrSpeedButton::SetGrayedInactive(bool value) {
  if (value == grayedInactive_) return;
  grayedInactive_ = value;
  update();
}

void TfrSpeedButton::SetLayout(TButtonLayout value) {
  if (value == layout_) return;
  layout_ = value;
  update();
}

void TfrSpeedButton::SetMargin(int value) {
  if (value == margin_ || value < -1) return;
  margin_ = value;
  update();
}

void TfrSpeedButton::SetSpacing(int value) {
  if (value == spacing_) return;
  spacing_ = value;
  update();
}

const QImage& TfrSpeedButton::StateImage(ButtonState state) {
  return glyph_.Image(state, Colors());
}

void TfrSpeedButton::Click() {
  if (OnClick) OnClick();
}

ButtonColors TfrSpeedButton::Colors() const {
  return ButtonColors::FromPalette(palette());
}

// ---- grouping -------------------------------------------------------------

void TfrSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !parentWidget()) return;
  for (QObject* child : parentWidget()->children())
    if (auto* button = qobject_cast<TfrSpeedButton*>(child))
      button->ButtonPressed(groupIndex_, *this);
}

void TfrSpeedButton::ButtonPressed(int groupIndex, const TfrSpeedButton& sender) {
  if (groupIndex != groupIndex_ || &sender == this) return;
  if (sender.down_ && down_) {
    down_ = false;
    state_ = bsUp;
    update();
  }
  allowAllUp_ = sender.allowAllUp_;
}

// ---- mouse ----------------------------------------------------------------

void TfrSpeedButton::SetMouseInControl(bool value) {
  if (value == mouseInControl_) return;
  mouseInControl_ = value;
  if (value ? OnMouseEnter : OnMouseLeave) (value ? OnMouseEnter : OnMouseLeave)();
  update();
}

void TfrSpeedButton::mousePressEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (OnMouseDown) OnMouseDown(e->button(), e->modifiers(), pos);
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  if (!down_) {
    state_ = bsPressed;
    update();
  }
  dragging_ = true;
}

void TfrSpeedButton::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (OnMouseMove) OnMouseMove(Qt::NoButton, e->modifiers(), pos);
  if (!dragging_) return;
  ButtonState next = down_ ? bsLatched : bsUp;
  if (rect().contains(pos)) next = down_ ? bsLatched : bsPressed;
  if (next != state_) {
    state_ = next;
    update();
  }
}

void TfrSpeedButton::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  if (OnMouseUp) OnMouseUp(e->button(), e->modifiers(), pos);
  if (e->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  const bool over = rect().contains(pos);
  if (groupIndex_ == 0) {
    state_ = bsUp;
    mouseInControl_ = false;
  } else if (over) {
    SetDown(!down_);
  } else if (down_) {
    state_ = bsLatched;
  }
  // Released over the button, the pointer is still in it; without leave and
  // enter events in between this is where the flat look is brought up to date.
  if (flat_ && isEnabled()) mouseInControl_ = over;
  update();
  if (over) Click();
}

void TfrSpeedButton::mouseDoubleClickEvent(QMouseEvent* e) {
  mousePressEvent(e);
  if (e->button() == Qt::LeftButton && down_ && OnDblClick) OnDblClick();
}

void TfrSpeedButton::enterEvent(QEnterEvent*) {
  if (flat_ && isEnabled()) SetMouseInControl(true);
}

void TfrSpeedButton::leaveEvent(QEvent*) {
  if (flat_ && isEnabled() && !dragging_) SetMouseInControl(false);
}

void TfrSpeedButton::changeEvent(QEvent* e) {
  switch (e->type()) {
    case QEvent::EnabledChange:
      if (!isEnabled()) {
        mouseInControl_ = false;
        dragging_ = false;
      } else if (flat_) {
        mouseInControl_ = isVisible() && rect().contains(mapFromGlobal(QCursor::pos()));
      }
      update();
      break;
    case QEvent::PaletteChange:
      glyph_.DropImages();
      update();
      break;
    case QEvent::FontChange: update(); break;
    default: break;
  }
  QWidget::changeEvent(e);
}

void TfrSpeedButton::UpdateShortcut() {
  delete shortcut_;
  shortcut_ = nullptr;
  const QKeySequence key = QKeySequence::mnemonic(caption_);
  if (key.isEmpty()) return;
  shortcut_ = new QShortcut(key, this);
  connect(shortcut_, &QShortcut::activated, this, [this] {
    if (isEnabled() && isVisible()) Click();
  });
}

// ---- painting -------------------------------------------------------------

void TfrSpeedButton::paintEvent(QPaintEvent*) {
  QPainter widgetPainter(this);
  if (width() > kOffscreenSize || height() > kOffscreenSize) {
    Paint(widgetPainter);
    return;
  }
  // Painting off screen first keeps a hovered toolbar from flickering.
  const qreal dpr = devicePixelRatioF();
  QImage& offscreen = Offscreen(dpr);
  {
    QPainter p(&offscreen);
    p.setClipRect(rect());
    Paint(p);
  }
  widgetPainter.drawImage(QRectF(rect()), offscreen, QRectF(0, 0, width() * dpr, height() * dpr));
}

void TfrSpeedButton::Paint(QPainter& p) {
  const ButtonColors colors = Colors();
  const QRect r = rect();
  p.setFont(font());
  const ButtonState s = state_;
  ButtonState paintState = state_;
  if (grayedInactive_ && isEnabled() && flat_ && !mouseInControl_) {
    paintState = bsGrayed;
  } else if (!isEnabled()) {
    paintState = bsDisabled;
    dragging_ = false;
  } else if (paintState == bsDisabled) {
    paintState = down_ && groupIndex_ != 0 ? bsLatched : bsUp;
  }

  QRect content = r;
  if (flat_) {
    p.fillRect(r, QColor(colors.face));
    if (paintState == bsPressed) content.translate(1, 1);
  } else {
    const bool pushed = paintState == bsPressed || paintState == bsLatched;
    qDrawWinButton(&p, r, palette(), pushed, nullptr);
    p.fillRect(r.adjusted(2, 2, -2, -2), QColor(colors.face));
    content = r.adjusted(2, 2, -2, -2);
    if (pushed) content.translate(1, 1);
  }

  const bool latchedLook =
      flat_ ? isEnabled() &&
                  (paintState == bsLatched || (s == bsLatched && paintState == bsGrayed)) &&
                  !mouseInControl_
            : paintState == bsLatched;
  if (latchedLook)
    p.fillRect(flat_ ? r : r.adjusted(2, 2, -2, -2), QBrush(LatchedPattern(colors.face)));

  // Glyph and caption.
  const QSize glyphSize = glyph_.GlyphSize();
  QSize captionSize(0, 0);
  if (!caption_.isEmpty()) {
    const QRect bounds = p.fontMetrics().boundingRect(
        QRect(0, 0, content.width(), 0), Qt::TextShowMnemonic | Qt::TextSingleLine, caption_);
    captionSize = bounds.size();
  }
  const ButtonLayoutResult placed =
      LayOutButton(content, glyphSize, captionSize, layout_, margin_, spacing_);
  if (!glyph_.IsEmpty()) p.drawImage(placed.glyphPos, glyph_.Image(paintState, colors));
  if (!caption_.isEmpty()) {
    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (paintState == bsDisabled) {
      p.setPen(Qt::white);
      p.drawText(placed.captionRect.translated(1, 1), flags, caption_);
      p.setPen(QColor(128, 128, 128));
    } else {
      p.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
    }
    p.drawText(placed.captionRect, flags, caption_);
  }

  // The flat button's frame: raised under the mouse, sunken while pressed or latched.
  if (flat_ && isEnabled() && (mouseInControl_ || s == bsLatched)) {
    const bool sunken = s == bsPressed || s == bsLatched;
    const QColor topLeft(sunken ? colors.shadow : colors.highlight);
    const QColor bottomRight(sunken ? colors.highlight : colors.shadow);
    p.setPen(topLeft);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(bottomRight);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
  }
}

}  // namespace quillet
