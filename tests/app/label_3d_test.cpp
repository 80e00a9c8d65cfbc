// The 3D label: escapement normalisation, rotated placement, each text
// style's layers, borders and links, checked on the recording canvas.
#include "app/label_3d.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "platform/recording_canvas.h"

namespace quillet {
namespace {

// The recording canvas without a reference measures text as half the em
// height per character and one em high: "Hello" at 20 px is 50 × 20.
struct Label {
  Label() {
    label.SetAutoSize(false);
    label.setGeometry(0, 0, 100, 30);
    Font f;
    f.height = 20;
    f.color = 0x112233;
    label.SetLabelFont(f);
    label.SetCaption("Hello");
  }
  std::vector<CanvasOp> Paint() {
    RecordingCanvas canvas;
    label.Paint(canvas);
    return canvas.Ops();
  }
  static std::vector<CanvasOp> Of(const std::vector<CanvasOp>& ops, OpKind kind) {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : ops)
      if (op.kind == kind) out.push_back(op);
    return out;
  }
  TLabel3D label;
};

TEST(Label3DTest, DefaultsAfterConstruction) {
  TLabel3D l;
  EXPECT_EQ(l.Escapement(), 0);
  EXPECT_EQ(l.TextStyle(), tsRaised);
  EXPECT_EQ(l.Shift(), 1);
  EXPECT_EQ(l.LabelStyle(), lsDefault);
  EXPECT_TRUE(l.Address().isEmpty());
  EXPECT_FALSE(l.Border());
  EXPECT_EQ(l.BorderType(), btDefault);
  EXPECT_EQ(l.BorderWidth(), 1);
  EXPECT_EQ(l.BorderColor(), 0x0000FFu);
  EXPECT_EQ(l.BorderPenStyle(), PenStyle::Solid);
  EXPECT_EQ(l.EllipsesStyle(), esNone);
  EXPECT_EQ(l.LabelFont().name, "Arial");
  EXPECT_EQ(l.ShadowColor, 0x80000010u);
  EXPECT_EQ(l.LightColor, 0x80000014u);
  EXPECT_EQ(l.HoverColor, 0x0000FFu);
}

TEST(Label3DTest, EscapementIsKeptWithinWholeTurns) {
  EXPECT_EQ(NormaliseEscapement(-10), 350);
  EXPECT_EQ(NormaliseEscapement(-360), 0);
  EXPECT_EQ(NormaliseEscapement(-370), 350);
  EXPECT_EQ(NormaliseEscapement(360), 360);
  EXPECT_EQ(NormaliseEscapement(361), 1);
  EXPECT_EQ(NormaliseEscapement(720), 360);
  EXPECT_EQ(NormaliseEscapement(INT_MIN), NormaliseEscapement(INT_MIN % 360 + 360));
  TLabel3D l;
  l.SetEscapement(-370);
  EXPECT_EQ(l.Escapement(), 350);
}

TEST(Label3DTest, RotatedTextStaysInsideTheLabel) {
  // "Hello" at 20 px: cx = 50, cy = 20.
  const RotatedPlacement p90 = RotatedTextPlacement(50, 20, 90);
  EXPECT_EQ(p90.dx, 0);
  EXPECT_EQ(p90.dy, 50);
  EXPECT_EQ(p90.width, 20);
  EXPECT_EQ(p90.height, 50);
  const RotatedPlacement p180 = RotatedTextPlacement(50, 20, 180);
  EXPECT_EQ(p180.dx, 50);
  EXPECT_EQ(p180.dy, 20);
  EXPECT_EQ(p180.width, 50);
  EXPECT_EQ(p180.height, 20);
  const RotatedPlacement p270 = RotatedTextPlacement(50, 20, 270);
  EXPECT_EQ(p270.dx, 20);
  EXPECT_EQ(p270.dy, 0);
  const RotatedPlacement p45 = RotatedTextPlacement(50, 20, 45);
  EXPECT_EQ(p45.dy, 35);
  EXPECT_EQ(p45.width, 35 + 14);
  EXPECT_EQ(RotatedTextPlacement(50, 20, 300).dx, 17);
}

TEST(Label3DTest, TextStylesDrawTheirLayersInOrder) {
  struct Layer {
    int x, y;
    Color color;
  };
  const Color main = 0x112233;
  const std::vector<std::pair<TTextStyle, std::vector<Layer>>> cases = {
      {tsNone, {{0, 0, main}}},
      {tsRaised, {{1, 1, clBtnShadow}, {0, 0, main}}},
      {tsRecessed, {{1, 1, clBtnHighlight}, {0, 0, main}}},
      {tsLightRaised, {{1, 1, clBtnShadow}, {-1, -1, clBtnHighlight}, {0, 0, main}}},
      {tsHeavyRecessed, {{1, 1, clBtnHighlight}, {-1, -1, clBtnShadow}, {0, 0, main}}},
      {tsShadow, {{4, 4, clBtnShadow}, {0, 0, main}}},
  };
  for (const auto& [style, layers] : cases) {
    SCOPED_TRACE(style);
    Label l;
    l.label.SetTextStyle(style);
    l.label.SetShift(4);
    const auto texts = Label::Of(l.Paint(), OpKind::Text);
    ASSERT_EQ(texts.size(), layers.size());
    for (std::size_t i = 0; i < layers.size(); ++i) {
      EXPECT_EQ(texts[i].text, "Hello");
      EXPECT_EQ(texts[i].points[0], (Point{layers[i].x, layers[i].y}));
      EXPECT_EQ(texts[i].font.color, layers[i].color);
    }
  }
}

TEST(Label3DTest, PaintFillsUnlessTransparentAndDisabledTextIsGray) {
  Label l;
  auto ops = l.Paint();
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops[0].kind, OpKind::FillRect);
  EXPECT_EQ(ops[0].rect, (Rect{0, 0, 100, 30}));
  EXPECT_EQ(ops[0].brush.color, clBtnFace);
  l.label.SetTransparent(true);
  l.label.setEnabled(false);
  ops = l.Paint();
  EXPECT_TRUE(Label::Of(ops, OpKind::FillRect).empty());
  const auto texts = Label::Of(ops, OpKind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].font.color, clBtnShadow);  // the effect keeps its colour
  EXPECT_EQ(texts[1].font.color, clGrayText);
}

