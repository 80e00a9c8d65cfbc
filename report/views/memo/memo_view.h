// Folder report/views/memo: the text object — its record, layout and
// drawing. It belongs to views and includes what views may.
//
// TfrMemoView: the text object of a report page.
//
// A memo holds lines of text (Memo), a font in points and an alignment word.
// Text is always laid out on the engine's measuring canvas at 96 pixels per
// inch (its engine's MeasuringCanvas), so line breaks are the same on screen and
// on paper; drawing then places those lines on any canvas at any scale,
// horizontally or running upwards (rotated by 90 degrees).
//
// Geometry follows TfrView: report pixels, except between PrepareDraw and
// RestoreCoords. Operations that lay out text raise EngineError when no
// measuring canvas is installed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/views/view_bases.h"

namespace quillet {

// The paragraph mark: ends a laid-out line that closes a paragraph. Never drawn.
constexpr char kParagraphMark = '\x01';

// Alignment word.
constexpr std::uint32_t alLeft = 0;
constexpr std::uint32_t alRight = 1;
constexpr std::uint32_t alCenter = 2;
constexpr std::uint32_t alJustify = 3;
constexpr std::uint32_t alHorizontalMask = 3;
constexpr std::uint32_t alRotated = 4;  // text runs from bottom to top
constexpr std::uint32_t alVerticalCenter = 8;
constexpr std::uint32_t alVerticalBottom = 16;
constexpr std::uint32_t alVerticalMask = alVerticalCenter | alVerticalBottom;

// Memo bits of the view's Flags word (bit 0, flStretched, is the base's).
constexpr std::uint16_t flWordWrap = 2;
constexpr std::uint16_t flWordBreak = 4;
constexpr std::uint16_t flAutoWidth = 8;
constexpr std::uint16_t flTextOnly = 16;
constexpr std::uint16_t flSuppress = 32;
constexpr std::uint16_t flHideZeros = 64;
constexpr std::uint16_t flUnderlines = 128;
constexpr std::uint16_t flRTLReading = 256;

// The memo bits of the Flags word, typed.
enum class MemoFlag : std::uint16_t {
  Stretched = flStretched,
  WordWrap = flWordWrap,
  WordBreak = flWordBreak,
  AutoWidth = flAutoWidth,
  TextOnly = flTextOnly,
  Suppress = flSuppress,
  HideZeros = flHideZeros,
  Underlines = flUnderlines,
  RTLReading = flRTLReading,
};
using MemoFlags = FlagSet<MemoFlag>;

// Character set given to new fonts until the engine's text table supplies
// its own default (the platform's default character set).

// Largest font pixel height a memo draws with: sizes read from damaged
// files stay within what a device can render.
constexpr int kMaxFontPixels = 32767;
// Most ruled lines one memo draws.
constexpr int kMaxUnderlines = 1 << 14;

// A report font: what templates and prepared pages store of a font.
struct ReportFont {
  std::string Name = "Arial";
  std::int32_t Size = 10;  // points
  int Style = 0;           // font style word: fsItalic | fsBold | fsUnderline | fsStrikeOut
  quillet::Color Color = clBlack;
  int Charset = kDefaultCharset;

  // Pixel height (negative: character height) at `pixelsPerInch`, limited
  // to kMaxFontPixels.
  int PixelHeight(int pixelsPerInch = 96) const;
  // The canvas font at the given pixel height, not rotated.
  Font ToCanvasFont(int pixelHeight) const;
  friend bool operator==(const ReportFont&, const ReportFont&) = default;
};

// One layout of a memo's text at 96 pixels per inch.
struct MemoLayout {
  StringList Lines;        // every paragraph's last line ends with the mark
  int MeasuredHeight = 0;  // lines x step + both gaps, pixels
};

// Word wrap normally skips measuring pieces already known to fit (the
// result is the same). Off, every piece is measured: a reference for tests
// and benchmarks.
void SetLayoutShortcuts(bool on);

class TfrMemoView : public TfrStretcheable {
 public:
  MemoFlags Options() const { return MemoFlags::FromBits(Flags); }
  TfrMemoView();

