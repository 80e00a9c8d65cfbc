// Laying memo text out into lines on the measuring canvas: word wrap,
// hyphenation points and the width a text needs.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/utf8.h"
#include "report/base/engine_state.h"
#include "report/views/memo/memo_view.h"

namespace quillet {
namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

bool IsLineBreak(char c) {
  return c == kCR || c == kLF;
}

Canvas& MeasuringCanvas(const EngineGlobals& engine) {
  Canvas* c = engine.MeasuringCanvas;
  if (!c) throw EngineError("No measuring canvas is installed: text cannot be laid out");
  return *c;
}

// The grapheme clusters of a line, numbered from 1: what the wrap walks so
// that no line ends inside a character. Seven-bit text is its own clusters,
// one a byte, with no table.
class Clusters {
 public:
  explicit Clusters(const std::string& s) : s_(s) {
    if (!IsSevenBit(s)) bounds_ = ClusterBounds(s);
  }
  int Count() const {
    return bounds_.empty() ? static_cast<int>(s_.size()) : static_cast<int>(bounds_.size()) - 1;
  }
  // The first byte of cluster i: ASCII for the characters the wrap looks for.
  char First(int i) const { return s_[Begin(i)]; }
  // The first character of cluster i.
  char32_t CodePoint(int i) const {
    std::size_t at = Begin(i);
    return NextCodePoint(s_, at);
  }
  // Clusters first .. last, inclusive and cut at the ends.
  std::string Piece(int first, int last) const {
    first = std::max(first, 1);
    last = std::min(last, Count());
    if (last < first) return {};
    return s_.substr(Begin(first), Begin(last + 1) - Begin(first));
  }
  // A line may end before cluster i: between two ideographs, or between an
  // ideograph and another letter, unless i is punctuation that never starts
  // a line.
  bool BreakBefore(int i) const {
    if (bounds_.empty() || i <= 1) return false;
    const char32_t c = CodePoint(i);
    return c != ' ' && !NeverStartsLine(c) && (BreaksBetween(c) || BreaksBetween(CodePoint(i - 1)));
  }

 private:
  std::size_t Begin(int i) const {
    return bounds_.empty() ? static_cast<std::size_t>(i - 1)
                           : bounds_[static_cast<std::size_t>(i - 1)];
  }

  const std::string& s_;
  std::vector<std::size_t> bounds_;
};

// Cyrillic letters of the hyphenation rule, as capitals.
char32_t CyrillicUpper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0x0430 && c <= 0x044F) return c - 0x20;  // а .. я
  if (c == 0x0451) return 0x0401;                   // ё
  return c;
}

bool IsVowel(char32_t c) {
  switch (c) {
    case 0x0401:
    case 0x0410:
    case 0x0415:
    case 0x0418:
    case 0x041E:
    case 0x0423:
    case 0x042B:
    case 0x042D:
    case 0x042E:
    case 0x042F: return true;
    default: return false;
  }
}

bool IsSign(char32_t c) {
  return c == 0x042A || c == 0x042C;
}  // Ъ, Ь

}  // namespace

std::vector<int> TfrMemoView::HyphenPoints(const std::string& word) {
  std::vector<int> points;
  const Clusters clusters(word);
  const int n = clusters.Count();
  if (n < 4) return points;
  auto at = [&clusters](int i) { return CyrillicUpper(clusters.CodePoint(i)); };
  for (int i = 2; i <= n - 2; ++i) {
    const bool vowelHere = IsVowel(at(i));
    if (vowelHere && (IsVowel(at(i + 1)) || IsVowel(at(i + 2)))) {
      points.push_back(i);
    } else if (!vowelHere && !IsVowel(at(i + 1)) && !IsSign(at(i + 1)) && IsVowel(at(i + 2))) {
      points.push_back(i);
    }
  }
  return points;
}

