// Drawing a memo: laying out at the reference resolution, then placing the
// lines, their alignment, underlines and the export replay.
#include <algorithm>
#include <cstdlib>
#include <span>

#include "platform/numeric.h"
#include "platform/scope_guard.h"
#include "report/base/engine_state.h"
#include "report/views/memo/memo_view.h"

namespace quillet {
namespace {

bool IsParagraphEnd(std::string& line) {
  if (line.empty()) return true;
  if (line.back() != kParagraphMark) return false;
  line.pop_back();
  return true;
}

// Spaces and no-break spaces (U+00A0, "\xC2\xA0" in UTF-8).
int CountBreaks(const std::string& line) {
  int breaks = 0;
  for (std::size_t i = 0; i < line.size(); ++i)
    breaks += line[i] == ' ' || (line[i] == '\xC2' && i + 1 < line.size() && line[i + 1] == '\xA0');
  return breaks;
}

}  // namespace

void TfrMemoView::Draw(Canvas& canvas) {
  Canvas_ = &canvas;
  if (Options().Has(MemoFlag::AutoWidth) && !Memo.empty() && Run().RenderActive) {
    const int a = MeasureTextWidth(Memo);
    if (Alignment & alRotated) {
      Height = a;
    } else {
      if (Alignment & 1) Left = AddSat(Left, SubSat(Width, a));
      Width = a;
    }
  }
  AttachCanvas(&canvas);
  Splitting = false;
  WorkText = Memo;
  LinesPlaced = 0;
  if (!WorkText.empty()) {
    HasLineMarks = std::any_of(WorkText.begin(), WorkText.end(), [](const std::string& l) {
      return l.find(kParagraphMark) != std::string::npos;
    });
    if (WorkText.back() == std::string(1, kParagraphMark)) WorkText.pop_back();
    // Layout always happens at scale 1, so line breaks do not depend on the device.
    MemoLayout layout;
    {
      const double sx = DeviceScaleX, sy = DeviceScaleY;
      const ScopeGuard scales([this, sx, sy] {
        DeviceScaleX = sx;
        DeviceScaleY = sy;
      });
      DeviceScaleX = DeviceScaleY = 1.0;
      const DeviceCoordinates device(*this);
      if (Options().Has(MemoFlag::AutoWidth) && Run().RenderActive) Width = AddSat(Width, 100);
      layout = LayoutText();
    }
    WorkText = std::move(layout.Lines);
    MeasuredHeight = layout.MeasuredHeight;
  }
  const DeviceCoordinates device(*this);
  if (!Exporting) {
    DrawBackground();
    DrawFrame();
    DrawUnderlines();
  }
  if (!WorkText.empty()) DrawLines();
  canvas.SetTextCharacterExtra(0);
}

void TfrMemoView::SetOutputFont() {
  Canvas& c = *Canvas_;
  c.SetBkMode(BkMode::Transparent);
  int height;
  if (OnPrinterCanvas) {
    // The printer maps the point size at its own resolution.
    height = Font_.PixelHeight(c.PixelsPerInchY());
  } else {
    const double exact = Font_.Size * 96.0 / 72.0 * DeviceScaleY;
    height = -std::clamp(DeviceScaleY == 1.0 ? Round(exact) : Trunc(exact), -kMaxFontPixels,
                         kMaxFontPixels);
  }
  c.SetFont(Font_.ToCanvasFont(height));
}

unsigned TfrMemoView::TextOptions() const {
  return etoClipped | (Options().Has(MemoFlag::RTLReading) ? etoRtlReading : 0u);
}

void TfrMemoView::DrawUnderlines() {
  if (!Options().Has(MemoFlag::Underlines) || !Canvas_) return;
  SetOutputFont();
  Canvas& c = *Canvas_;
  c.SetPen({FrameColor, Round(FrameWidth), PenStyle::Solid, PenMode::Copy});
  const int fontHeight = std::abs(c.GetFont().height);
  const int step = AddSat(Round(LineSpacing * DeviceScaleY), fontHeight);
  if (step <= 0) return;  // a negative line spacing leaves no line positions
  const int offset = AddSat(Round(2 * DeviceScaleY), fontHeight);
  const int count = std::min(Height / step, kMaxUnderlines);
  for (int k = 0; k < count; ++k) {
    const int y = ClampToInt(std::int64_t(Top) + GapY + std::int64_t(k) * step + offset);
    c.Line(Left, y, ClampToInt(std::int64_t(Left) + Width - 1), y);
  }
}

void TfrMemoView::DrawLines() {
  Canvas& c = *Canvas_;
  SetOutputFont();
  c.SetTextCharacterExtra(Round(CharSpacing * DeviceScaleX));
  // A damaged prepared page may place the rectangle at the ends of the range.
  const Rect clip{ClampToInt(std::int64_t(DrawRect.left) + 1), DrawRect.top,
                  ClampToInt(std::int64_t(DrawRect.right) - 2),
                  ClampToInt(std::int64_t(DrawRect.bottom) - 1)};
  const int h = Round(MeasuredHeight * DeviceScaleY);
  const int fontHeight = std::abs(c.GetFont().height);
  const bool rotated = Alignment & alRotated;

  const int savedLeft = Left, savedTop = Top;
  const std::uint32_t savedAlignment = Alignment;
  const std::uint32_t vertical = Alignment & alVerticalMask;
  if (vertical) {
    Alignment &= 7;
    // Both vertical bits together read as bottom.
    const bool bottom = vertical & alVerticalBottom;
    if (rotated) {
      if (bottom)
        Left = SubSat(DrawRect.right, h);
      else
        Left = AddSat(Left, (std::int64_t(DrawRect.right) - DrawRect.left - h) / 2);
    } else if (!Splitting) {
      if (bottom)
        Top = SubSat(DrawRect.bottom, std::int64_t(h) + 1);
      else
        Top = AddSat(Top, (std::int64_t(DrawRect.bottom) - DrawRect.top - h) / 2);
    }
  }

  LinesDone = 0;
  const std::span<const std::string> lines =
      std::span<const std::string>(WorkText).subspan(std::min(LinesPlaced, WorkText.size()));
  if (!rotated) {
    const int step = AddSat(Round(LineSpacing * DeviceScaleY), fontHeight);
    int position = AddSat(Top, GapY);
    std::uint32_t horizontal = Alignment & alHorizontalMask;
    // On an editing page a lone expression too wide for its box shows its end.
    if (!Run().RenderActive && lines.size() == 1 && !lines[0].empty() && lines[0][0] == '[' &&
        c.TextWidth(lines[0]) > clip.Width())
      horizontal = alRight;
    for (const std::string& line : lines)
      if (DrawHorizontalLine(line, position, step, horizontal, clip)) break;
  } else {
    const ::quillet::Font upright = c.GetFont();
    ::quillet::Font turned = upright;
    turned.escapement = 900;
    c.SetFont(turned);
    const int step = AddSat(Round(LineSpacing * DeviceScaleX), fontHeight);
    int position = AddSat(Left, GapX);
    for (const std::string& line : lines) DrawRotatedLine(line, position, step, clip);
    c.SetFont(upright);
  }
  if (vertical) {
    Left = savedLeft;
    Top = savedTop;
    Alignment = savedAlignment;
  }
}

bool TfrMemoView::DrawHorizontalLine(const std::string& source, int& position, int step,
                                     std::uint32_t horizontal, const Rect& clip) {
  if (Splitting && std::int64_t(position) + step > DrawRect.bottom) {
    position = AddSat(position, step);
    return true;
  }
  Canvas& c = *Canvas_;
  std::string line = source;
  const bool paragraphEnd = IsParagraphEnd(line);
  // Only an alignment other than left needs the width; measuring is most of
  // drawing a short line.
  const int w = horizontal == alRight || horizontal == alCenter || horizontal == alJustify
                    ? c.TextWidth(line)
                    : 0;
  const int boxWidth = ClampToInt(std::int64_t(DrawRect.right) - DrawRect.left);
  using I64 = std::int64_t;
  int x = AddSat(Left, GapX);
  bool justified = false;
  switch (horizontal) {
    case alRight: x = ClampToInt(I64(Left) + boxWidth - 1 - GapX - w); break;
    case alCenter:
      x = ClampToInt(I64(Left) + GapX + (I64(boxWidth) - 2 * I64(GapX) - w) / 2);
      break;
    case alJustify:
      if (!paragraphEnd) {
        if (const int breaks = CountBreaks(line); breaks > 0) {
          c.SetTextJustification(ClampToInt(I64(boxWidth) - 2 * I64(GapX) - w), breaks);
          justified = true;
        }
      }
      break;
    default: break;
  }
  if (!Exporting) {
    c.ExtTextOut(x, position, TextOptions(), &clip, line);
  } else if (Globals().MemoTextExport) {
    const int count = static_cast<int>(WorkText.size());
    Globals().MemoTextExport(DrawRect, x, *this, ExportFrameBits(LinesDone, count), position, line);
  }
  if (justified) c.SetTextJustification(0, 0);
  ++LinesDone;
  position = AddSat(position, step);
  return false;
}

void TfrMemoView::DrawRotatedLine(const std::string& source, int& position, int step,
                                  const Rect& clip) {
  Canvas& c = *Canvas_;
  std::string line = source;
  const bool paragraphEnd = IsParagraphEnd(line);
  const int w = c.TextWidth(line);
  using I64 = std::int64_t;
  const I64 boxHeight = I64(DrawRect.bottom) - DrawRect.top;
  int y = SubSat(DrawRect.bottom, GapY);
  switch (Alignment & alHorizontalMask) {
    case alRight: y = ClampToInt(I64(Top) + GapY + w); break;
    case alCenter:
      y = ClampToInt(I64(DrawRect.bottom) - GapY - (boxHeight - 2 * I64(GapY) - w) / 2 - 1);
      break;
    case alJustify:
      y = ClampToInt(I64(Top) + boxHeight - GapY);
      if (!paragraphEnd)
        if (const int breaks = CountBreaks(line); breaks > 0)
          c.SetTextJustification(ClampToInt(boxHeight - 2 * I64(GapY) - w), breaks);
      break;
    default: break;
  }
  if (!Exporting) {
    c.ExtTextOut(position, y, TextOptions(), &clip, line);
  } else if (Globals().MemoTextExport) {
    Globals().MemoTextExport(DrawRect, position, *this, 0, y, line);
  }
  c.SetTextJustification(0, 0);
  ++LinesDone;
  position = ClampToInt(std::int64_t(position) + step);
}

std::uint16_t TfrMemoView::ExportFrameBits(int index, int count) const {
  std::uint16_t bits = FrameTyp;
  if (count <= 1) return bits;
  if (index > 0) bits &= ~frTop;
  if (index < count - 1) bits &= ~frBottom;
  return bits;
}

}  // namespace quillet
