#include "app/label_3d.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <cmath>
#include <numbers>

#include "app/label_text_layout.h"
#include "platform/numeric.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_text.h"

namespace quillet {
namespace {

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180;
}

}  // namespace

RotatedPlacement RotatedTextPlacement(int cx, int cy, int a) {
  const double t = Radians(a);
  RotatedPlacement p;
  if (a <= 90) {
    p.dy = Trunc(std::sin(t) * cx);
  } else if (a <= 180) {
    p.dx = Trunc(-std::cos(t) * cx);
    p.dy = Trunc(std::cos(Radians(180 - a)) * cy + std::sin(t) * cx);
  } else if (a <= 270) {
    p.dx = Trunc(std::sin(Radians(a - 180)) * cy - std::cos(t) * cx);
    p.dy = Trunc(std::sin(Radians(270 - a)) * cy);
  } else {
    p.dx = Trunc(std::sin(Radians(360 - a)) * cy);
  }
  p.width = std::abs(Trunc(std::cos(t) * cx)) + std::abs(Trunc(std::sin(t) * cy));
  p.height = std::abs(Trunc(std::sin(t) * cx)) + std::abs(Trunc(std::cos(t) * cy));
  return p;
}

int NormaliseEscapement(int degrees) {
  // Whole turns at once, so a huge value costs no loop.
  long long d = degrees;
  if (d < 0) d += ((-d + 359) / 360) * 360;
  if (d > 360) d -= ((d - 1) / 360) * 360;
  return static_cast<int>(d);
}

TLabel3D::TLabel3D(QWidget* parent) : QWidget(parent) {
  font_.name = "Arial";
  font_.height = 11;
  font_.color = clWindowText;
  pen_.color = borderColor_;
  pen_.width = borderWidth_;
  pen_.style = PenStyle::Solid;
  resize(65, 17);
}

void TLabel3D::Changed() {
  update();
}

void TLabel3D::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  AdjustBounds();
  Changed();
}

void TLabel3D::SetLabelFont(const Font& font) {
  font_ = font;
  font_.escapement = 0;
  AdjustBounds();
  Changed();
}

void TLabel3D::SetBackgroundColor(Color c) {
  color_ = c;
  Changed();
}

void TLabel3D::SetAlignment(TAlignment a) {
  alignment_ = a;
  Changed();
}

void TLabel3D::SetLayout(TTextLayout l) {
  layout_ = l;
  Changed();
}

void TLabel3D::SetWordWrap(bool on) {
  wordWrap_ = on;
  AdjustBounds();
  Changed();
}

void TLabel3D::SetShowAccelChar(bool on) {
  showAccelChar_ = on;
  AdjustBounds();
  Changed();
}

void TLabel3D::SetAutoSize(bool on) {
  autoSize_ = on;
  AdjustBounds();
}

void TLabel3D::SetTransparent(bool on) {
  transparent_ = on;
  Changed();
}

void TLabel3D::SetEscapement(int degrees) {
  const int value = NormaliseEscapement(degrees);
  if (value == escapement_) return;
  escapement_ = value;
  Changed();
}

void TLabel3D::SetTextStyle(TTextStyle s) {
  if (s == textStyle_) return;
  textStyle_ = s;
  Changed();
}

void TLabel3D::SetShift(int pixels) {
  if (pixels == shift_) return;
  shift_ = pixels;
  Changed();
}

void TLabel3D::SetBorder(bool on) {
  border_ = on;
  Changed();
}

void TLabel3D::SetBorderType(TBorderType t) {
  if (t == borderType_) return;
  borderType_ = t;
  Changed();
}

void TLabel3D::SetBorderWidth(int w) {
  borderWidth_ = w;
  pen_.width = w < 0 ? 0 : w;
  Changed();
}

void TLabel3D::SetBorderColor(Color c) {
  borderColor_ = c;
  pen_.color = c;
  Changed();
}

void TLabel3D::SetBorderPenStyle(PenStyle s) {
  pen_.style = s;
  Changed();
}

void TLabel3D::SetEllipsesStyle(TEllipsesStyle s) {
  if (s != esNone) autoSize_ = false;
  if (s == ellipsesStyle_) return;
  ellipsesStyle_ = s;
  Changed();
}

void TLabel3D::Paint(Canvas& canvas) {
  const Rect client{0, 0, width(), height()};
  if (!transparent_) {
    canvas.SetBrush({color_, BrushStyle::Solid});
    canvas.FillRect(client);
  }
  canvas.SetBrushStyle(BrushStyle::Clear);
  canvas.SetBkMode(BkMode::Transparent);
  canvas.SetPen(pen_);
  if (border_ && borderWidth_ > 0) {
    // Every pass draws the same lines: a wide pen shows the width.
    for (int pass = 0; pass < borderWidth_; ++pass) {
      switch (borderType_) {
        case btDefault:
          canvas.SetPen(pen_);
          canvas.Rectangle(client);
          break;
        case btRecessed:
          DrawBevelFrame(canvas, {0, 0, client.right - 1, client.bottom - 1}, clGray, clWhite);
          break;
        case btRaised:
          DrawBevelFrame(canvas, {0, 0, client.right - 1, client.bottom - 1}, clWhite, clGray);
          break;
      }
    }
  }
  unsigned flags = dtExpandTabs;
  if (wordWrap_) flags |= dtWordBreak;
  if (alignment_ == taRightJustify) flags |= dtRight;
  if (alignment_ == taCenter) flags |= dtCenter;
  Rect r = client;
  DrawLabelText(canvas, r, flags);
}