MemoLayout TfrMemoView::LayoutText() {
  Canvas& mc = MeasuringCanvas(Globals());
  const ::quillet::Font savedFont = mc.GetFont();
  const int savedExtra = mc.GetTextCharacterExtra();
  ::quillet::Font font = Font_.ToCanvasFont(Font_.PixelHeight(96));
  const bool rotated = Alignment & alRotated;
  if (rotated) font.escapement = 900;
  mc.SetFont(font);
  mc.SetTextCharacterExtra(CharSpacing);

  MemoLayout layout;
  StringList& out = layout.Lines;
  // Damaged templates may hold extreme sizes: sums saturate, never wrap.
  const int step = ClampToInt(std::int64_t(LineSpacing) + std::abs(std::int64_t(font.height)));
  const int gap = rotated ? GapX : GapY;
  const int available = ClampToInt(rotated ? std::int64_t(Height) - 2 * std::int64_t(GapY)
                                           : std::int64_t(Width) - 2 * std::int64_t(GapX));

  if (!rotated && !Run().RenderActive && WorkText.size() == 1 && !WorkText[0].empty() &&
      WorkText[0][0] == '[' && mc.TextWidth(WorkText[0]) > available) {
    // An expression too long for its box on an editing page shows whole.
    out.push_back(WorkText[0]);
  } else {
    for (const std::string& line : WorkText) {
      if (HasLineMarks)
        out.push_back(line);
      else if (Options().Has(MemoFlag::WordWrap))
        WrapLine(line, available, mc, out);
      else
        out.push_back(line + kParagraphMark);
    }
  }
  // Lines x step plus the gap above the first line and below the last.
  const auto lines = static_cast<std::int64_t>(out.size());
  layout.MeasuredHeight = static_cast<int>(
      std::clamp<std::int64_t>(lines * step + 2 * std::int64_t(gap), INT32_MIN, INT32_MAX));
  LineStep = step;
  mc.SetFont(savedFont);
  mc.SetTextCharacterExtra(savedExtra);
  return layout;
}

namespace {

bool& ShortcutsOn() {
  static bool on = true;
  return on;
}

// Answers "is s[lineStart .. i] wider than the box?" for the word-wrap walk.
// Widths only grow as a piece grows (with no negative character spacing), so
// once a longer piece is known to fit, every shorter one fits too: the first
// measurement of a line gallops ahead and bisects to the longest piece that
// fits, and later questions below that length need no measuring. A question
// beyond it is always measured, so every overflow is decided by a real width.
class FitProbe {
 public:
  FitProbe(const Clusters& s, int maxWidth, Canvas& mc, bool shortcut)
      : s_(s), maxWidth_(maxWidth), mc_(mc), shortcut_(shortcut) {}

  void StartLine(int lineStart) {
    lineStart_ = lineStart;
    knownFit_ = lineStart - 1;
  }

  bool Overflows(int i) {
    if (i <= knownFit_) return false;
    if (Width(i) > maxWidth_) return true;
    knownFit_ = i;
    if (shortcut_) Extend(i);
    return false;
  }

 private:
  int Width(int last) { return mc_.TextWidth(s_.Piece(lineStart_, last)); }

  void Extend(int from) {
    // Only up to the next line-break character: the walk stops there anyway.
    int limit = from + 1;
    while (limit <= s_.Count() && !IsLineBreak(s_.First(limit))) ++limit;
    --limit;
    int step = 8;
    int tooWide = limit + 1;  // the shortest piece known not to fit
    while (knownFit_ < limit) {
      const int k = std::min(knownFit_ + step, limit);
      if (Width(k) > maxWidth_) {
        tooWide = k;
        break;
      }
      knownFit_ = k;
      step *= 2;
    }
    while (tooWide - knownFit_ > 1 && tooWide <= limit) {
      const int mid = knownFit_ + (tooWide - knownFit_) / 2;
      if (Width(mid) > maxWidth_)
        tooWide = mid;
      else
        knownFit_ = mid;
    }
  }

  const Clusters& s_;
  int maxWidth_;
  Canvas& mc_;
  bool shortcut_;
  int lineStart_ = 1;
  int knownFit_ = 0;
};

}  // namespace

void SetLayoutShortcuts(bool on) {
  ShortcutsOn() = on;
}