  std::unique_ptr<TfrView> Create() const override;
  std::string ClassName() const override { return "TfrMemoView"; }

  void RegisterProperties() override;
  void WriteProperty(const std::string& name, const Variant& value) override;
  Variant ReadProperty(const std::string& name) override;
  Variant CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                     const Variant& a3) override;

  // Lays Memo out at scale 1 (unless it already carries paragraph marks),
  // then draws background, frame, underlines and lines at the view's device
  // scale and offset.
  void Draw(Canvas& canvas) override;
  // Writes the memo into the prepared page (object type byte, then the
  // record), honouring DrawPass: 2 writes only the lines that fit DrawRect
  // and leaves the rest in WorkText, after LinesPlaced, for the next page.
  void Record(MemoryStream& page) override;
  // Laid-out lines no page has taken yet.
  std::size_t LinesLeft() const;
  // Replays the memo's lines into its engine's MemoTextExport; EngineError
  // when none is installed.
  void Export(Stream& stream) override;
  // Common view record, then the memo tail; the template or prepared
  // variant by PreparedMode, the layout by the reader's version. Short or
  // malformed input raises StreamReadError.
  void ReadRecord(RecordReader& stream) override;
  void WriteRecord(RecordWriter& stream) override;
  int TextCharset() const override;

  // Report pixels the text needs (lines x step + both gaps); 0 for an
  // invisible or empty memo and for a suppressed repeat. Leaves WorkText
  // laid out and DrawPass 1.
  int CalcHeight() override;
  int LeastPieceHeight() override;
  int LeftoverHeight() override;

  // WorkText from Memo, bracketed expressions replaced by their values. The
  // values come from the report being prepared (the ActiveReport's
  // EvaluateBracket, where the expression engine plugs in); with no report
  // the lines are copied unchanged. Evaluation errors propagate.
  void ExpandText();
  // Width in report pixels the given lines need with the output font on the
  // current canvas (the measuring canvas when none is attached).
  int MeasureTextWidth(const StringList& lines);

  // Lays WorkText out at 96 pixels per inch using the current geometry and
  // gaps; sets LineStep.
  MemoLayout LayoutText();
  // Break positions (counts of characters) allowed inside `word`, in order.
  static std::vector<int> HyphenPoints(const std::string& word);

  // The whole text of a list: every line followed by CR LF.
  static std::string WholeText(const StringList& lines);

  ReportFont Font_;  // "Font"
  std::string LastText;
  bool HasLineMarks = false;
  bool Splitting = false;
  std::int32_t LineStep = 0;
  std::int32_t MeasuredHeight = 0;  // of the layout WorkText holds
  std::int32_t LinesDone = 0;
  // Lines at the front of WorkText that earlier pages of a split text took.
  // They stay in place (moved-from) rather than being removed, so a long text
  // costs each page only the lines it places.
  std::size_t LinesPlaced = 0;
  bool Exporting = false;
  std::uint32_t Alignment = alLeft;
  std::int16_t HighlightStyle = fsBold;
  Color HighlightColor = clBlack;
  Color HighlightFillColor = clWhite;
  std::string HighlightCondition;
  // HighlightCondition in postfix form, converted when the page is set up
  // (kept apart, so a page set up twice never converts it twice).
  std::string HighlightPostfix;
  std::int32_t LineSpacing = 2;
  std::int32_t CharSpacing = 0;

 private:
  // Appends the wrapped pieces of `line` to `out`.
  void WrapLine(const std::string& line, int maxWidth, Canvas& measuring, StringList& out);
  // Applies the highlight when its condition holds; see the .cpp.
  void ApplyHighlight();
  void RunBeforePrint();
  // Sets the output font on Canvas_ (transparent background mode).
  void SetOutputFont();
  void DrawUnderlines();
  void DrawLines();
  // One horizontal line; returns true when the output stops here.
  bool DrawHorizontalLine(const std::string& line, int& position, int step,
                          std::uint32_t horizontal, const Rect& clip);
  void DrawRotatedLine(const std::string& line, int& position, int step, const Rect& clip);
  std::uint16_t ExportFrameBits(int index, int count) const;
  unsigned TextOptions() const;
};

}  // namespace quillet