TEST(Label3DTest, LayoutAndAlignmentPlaceASingleLine) {
  Label l;
  l.label.SetTextStyle(tsNone);
  l.label.SetAlignment(taRightJustify);
  l.label.SetLayout(tlBottom);
  auto texts = Label::Of(l.Paint(), OpKind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].points[0], (Point{50, 10}));
  l.label.SetAlignment(taCenter);
  l.label.SetLayout(tlCenter);
  texts = Label::Of(l.Paint(), OpKind::Text);
  EXPECT_EQ(texts[0].points[0], (Point{25, 5}));
}

TEST(Label3DTest, EndEllipsisShortensTextThatDoesNotFit) {
  Label l;
  l.label.SetTextStyle(tsNone);
  l.label.SetCaption("Hello world again");  // 170 px at 10 px a character
  l.label.SetAutoSize(true);
  l.label.SetEllipsesStyle(esEnd);
  EXPECT_FALSE(l.label.AutoSize());
  l.label.setGeometry(0, 0, 100, 30);
  const auto texts = Label::Of(l.Paint(), OpKind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "Hello w...");
}

TEST(Label3DTest, BorderIsDrawnBorderWidthTimesWithAWidePen) {
  Label l;
  l.label.SetBorder(true);
  l.label.SetBorderWidth(3);
  l.label.SetBorderColor(0x00FF00);
  l.label.SetBorderPenStyle(PenStyle::Dash);
  const auto rects = Label::Of(l.Paint(), OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 3u);
  for (const CanvasOp& r : rects) {
    EXPECT_EQ(r.rect, (Rect{0, 0, 100, 30}));
    EXPECT_EQ(r.pen.width, 3);
    EXPECT_EQ(r.pen.color, 0x00FF00u);
    EXPECT_EQ(r.pen.style, PenStyle::Dash);
    EXPECT_EQ(r.brush.style, BrushStyle::Clear);
  }
}

TEST(Label3DTest, BevelBordersLightAndShadeTheirEdges) {
  Label l;
  l.label.SetBorder(true);
  l.label.SetBorderType(btRecessed);
  auto lines = Label::Of(l.Paint(), OpKind::Line);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].points, (std::vector<Point>{{0, 0}, {99, 0}}));
  EXPECT_EQ(lines[1].points, (std::vector<Point>{{0, 0}, {0, 29}}));
  EXPECT_EQ(lines[2].points, (std::vector<Point>{{99, 29}, {99, 0}}));
  EXPECT_EQ(lines[3].points, (std::vector<Point>{{99, 29}, {0, 29}}));
  EXPECT_EQ(lines[0].pen.color, 0x808080u);
  EXPECT_EQ(lines[3].pen.color, 0xFFFFFFu);
  l.label.SetBorderType(btRaised);
  lines = Label::Of(l.Paint(), OpKind::Line);
  EXPECT_EQ(lines[0].pen.color, 0xFFFFFFu);
  EXPECT_EQ(lines[3].pen.color, 0x808080u);
}

TEST(Label3DTest, RotatedTextUsesATurnedFontAtThePlacedCorner) {
  Label l;
  l.label.SetTextStyle(tsNone);
  l.label.SetEscapement(90);
  const auto texts = Label::Of(l.Paint(), OpKind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].font.escapement, 900);
  EXPECT_EQ(texts[0].points[0], (Point{0, 50}));
  // Centred: the left edge moves by half the room the turned text leaves.
  l.label.SetAlignment(taCenter);
  EXPECT_EQ(Label::Of(l.Paint(), OpKind::Text)[0].points[0], (Point{40, 50}));
}

TEST(Label3DTest, LinksChangeLookOnHoverAndClickOnlyNotifiesWithoutAddress) {
  Label l;
  int enters = 0, exits = 0, clicks = 0;
  l.label.OnMouseEnter = [&] { ++enters; };
  l.label.OnMouseExit = [&] { ++exits; };
  l.label.OnClick = [&] { ++clicks; };
  l.label.PointerEnter();  // a plain label only notifies
  EXPECT_EQ(l.label.LabelFont().color, 0x112233u);
  l.label.SetLabelStyle(lsWWWAddress);
  l.label.PointerEnter();
  EXPECT_EQ(l.label.LabelFont().color, 0x0000FFu);
  EXPECT_TRUE(l.label.LabelFont().style & fsUnderline);
  EXPECT_EQ(l.label.cursor().shape(), Qt::PointingHandCursor);
  l.label.PointerLeave();
  EXPECT_EQ(l.label.LabelFont().color, 0x112233u);
  EXPECT_FALSE(l.label.LabelFont().style & fsUnderline);
  l.label.Click();
  EXPECT_EQ(enters, 2);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace quillet
