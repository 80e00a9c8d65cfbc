// Flat buttons: properties, grouping, the mouse, and what they paint.
#include <gtest/gtest.h>

#include <QShortcut>

#include "preview/toolbar_button.h"
#include "tests/preview/input_events.h"

namespace quillet {
namespace {

using test::Click;
using test::Press;
using test::Release;
using test::SendDrag;

QImage StripOf(int width, int height) {
  QImage strip(width, height, QImage::Format_RGB32);
  strip.fill(qRgb(128, 128, 0));
  return strip;
}

TEST(SpeedButton, StartsWithItsDefaults) {
  TfrSpeedButton b;
  EXPECT_EQ(b.size(), QSize(22, 22));
  EXPECT_FALSE(b.Flat());
  EXPECT_FALSE(b.AllowAllUp());
  EXPECT_EQ(b.GroupIndex(), 0);
  EXPECT_FALSE(b.Down());
  EXPECT_TRUE(b.GrayedInactive());
  EXPECT_EQ(b.Layout(), blGlyphLeft);
  EXPECT_EQ(b.Margin(), -1);
  EXPECT_EQ(b.Spacing(), 4);
  EXPECT_EQ(b.NumGlyphs(), 1);
  EXPECT_EQ(b.TransparentColor(), qRgb(128, 128, 0));
  EXPECT_EQ(b.State(), bsUp);

  TfrTBButton tb;
  EXPECT_TRUE(tb.Flat());
  EXPECT_EQ(tb.Align(), alLeft);
  TfrTBSeparator sep;
  EXPECT_EQ(sep.size(), QSize(8, 8));
  EXPECT_TRUE(sep.DrawBevel());
  EXPECT_EQ(sep.Align(), alLeft);
}

TEST(SpeedButton, NumGlyphsFollowsTheStripWidth) {
  TfrSpeedButton b;
  b.SetGlyph(StripOf(64, 16));
  EXPECT_EQ(b.NumGlyphs(), 4);
  b.SetGlyph(StripOf(80, 16));
  EXPECT_EQ(b.NumGlyphs(), 1);
  b.SetGlyph(StripOf(32, 16));
  EXPECT_EQ(b.NumGlyphs(), 2);
  b.SetGlyph(StripOf(40, 16));  // not a whole multiple: unchanged
  EXPECT_EQ(b.NumGlyphs(), 2);
  b.SetNumGlyphs(9);
  EXPECT_EQ(b.NumGlyphs(), 4);
  b.SetNumGlyphs(0);
  EXPECT_EQ(b.NumGlyphs(), 4);
  b.SetMargin(-5);
  EXPECT_EQ(b.Margin(), -1);
  b.SetMargin(3);
  EXPECT_EQ(b.Margin(), 3);
}

TEST(SpeedButton, GlyphIsACopy) {
  TfrSpeedButton b;
  QImage strip = StripOf(16, 16);
  strip.setPixel(4, 4, qRgb(255, 0, 0));
  b.SetGlyph(strip);
  strip.setPixel(4, 4, qRgb(0, 0, 255));
  EXPECT_EQ(b.Glyph().pixel(4, 4), qRgb(255, 0, 0));
  EXPECT_EQ(b.StateImage(bsUp).pixel(4, 4), qRgb(255, 0, 0));
}

TEST(SpeedButtonGroup, DownOnlyInAGroup) {
  TfrSpeedButton b;
  b.SetDown(true);
  EXPECT_FALSE(b.Down());
  b.SetGroupIndex(1);
  b.SetDown(true);
  EXPECT_TRUE(b.Down());
  EXPECT_EQ(b.State(), bsLatched);
  b.SetDown(false);  // AllowAllUp false: only another button releases it
  EXPECT_TRUE(b.Down());
}

struct Group {
  QWidget parent;
  TfrSpeedButton* a = new TfrSpeedButton(&parent);
  TfrSpeedButton* b = new TfrSpeedButton(&parent);
  TfrSpeedButton* other = new TfrSpeedButton(&parent);  // group 2
  Group() {
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    other->SetGroupIndex(2);
    b->move(30, 0);
    other->move(60, 0);
  }
};

TEST(SpeedButtonGroup, ClickingAnotherButtonReleasesTheDownOne) {
  Group g;
  g.other->SetDown(true);
  Click(g.a);
  EXPECT_TRUE(g.a->Down());
  Click(g.b);
  EXPECT_TRUE(g.b->Down());
  EXPECT_FALSE(g.a->Down());
  EXPECT_EQ(g.a->State(), bsUp);
  EXPECT_EQ(g.b->State(), bsLatched);
  EXPECT_TRUE(g.other->Down());  // another group
  Click(g.b);                    // clicking the down button leaves it down
  EXPECT_TRUE(g.b->Down());
}

TEST(SpeedButtonGroup, AllowAllUpSpreadsThroughTheGroup) {
  Group g;
  g.a->SetAllowAllUp(true);
  EXPECT_TRUE(g.b->AllowAllUp());
  EXPECT_FALSE(g.other->AllowAllUp());
  Click(g.b);
  EXPECT_TRUE(g.b->Down());
  Click(g.b);
  EXPECT_FALSE(g.b->Down());
  EXPECT_EQ(g.b->State(), bsUp);
  // A button joining the group passes its own AllowAllUp on.
  g.other->SetGroupIndex(1);
  EXPECT_FALSE(g.a->AllowAllUp());
  EXPECT_FALSE(g.b->AllowAllUp());
}

TEST(SpeedButtonGroup, GroupsAreKeptPerParent) {
  Group g;
  QWidget elsewhere;
  TfrSpeedButton stranger(&elsewhere);
  stranger.SetGroupIndex(1);
  stranger.SetDown(true);
  g.a->SetDown(true);
  EXPECT_TRUE(stranger.Down());
}

TEST(SpeedButtonMouse, PressMoveReleaseStates) {
  TfrSpeedButton b;
  int clicks = 0;
  b.OnClick = [&] { ++clicks; };
  Press(&b, {5, 5});
  EXPECT_EQ(b.State(), bsPressed);
  EXPECT_TRUE(b.Dragging());
  SendDrag(&b, {40, 5});
  EXPECT_EQ(b.State(), bsUp);
  SendDrag(&b, {10, 10});
  EXPECT_EQ(b.State(), bsPressed);
  Release(&b, {10, 10});
  EXPECT_EQ(b.State(), bsUp);
  EXPECT_FALSE(b.Dragging());
  EXPECT_EQ(clicks, 1);
}

TEST(SpeedButtonMouse, ReleaseOutsideDoesNotClick) {
  TfrSpeedButton b;
  int clicks = 0;
  b.OnClick = [&] { ++clicks; };
  Press(&b, {5, 5});
  SendDrag(&b, {-3, 5});
  Release(&b, {-3, 5});
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(b.State(), bsUp);
  Release(&b, {5, 5});  // a release without a press is no click either
  EXPECT_EQ(clicks, 0);
}

TEST(SpeedButtonMouse, DownButtonStaysLatchedWhileDragged) {
  QWidget parent;
  TfrSpeedButton b(&parent);
  b.SetGroupIndex(1);
  b.SetAllowAllUp(true);
  b.SetDown(true);
  Press(&b, {5, 5});
  EXPECT_EQ(b.State(), bsLatched);
  SendDrag(&b, {50, 50});
  EXPECT_EQ(b.State(), bsLatched);
  Release(&b, {50, 50});
  EXPECT_TRUE(b.Down());
  EXPECT_EQ(b.State(), bsLatched);
}

TEST(SpeedButtonMouse, DisabledButtonIgnoresPresses) {
  TfrSpeedButton b;
  int clicks = 0;
  b.OnClick = [&] { ++clicks; };
  b.setEnabled(false);
  Click(&b);
  EXPECT_EQ(b.State(), bsUp);
  EXPECT_FALSE(b.Dragging());
  EXPECT_EQ(clicks, 0);
}

TEST(SpeedButtonMouse, DoubleClickOnADownButton) {
  QWidget parent;
  TfrSpeedButton b(&parent);
  int doubles = 0;
  b.OnDblClick = [&] { ++doubles; };
  test::SendMouse(&b, QEvent::MouseButtonDblClick, {5, 5});
  Release(&b, {5, 5});
  EXPECT_EQ(doubles, 0);
  b.SetGroupIndex(1);
  b.SetDown(true);
  test::SendMouse(&b, QEvent::MouseButtonDblClick, {5, 5});
  Release(&b, {5, 5});
  EXPECT_EQ(doubles, 1);
}

TEST(SpeedButtonMouse, EnterAndLeaveOnlyForFlatEnabledButtons) {
  TfrSpeedButton b;
  int enters = 0, leaves = 0;
  b.OnMouseEnter = [&] { ++enters; };
  b.OnMouseLeave = [&] { ++leaves; };
  test::Enter(&b);
  EXPECT_FALSE(b.MouseInControl());
  b.SetFlat(true);
  test::Enter(&b);
  EXPECT_TRUE(b.MouseInControl());
  test::Leave(&b);
  EXPECT_FALSE(b.MouseInControl());
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 1);
  b.setEnabled(false);
  test::Enter(&b);
  EXPECT_FALSE(b.MouseInControl());
  EXPECT_EQ(enters, 1);
}

TEST(SpeedButtonMouse, MouseEventsReachTheHandlers) {
  TfrSpeedButton b;
  QPoint down, up;
  b.OnMouseDown = [&](Qt::MouseButton, Qt::KeyboardModifiers, QPoint p) { down = p; };
  b.OnMouseUp = [&](Qt::MouseButton, Qt::KeyboardModifiers, QPoint p) { up = p; };
  Press(&b, {3, 4});
  Release(&b, {6, 7});
  EXPECT_EQ(down, QPoint(3, 4));
  EXPECT_EQ(up, QPoint(6, 7));
}

TEST(SpeedButton, AcceleratorClicksAnEnabledButton) {
  QWidget window;
  TfrSpeedButton b(&window);
  b.SetCaption("&Print");
  window.show();
  auto* shortcut = b.findChild<QShortcut*>();
  ASSERT_NE(shortcut, nullptr);
  EXPECT_EQ(shortcut->key(), QKeySequence(Qt::ALT | Qt::Key_P));
  int clicks = 0;
  b.OnClick = [&] { ++clicks; };
  emit shortcut->activated();
  EXPECT_EQ(clicks, 1);
  b.setEnabled(false);
  emit shortcut->activated();
  EXPECT_EQ(clicks, 1);
  b.SetCaption("Print");
  EXPECT_EQ(b.findChild<QShortcut*>(), nullptr);
}

// ---- painting -------------------------------------------------------------

// A flat 22 x 22 button whose glyph is olive with a red pixel at (5, 5); the
// glyph sits at (3, 3), so the red pixel paints at (8, 8).
struct RedDotButton {
  QWidget parent;
  TfrTBButton* b = new TfrTBButton(&parent);
  RedDotButton() {
    QImage strip = StripOf(16, 16);
    strip.setPixel(5, 5, qRgb(255, 0, 0));
    b->SetGlyph(strip);
    parent.resize(100, 40);
    parent.show();
  }
  QImage Shot() { return b->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  ButtonColors Colors() const { return ButtonColors::FromPalette(b->palette()); }
};

TEST(SpeedButtonPaint, FlatButtonIsGrayUntilTheMouseEnters) {
  RedDotButton r;
  const ButtonColors c = r.Colors();
  QImage idle = r.Shot();
  EXPECT_EQ(idle.pixel(8, 8), qRgb(76, 76, 76));
  EXPECT_EQ(idle.pixel(0, 0), c.face);  // no frame
  EXPECT_EQ(idle.pixel(4, 4), c.face);  // transparent glyph pixels show the face

  test::Enter(r.b);
  QImage hot = r.Shot();
  EXPECT_EQ(hot.pixel(8, 8), qRgb(255, 0, 0));
  EXPECT_EQ(hot.pixel(0, 0), c.highlight);  // raised frame
  EXPECT_EQ(hot.pixel(21, 21), c.shadow);

  Press(r.b, {5, 5});
  QImage pressed = r.Shot();
  EXPECT_EQ(pressed.pixel(9, 9), qRgb(255, 0, 0));  // content moved by (1, 1)
  EXPECT_EQ(pressed.pixel(0, 0), c.shadow);         // sunken frame
  Release(r.b, {5, 5});

  test::Leave(r.b);
  EXPECT_EQ(r.Shot().pixel(8, 8), qRgb(76, 76, 76));
}

TEST(SpeedButtonPaint, GrayedInactiveOffKeepsColour) {
  RedDotButton r;
  r.b->SetGrayedInactive(false);
  EXPECT_EQ(r.Shot().pixel(8, 8), qRgb(255, 0, 0));
}

TEST(SpeedButtonPaint, DisabledFlatButtonIsEmbossedWithoutFrame) {
  RedDotButton r;
  const ButtonColors c = r.Colors();
  test::Enter(r.b);
  r.b->setEnabled(false);
  QImage shot = r.Shot();
  EXPECT_EQ(shot.pixel(8, 8), c.shadow);
  EXPECT_EQ(shot.pixel(9, 9), c.highlight);
  EXPECT_EQ(shot.pixel(0, 0), c.face);
  EXPECT_EQ(shot.pixel(21, 21), c.face);
}

TEST(SpeedButtonPaint, LatchedFlatButtonShowsThePattern) {
  RedDotButton r;
  const ButtonColors c = r.Colors();
  r.b->SetGroupIndex(1);
  r.b->SetDown(true);
  QImage shot = r.Shot();
  // Pattern inside, sunken frame around, grayed glyph on top.
  EXPECT_EQ(shot.pixel(2, 2), qRgb(255, 255, 255));
  EXPECT_EQ(shot.pixel(3, 2), c.face);
  EXPECT_EQ(shot.pixel(0, 0), c.shadow);
  EXPECT_EQ(shot.pixel(21, 21), c.highlight);
  EXPECT_EQ(shot.pixel(8, 8), qRgb(76, 76, 76));
  test::Enter(r.b);  // under the mouse: no pattern, colour glyph
  shot = r.Shot();
  EXPECT_EQ(shot.pixel(2, 2), c.face);
  EXPECT_EQ(shot.pixel(8, 8), qRgb(255, 0, 0));
}

TEST(SpeedButtonPaint, LargeButtonPaintsDirectly) {
  RedDotButton r;
  r.b->resize(120, 30);  // beyond the shared off-screen picture
  r.b->SetGrayedInactive(false);
  QImage shot = r.Shot();
  // Glyph centred: x = (120 - 16 + 1) div 2 = 52, y = (30 - 16 + 1) div 2 = 7.
  EXPECT_EQ(shot.pixel(57, 12), qRgb(255, 0, 0));
}

TEST(SpeedButtonPaint, LatchedPatternAlternates) {
  QImage pattern = MakeLatchedPattern(qRgb(192, 192, 192));
  ASSERT_EQ(pattern.size(), QSize(8, 8));
  EXPECT_EQ(pattern.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(pattern.pixel(1, 1), qRgb(255, 255, 255));
  EXPECT_EQ(pattern.pixel(1, 0), qRgb(192, 192, 192));
  EXPECT_EQ(pattern.pixel(6, 7), qRgb(192, 192, 192));
}

TEST(ToolbarSeparator, GrooveFollowsTheAlignment) {
  QWidget parent;
  TfrTBSeparator sep(&parent);
  const ButtonColors c = ButtonColors::FromPalette(sep.palette());
  sep.resize(8, 20);
  QImage v = sep.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(v.pixel(3, 2), c.shadow);
  EXPECT_EQ(v.pixel(4, 2), c.highlight);
  EXPECT_EQ(v.pixel(3, 17), c.shadow);
  EXPECT_EQ(v.pixel(3, 18), c.face);
  EXPECT_EQ(v.pixel(3, 1), c.face);

  sep.SetAlign(alTop);
  sep.resize(20, 8);
  QImage h = sep.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(h.pixel(2, 3), c.shadow);
  EXPECT_EQ(h.pixel(2, 4), c.highlight);
  EXPECT_EQ(h.pixel(18, 3), c.face);

  sep.SetDrawBevel(false);
  h = sep.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(h.pixel(2, 3), c.face);
}

TEST(ToolbarSeparator, ItemsOfAVerticalToolbarAlignTop) {
  EXPECT_EQ(ToolbarItemAlign(alLeft), alTop);
  EXPECT_EQ(ToolbarItemAlign(alRight), alTop);
  EXPECT_EQ(ToolbarItemAlign(alTop), alLeft);
  EXPECT_EQ(ToolbarItemAlign(alBottom), alLeft);
  EXPECT_EQ(ToolbarItemAlign(alNone), alLeft);
}

}  // namespace
}  // namespace quillet