void TfrMemoView::WrapLine(const std::string& s, int maxWidth, Canvas& mc, StringList& out) {
  auto emit = [&out](std::string text) { out.push_back(std::move(text)); };
  const Clusters clusters(s);
  const int n = clusters.Count();
  auto at = [&clusters](int i) { return clusters.First(i); };
  auto width = [&mc](const std::string& text) { return mc.TextWidth(text); };

  if (s.find_first_of("\r\n") == std::string::npos && (n <= 1 || mc.TextFits(s, maxWidth))) {
    emit(s + kParagraphMark);
    return;
  }
  const bool shortcut = ShortcutsOn() && CharSpacing >= 0;
  FitProbe probe(clusters, maxWidth, mc, shortcut);
  int i = 1;
  int lineStart = 1;
  int lastBreak = 1;
  probe.StartLine(lineStart);
  while (i <= n) {
    const char c = at(i);
    if (IsLineBreak(c)) {
      emit(clusters.Piece(lineStart, i - 1) + kParagraphMark);
      while (i < n && IsLineBreak(at(i))) ++i;
      if (IsLineBreak(at(i))) return;  // the line ended with line-break characters
      lineStart = lastBreak = i;
      probe.StartLine(lineStart);
      continue;
    }
    if (clusters.BreakBefore(i)) lastBreak = i;
    if (c != ' ' && probe.Overflows(i)) {
      int breakPoint = lastBreak == lineStart ? i : lastBreak;
      bool hyphenated = false;
      if (Options().Has(MemoFlag::WordBreak)) {
        int j = i;
        while (j <= n && at(j) != ' ' && at(j) != ',' && at(j) != '-' && at(j) != '.') ++j;
        const std::string word = clusters.Piece(lastBreak + 1, j - 1);
        int accepted = 0;
        for (int h : HyphenPoints(word)) {
          if (width(clusters.Piece(lineStart, lastBreak + h) + "-") > maxWidth) break;
          accepted = h;
        }
        if (accepted > 0) {
          breakPoint = lastBreak + accepted;
          emit(clusters.Piece(lineStart, breakPoint) + "-");
          // Every accepted point lies at least two characters past the
          // line start, so the walk always moves on.
          i = lineStart = lastBreak = breakPoint + 1;
          probe.StartLine(lineStart);
          hyphenated = true;
        }
      }
      if (hyphenated) continue;
      emit(clusters.Piece(lineStart, breakPoint - 1));
      lineStart = at(breakPoint) == ' ' ? breakPoint + 1 : breakPoint;
      lastBreak = lineStart;
      probe.StartLine(lineStart);
    }
    if (at(i) == ' ') lastBreak = i;
    ++i;
  }
  if (i != lineStart) emit(clusters.Piece(lineStart, i) + kParagraphMark);
}

int TfrMemoView::MeasureTextWidth(const StringList& lines) {
  Canvas* target = Canvas_ ? Canvas_ : &MeasuringCanvas(Globals());
  std::string text = WholeText(lines);
  std::erase(text, kParagraphMark);
  if (text.size() >= 2 && text.ends_with("\r\n")) text.resize(text.size() - 2);

  Canvas* saved = Canvas_;
  Canvas_ = target;
  const ::quillet::Font savedFont = target->GetFont();
  const int savedExtra = target->GetTextCharacterExtra();
  SetOutputFont();
  target->SetTextCharacterExtra(Round(CharSpacing * DeviceScaleX));
  // Multi-line measurement: CR LF, a lone CR and a lone LF each end a line;
  // the rectangle starts at x = 0, so its right edge is the widest line.
  int right = 0;
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", from);
    if (end == std::string::npos) end = text.size();
    right = std::max(right, target->TextWidth(std::string_view(text).substr(from, end - from)));
    if (end == text.size()) break;
    from = end + ((text[end] == kCR && end + 1 < text.size() && text[end + 1] == kLF) ? 2 : 1);
  }
  target->SetFont(savedFont);
  target->SetTextCharacterExtra(savedExtra);
  Canvas_ = saved;
  const double scale = DeviceScaleX != 0 ? DeviceScaleX : 1.0;
  return Round(right / scale + FrameWidth + 2.0 * GapX + 1);
}

}  // namespace quillet
