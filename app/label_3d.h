// A text label that draws its caption raised, recessed or shadowed, at any
// angle, with an optional plain or bevelled border, and that can act as a
// web or e-mail link.
//
// Everything is drawn through a Canvas (Paint), so the drawing can be
// recorded and checked; paintEvent only supplies a canvas over the widget.
// Colours are 0x00BBGGRR or system colour codes, resolved by the canvas.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string_view>

#include "platform/canvas.h"

namespace quillet {

enum TTextStyle { tsNone, tsRaised, tsLightRaised, tsRecessed, tsHeavyRecessed, tsShadow };
enum TLabelStyle { lsDefault, lsWWWAddress, lsEMailAddress };
enum TBorderType { btDefault, btRecessed, btRaised };
enum TEllipsesStyle { esNone, esEnd, esPath };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

constexpr Color clRed = 0x0000FF;
constexpr Color clGray = 0x808080;
constexpr Color clBtnShadow = clSystemBase + 16;
constexpr Color clGrayText = clSystemBase + 17;
constexpr Color clBtnHighlight = clSystemBase + 20;
constexpr Color clWindowText = clSystemBase + 8;

// Where rotated text starts and how much room it takes.
struct RotatedPlacement {
  int dx = 0;      // added to the rectangle's left
  int dy = 0;      // added to the rectangle's top
  int width = 0;   // W: width of the rotated text's box
  int height = 0;  // H: height of the rotated text's box
};

// The placement of text `cx` × `cy` pixels turned `angle` degrees
// counter-clockwise (angle already in 0 .. 360).
RotatedPlacement RotatedTextPlacement(int cx, int cy, int angle);

// An escapement brought into 0 .. 360 by whole turns (-10 → 350, 720 → 360).
int NormaliseEscapement(int degrees);

class TLabel3D : public QWidget {
  Q_OBJECT
 public:
  explicit TLabel3D(QWidget* parent = nullptr);

  // --- the plain label's properties ---
  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  // Name, pixel height, style and colour; "Arial" after construction.
  const Font& LabelFont() const { return font_; }
  void SetLabelFont(const Font& font);
  Color BackgroundColor() const { return color_; }
  void SetBackgroundColor(Color c);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout l);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool on);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);

  // --- its own properties ---
  int Escapement() const { return escapement_; }
  void SetEscapement(int degrees);  // normalised; repaints when changed
  TTextStyle TextStyle() const { return textStyle_; }
  void SetTextStyle(TTextStyle s);
  int Shift() const { return shift_; }
  void SetShift(int pixels);
  TLabelStyle LabelStyle() const { return labelStyle_; }
  void SetLabelStyle(TLabelStyle s) { labelStyle_ = s; }
  const QString& Address() const { return address_; }
  void SetAddress(const QString& a) { address_ = a; }
  bool Border() const { return border_; }
  void SetBorder(bool on);
  TBorderType BorderType() const { return borderType_; }
  void SetBorderType(TBorderType t);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int w);  // also the pen width
  Color BorderColor() const { return borderColor_; }
  void SetBorderColor(Color c);  // also the pen colour
  PenStyle BorderPenStyle() const { return pen_.style; }
  void SetBorderPenStyle(PenStyle s);  // the pen's line style
  TEllipsesStyle EllipsesStyle() const { return ellipsesStyle_; }
  void SetEllipsesStyle(TEllipsesStyle s);  // anything but esNone ends auto-size

  Color ShadowColor = clBtnShadow;
  Color LightColor = clBtnHighlight;
  Color HoverColor = clRed;

  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseExit;
  std::function<void()> OnClick;  // the ordinary click notification

  // --- drawing steps, in the label's client coordinates ---
  void Paint(Canvas& canvas);
  void DrawLabelText(Canvas& canvas, Rect& rect, unsigned flags);
  void DrawRotatedText(Canvas& canvas, Rect rect, std::string_view text, int angle);
  // Moves `rect` so the text turned by `angle` stays inside the label;
  // with auto-size on the label takes the rotated text's size.
  void PlaceRotatedText(Canvas& canvas, Rect& rect, std::string_view text, int angle);
  static void DrawBevelFrame(Canvas& canvas, const Rect& rect, Color first, Color second);

  // --- link behaviour ---
  void PointerEnter();
  void PointerLeave();
  void Click();

  // The size the text needs with the current font (auto-size).
  void AdjustBounds();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool IsLink() const { return labelStyle_ != lsDefault; }
  void Changed();  // repaint after a change of look

  QString caption_;
  Font font_;
  Color color_ = clBtnFace;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  bool autoSize_ = true;
  bool transparent_ = false;

  int escapement_ = 0;
  TTextStyle textStyle_ = tsRaised;
  int shift_ = 1;
  TLabelStyle labelStyle_ = lsDefault;
  QString address_;
  bool border_ = false;
  TBorderType borderType_ = btDefault;
  int borderWidth_ = 1;
  Color borderColor_ = clRed;
  TEllipsesStyle ellipsesStyle_ = esNone;
  Pen pen_;  // the label canvas's pen: border colour, width and style
  Color savedFontColor_ = clWindowText;
};

}  // namespace quillet
