// The engine's flat button: a speed button whose glyph is drawn in gray
// while the mouse is not over it (flat, enabled buttons), and which turns
// to full colour with a raised frame when the mouse enters. Buttons with the
// same GroupIndex on the same parent latch: one of them is down at a time.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

#include "widgets/button_glyph.h"
#include "widgets/button_layout.h"

class QShortcut;

namespace quillet {

class TfrSpeedButton : public QWidget {
  Q_OBJECT

 public:
  using MouseHandler = std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)>;

  // A new button is 22 x 22.
  explicit TfrSpeedButton(QWidget* parent = nullptr);
  ~TfrSpeedButton() override;

  // In a group, the down button may be released by clicking it.
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  // 0: a plain push button; others: the buttons with this number on the
  // same parent form a latching group.
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  // Latched down; always false outside a group. A down button of a group
  // without AllowAllUp is released only by another button of the group.
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  // Drawn beside the glyph; "&" marks the accelerator (Alt + letter clicks).
  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& value);
  // A strip of NumGlyphs equal images: up, disabled, pressed, latched. The
  // button keeps a copy. When the width is a whole multiple of the height,
  // NumGlyphs becomes width / height if that is below 5, else 1.
  const QImage& Glyph() const { return glyphStrip_; }
  void SetGlyph(const QImage& strip);
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  // Above 4 counts as 4; values below 1 are ignored.
  void SetNumGlyphs(int value);
  QRgb TransparentColor() const { return glyph_.TransparentColor(); }
  bool GrayedInactive() const { return grayedInactive_; }
  void SetGrayedInactive(bool value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  // Glyph distance from its edge; -1 centres. Values below -1 are ignored.
  int Margin() const { return margin_; }
  void SetMargin(int value);
  // Gap between glyph and caption; -1 spreads them evenly.
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);

  // Run-time state.
  ButtonState State() const { return state_; }
  bool Dragging() const { return dragging_; }
  // The mouse is over this flat, enabled button.
  bool MouseInControl() const { return mouseInControl_; }

  // The image the button draws for `state` (for tests and the preview).
  const QImage& StateImage(ButtonState state);
  // Fires OnClick (the accelerator key does this for an enabled button).
  void Click();

  std::function<void()> OnClick;
  std::function<void()> OnDblClick;  // double click on a down button
  MouseHandler OnMouseDown, OnMouseMove, OnMouseUp;
  // Only for flat, enabled buttons.
  std::function<void()> OnMouseEnter, OnMouseLeave;

  QSize sizeHint() const override { return size(); }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void Paint(QPainter& p);
  ButtonColors Colors() const;
  // Tells the buttons of the same parent that this one changed: the other
  // down button of the group goes up, all take this one's AllowAllUp.
  void UpdateExclusive();
  void ButtonPressed(int groupIndex, const TfrSpeedButton& sender);
  void SetMouseInControl(bool value);
  void UpdateShortcut();

  bool allowAllUp_ = false;
  int groupIndex_ = 0;
  bool down_ = false;
  bool flat_ = false;
  QString caption_;
  QImage glyphStrip_;
  ButtonGlyph glyph_;
  bool grayedInactive_ = true;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;

  ButtonState state_ = bsUp;
  bool dragging_ = false;
  bool mouseInControl_ = false;
  QShortcut* shortcut_ = nullptr;
};

// The 8 x 8 latched background: the face colour, white where row and
// column are both even or both odd.
QImage MakeLatchedPattern(QRgb face);

}  // namespace quillet