void TLabel3D::DrawBevelFrame(Canvas& canvas, const Rect& r, Color first, Color second) {
  canvas.SetPenColor(first);
  canvas.Line(r.left, r.top, r.right, r.top);
  canvas.Line(r.left, r.top, r.left, r.bottom);
  canvas.SetPenColor(second);
  canvas.Line(r.right, r.bottom, r.right, r.top);
  canvas.Line(r.right, r.bottom, r.left, r.bottom);
}

void TLabel3D::DrawLabelText(Canvas& canvas, Rect& rect, unsigned flags) {
  std::string text = FromQString(caption_);
  if ((flags & dtCalcRect) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
  if (!showAccelChar_) flags |= dtNoPrefix;
  if (ellipsesStyle_ == esEnd) flags |= dtEndEllipsis;
  if (ellipsesStyle_ == esPath) flags |= dtPathEllipsis;
  if (escapement_ == 0) {
    if (layout_ == tlCenter) flags |= dtVCenter | dtSingleLine;
    if (layout_ == tlBottom) flags |= dtBottom | dtSingleLine;
  }
  Font f = font_;
  canvas.SetFont(f);
  if (flags & dtCalcRect) {
    DrawFormattedText(canvas, rect, text, flags);
    return;
  }

  const auto drawAt = [&](Rect at, Color color) {
    f.color = color;
    canvas.SetFont(f);
    if (escapement_ != 0)
      DrawRotatedText(canvas, at, text, escapement_);
    else
      DrawFormattedText(canvas, at, text, flags);
  };
  if (textStyle_ != tsNone) {
    const int offset = textStyle_ == tsShadow ? shift_ : 1;
    const bool dark =
        textStyle_ == tsRaised || textStyle_ == tsLightRaised || textStyle_ == tsShadow;
    drawAt(rect.Offset(offset, offset), dark ? ShadowColor : LightColor);
    if (textStyle_ == tsLightRaised) drawAt(rect.Offset(-1, -1), LightColor);
    if (textStyle_ == tsHeavyRecessed) drawAt(rect.Offset(-1, -1), ShadowColor);
  }
  drawAt(rect, isEnabled() ? font_.color : clGrayText);
}

void TLabel3D::DrawRotatedText(Canvas& canvas, Rect rect, std::string_view text, int angle) {
  PlaceRotatedText(canvas, rect, text, angle);
  const Font previous = canvas.GetFont();
  Font turned = previous;
  turned.escapement = angle * 10;
  canvas.SetFont(turned);
  canvas.TextOut(rect.left, rect.top, text);
  canvas.SetFont(previous);
}

void TLabel3D::PlaceRotatedText(Canvas& canvas, Rect& rect, std::string_view text, int angle) {
  const int cx = canvas.TextWidth(text);
  const int cy = canvas.GetTextMetrics().height;
  const RotatedPlacement p = RotatedTextPlacement(cx, cy, angle);
  rect.top += p.dy;
  rect.left += p.dx;
  if (autoSize_) {
    if (p.width != width() || p.height != height()) {
      // Not from inside a paint: the new size repaints once more.
      QMetaObject::invokeMethod(
          this, [this, w = p.width, h = p.height] { resize(w, h); }, Qt::QueuedConnection);
    }
  } else if (alignment_ == taCenter) {
    rect.left += (width() - p.width) / 2;
  } else if (alignment_ == taRightJustify) {
    rect.left += width() - p.width;
  }
}

void TLabel3D::AdjustBounds() {
  if (!autoSize_ || escapement_ != 0) return;
  QtImageCanvas measuring(1, 1);
  Rect r{0, 0, width(), height()};
  unsigned flags = dtExpandTabs | dtCalcRect;
  if (wordWrap_) flags |= dtWordBreak;
  DrawLabelText(measuring, r, flags);
  const QRect old = geometry();
  int left = old.left();
  if (alignment_ == taRightJustify) left = old.left() + old.width() - r.right;
  if (alignment_ == taCenter) left = old.left() + (old.width() - r.right) / 2;
  setGeometry(left, old.top(), r.right, r.bottom);
}

void TLabel3D::PointerEnter() {
  if (IsLink()) {
    savedFontColor_ = font_.color;
    font_.style |= fsUnderline;
    setCursor(Qt::PointingHandCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    font_.color = HoverColor;
    Changed();
  }
  if (OnMouseEnter) OnMouseEnter();
}

void TLabel3D::PointerLeave() {
  if (IsLink()) {
    unsetCursor();
    font_.style &= ~fsUnderline;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    font_.color = savedFontColor_;
    Changed();
  }
  if (OnMouseExit) OnMouseExit();
}

void TLabel3D::Click() {
  if (IsLink() && !address_.isEmpty()) {
    setCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // Opened by the desktop's URL handler, never through a shell command;
    // a failure is of no consequence to the label.
    const QUrl url = labelStyle_ == lsWWWAddress
                         ? QUrl::fromUserInput(address_)
                         : QUrl(QStringLiteral("mailto:") + address_, QUrl::StrictMode);
    if (url.isValid()) QDesktopServices::openUrl(url);
    setCursor(Qt::PointingHandCursor);
  }
  if (OnClick) OnClick();
}

void TLabel3D::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtCanvas canvas(painter, DeviceKind::Screen);
  Paint(canvas);
}

void TLabel3D::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  PointerEnter();
}

void TLabel3D::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  PointerLeave();
}

void TLabel3D::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Click();
}

void TLabel3D::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) update();
}

}  // namespace quillet
