#include "report/views/memo/memo_view.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "platform/errors.h"
#include "platform/field_writer.h"
#include "platform/numeric.h"
#include "platform/scope_guard.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/base/forming_band.h"
#include "report/base/preparation_report.h"
#include "report/base/record_stream.h"
#include "report/base/text_format.h"
#include "report/expr/brackets.h"
#include "report/expr/expression_globals.h"
#include "report/views/band_view.h"
#include "report/views/object_records.h"
#include "report/views/view_properties.h"

namespace quillet {

int ReportFont::PixelHeight(int pixelsPerInch) const {
  return -std::clamp(Round(double(Size) * pixelsPerInch / 72.0), -kMaxFontPixels, kMaxFontPixels);
}

Font ReportFont::ToCanvasFont(int pixelHeight) const {
  Font f;
  f.name = Name;
  f.height = pixelHeight;
  f.style = Style;
  f.color = Color;
  f.charset = Charset;
  f.escapement = 0;
  return f;
}

TfrMemoView::TfrMemoView() {
  NamePrefix = "Memo";
  Flags = flStretched | flWordWrap;
  ObjectType = gtMemo;
}

std::unique_ptr<TfrView> TfrMemoView::Create() const {
  return std::make_unique<TfrMemoView>();
}

std::string TfrMemoView::WholeText(const StringList& lines) {
  std::string text;
  for (const std::string& l : lines) {
    text += l;
    text += "\r\n";
  }
  return text;
}

// ---- Named properties ----------------------------------------------------

namespace {

struct FlagKey {
  const char* key;
  std::uint16_t bit;
};
constexpr FlagKey kFlagKeys[] = {
    {"WORDWRAP", flWordWrap},     {"WORDBREAK", flWordBreak},   {"AUTOWIDTH", flAutoWidth},
    {"TEXTONLY", flTextOnly},     {"SUPPRESS", flSuppress},     {"HIDEZEROS", flHideZeros},
    {"UNDERLINES", flUnderlines}, {"RTLREADING", flRTLReading},
};

}  // namespace

void TfrMemoView::RegisterProperties() {
  TfrStretcheable::RegisterProperties();
  for (const char* name : {"Font.Name", "Font.Size", "Font.Style", "Font.Color"})
    AddProperty(name, 0);
  AddProperty("Font", pfHasEditor);
  AddProperty("Alignment", 0);
  AddProperty("DisplayFormat", pfHasEditor);
  AddProperty("Highlight", pfHasEditor);
  AddProperty("LineSpacing", pfInteger);
  AddProperty("CharSpacing", pfInteger);
  AddProperty("GapX", pfInteger);
  AddProperty("GapY", pfInteger);
  for (const char* name :
       {"Stretched", "WordWrap", "WordBreak", "AutoWidth", "TextOnly", "Suppress", "HideZeros"})
    AddProperty(name, pfBoolean);
  AddProperty("Lines.Count", 0);
  AddProperty("Underlines", pfBoolean);
  AddProperty("RTLReading", pfBoolean);
}

void TfrMemoView::WriteProperty(const std::string& name, const Variant& value) {
  TfrStretcheable::WriteProperty(name, value);
  const std::string key = UpperCase(name);
  WriteFontProperty(Font_, key, value);
  if (key == "ALIGNMENT") {
    Alignment = static_cast<std::uint32_t>(value.AsInteger());
  } else if (key == "LINESPACING") {
    LineSpacing = static_cast<std::int32_t>(value.AsInteger());
  } else if (key == "CHARSPACING") {
    CharSpacing = static_cast<std::int32_t>(value.AsInteger());
  } else {
    for (const FlagKey& f : kFlagKeys)
      if (key == f.key) {
        if (value.AsBoolean())
          Flags |= f.bit;
        else
          Flags &= static_cast<std::uint16_t>(~f.bit);
      }
  }
}

Variant TfrMemoView::ReadProperty(const std::string& name) {
  Variant v = TfrStretcheable::ReadProperty(name);
  if (!v.IsNull()) return v;
  const std::string key = UpperCase(name);
  v = ReadFontProperty(Font_, key);
  if (!v.IsNull()) return v;
  if (key == "ALIGNMENT") return Variant(std::int64_t(Alignment));
  if (key == "LINESPACING") return Variant(int(LineSpacing));
  if (key == "CHARSPACING") return Variant(int(CharSpacing));
  if (key == "LINES.COUNT") return Variant(int(Memo.size()));
  for (const FlagKey& f : kFlagKeys)
    if (key == f.key) return Variant((Flags & f.bit) != 0);
  return v;
}

Variant TfrMemoView::CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                                const Variant& a3) {
  Variant result = TfrStretcheable::CallMethod(name, a1, a2, a3);
  if (result.IsNull())
    result = InvokeListMethod(Expressions(Globals()).Parser, Memo, name, a1, a2, a3, "LINES");
  return result;
}

// ---- Record --------------------------------------------------------------

int TfrMemoView::TextCharset() const {
  return Font_.Charset;
}

void TfrMemoView::ReadRecord(RecordReader& s) {
  TfrStretcheable::ReadRecord(s);
  const int v = s.Version();
  Font_.Name = ReadCountedString(s);
  Font_.Size = s.ReadI32();
  Font_.Style = s.ReadU16() & (fsItalic | fsBold | fsUnderline | fsStrikeOut);
  Font_.Color = s.ReadU32();
  Alignment = s.ReadU32();
  const std::uint16_t charset = s.ReadU16();
  Font_.Charset = v < kCountedTextsVersion ? kDefaultCharset : (charset & 0xFF);
  if (!PreparedMode) {
    HighlightStyle = s.ReadI16();
    HighlightColor = s.ReadU32();
    HighlightFillColor = s.ReadU32();
    HighlightCondition = ReadCountedString(s);
  }
  if (v >= kNamedRecordsVersion) {
    LineSpacing = s.ReadI32();
    CharSpacing = s.ReadI32();
  }
  if (v == kOldestStreamVersion) Flags |= flWordWrap;
}

void TfrMemoView::WriteRecord(RecordWriter& s) {
  TfrStretcheable::WriteRecord(s);
  FieldWriter w(s.Out());
  WriteCountedString(w, s, Font_.Name);
  w.I32(Font_.Size);
  w.U16(static_cast<std::uint16_t>(Font_.Style));
  w.U32(Font_.Color);
  w.U32(Alignment);
  w.U16(static_cast<std::uint16_t>(Font_.Charset & 0xFF));
  if (!PreparedMode) {
    w.I16(HighlightStyle);
    w.U32(HighlightColor);
    w.U32(HighlightFillColor);
    WriteCountedString(w, s, HighlightCondition);
  }
  // Older layouts have no spacing fields; writing them there would leave
  // bytes their reader takes for the next record.
  if (s.AtLeast(kNamedRecordsVersion)) {
    w.I32(LineSpacing);
    w.I32(CharSpacing);
  }
  w.Flush();
}

// ---- Text ----------------------------------------------------------------

void TfrMemoView::ExpandText() {
  // Bracketed expressions are evaluated by the report being prepared. Without
  // one (no report component yet, or drawing outside preparation) the text is
  // taken as it stands.
  ReportServices* report = Run().ActiveReport;
  WorkText.clear();
  for (const std::string& line : Memo) {
    std::string value = line;
    if (!line.empty() && !Options().Has(MemoFlag::TextOnly) && report)
      value = ExpandBrackets(
          line, [report](const std::string& expr) { return report->EvaluateBracket(expr); });
    if (value.empty()) {
      WorkText.emplace_back();
      continue;
    }
    // A value holding line breaks (CR LF, CR or LF) yields several lines; a
    // break at its very end adds none.
    std::size_t from = 0;
    while (from < value.size()) {
      std::size_t end = value.find_first_of("\r\n", from);
      if (end == std::string::npos) end = value.size();
      WorkText.push_back(value.substr(from, end - from));
      if (end < value.size() && value[end] == '\r') ++end;
      if (end < value.size() && value[end] == '\n') ++end;
      from = end;
    }
  }
}

// The condition was converted when the page was set up. A condition that
// fails to evaluate does not hold: the memo keeps its font and fill.
void TfrMemoView::ApplyHighlight() {
  if (HighlightCondition.empty() || HighlightPostfix.empty()) return;
  bool holds = false;
  try {
    holds = !ValuesEqual(Expressions(Globals()).Parser.CalcPostfix(HighlightPostfix), Variant(0));
  } catch (const std::exception&) {
    holds = false;
  }
  if (!holds) return;
  Font_.Style = HighlightStyle;
  Font_.Color = HighlightColor;
  FillColor = HighlightFillColor;
}

void TfrMemoView::RunBeforePrint() {
  WorkText = Memo;
  LinesPlaced = 0;
  if (ReportServices* report = Run().ActiveReport) report->BeforeObjectOutput(WorkText, *this);
  if (WorkText == Memo) ExpandText();
}

// ---- Heights -------------------------------------------------------------

int TfrMemoView::CalcHeight() {
  DrawPass = 1;
  AttachCanvas(Globals().MeasuringCanvas);
  if (ReportServices* report = Run().ActiveReport) report->RunViewScript(*this);
  if (Visible == 0) return 0;
  RunBeforePrint();
  const ReportFont font = Font_;
  const Color fill = FillColor;
  const ScopeGuard restoreLook([this, &font, fill] {
    Font_ = font;
    FillColor = fill;
  });
  ApplyHighlight();
  const DeviceCoordinates device(*this);
  int result = 0;
  if (!WorkText.empty()) {
    MemoLayout layout = LayoutText();
    WorkText = std::move(layout.Lines);
    LinesPlaced = 0;
    MeasuredHeight = result = layout.MeasuredHeight;
    if (Options().Has(MemoFlag::Suppress) && WholeText(WorkText) == LastText) result = 0;
  }
  return result;
}

int TfrMemoView::LeastPieceHeight() {
  const int fontHeight = std::abs(Font_.PixelHeight(96));
  LineStep = LineSpacing + fontHeight;
  return Round(2.0 * FrameWidth) + LineSpacing + 2 * GapY + fontHeight;
}

int TfrMemoView::LeftoverHeight() {
  LineStep = LineSpacing + std::abs(Font_.PixelHeight(96));
  const int frame = Round(2.0 * FrameWidth);
  const int body = Height - frame - 2 * GapY;
  // A line step of zero or less holds no lines: nothing is left over.
  const int rest = LineStep > 0 ? body % LineStep : 0;
  return 2 * GapY + frame + rest;
}

// ---- Output into a prepared page -----------------------------------------

void TfrMemoView::Record(MemoryStream& page) {
  Canvas* measuring = Globals().MeasuringCanvas;
  AttachCanvas(measuring);
  Splitting = true;
  const ScopeGuard endPass([this] {
    Splitting = false;
    DrawPass = 0;
  });
  ReportServices* report = Run().ActiveReport;
  if (DrawPass == 0) {
    if (report) report->RunViewScript(*this);
    RunBeforePrint();
  }
  if (Visible == 0) return;

  const ReportFont font = Font_;
  const Color fill = FillColor;
  const std::string tag = Tag;
  const std::uint8_t bandAlign = BandAlign;
  const ScopeGuard restore([this, &font, fill, &tag, bandAlign] {
    Font_ = font;
    FillColor = fill;
    Tag = tag;
    BandAlign = bandAlign;
  });
  ApplyHighlight();

  // A piece of a split text: this page's lines, which stand in WorkText
  // while the record is written; the laid-out text returns afterwards.
  StringList piece;
  bool pieceStands = false;
  const ScopeGuard restoreText([this, &piece, &pieceStands] {
    if (pieceStands) std::swap(WorkText, piece);
  });
  if (DrawPass == 2) {
    // The lines that fit DrawRect go on this page.
    if (!measuring) throw EngineError("No measuring canvas is installed: text cannot be laid out");
    {
      const DeviceCoordinates device(*this);
      DrawLines();
      measuring->SetTextCharacterExtra(0);
    }
    LinesPlaced = std::min(LinesPlaced, WorkText.size());
    const auto first = WorkText.begin() + static_cast<std::ptrdiff_t>(LinesPlaced);
    const auto done = static_cast<std::ptrdiff_t>(
        std::min<std::size_t>(static_cast<std::size_t>(std::max(LinesDone, 0)), LinesLeft()));
    piece.assign(std::make_move_iterator(first), std::make_move_iterator(first + done));
    LinesPlaced += static_cast<std::size_t>(done);
    const bool marked = std::any_of(piece.begin(), piece.end(), [](const std::string& l) {
      return l.find(kParagraphMark) != std::string::npos;
    });
    // Marks the piece as laid out, so it is drawn without new wrapping.
    if (!marked) piece.emplace_back(1, kParagraphMark);
    std::swap(WorkText, piece);
    pieceStands = true;
  }

  const std::int32_t displayFormat = DisplayFormat;
  DisplayFormat = 0;
  if (Tag.find('[') != std::string::npos) ExpandTagExpressions();
  DisplayFormat = displayFormat;
  // Placement against the band being formed; baBottom never applies to memos.
  if (const FormingBand* band = Run().ActiveBand) {
    if (BandAlign == baTop) {
      Top = band->FormingTop();
    } else if (BandAlign == baWidth && IsCrossBand(band->FormingKind())) {
      Width = band->FormingWidth();
      BandAlign = baNone;
    }
  }

  const std::string text = WholeText(WorkText);
  if (!(Options().Has(MemoFlag::Suppress) && text == LastText)) {
    AppendObjectRecord(page, *this);
    if (Options().Has(MemoFlag::Suppress)) LastText = text;
  }
}

std::size_t TfrMemoView::LinesLeft() const {
  return WorkText.size() - std::min(LinesPlaced, WorkText.size());
}

void TfrMemoView::Export(Stream& stream) {
  // Lines exported with no exporter would vanish without a word.
  if (!Globals().MemoTextExport)
    throw EngineError("No text export is installed: the lines of " + Name + " have nowhere to go");
  TfrStretcheable::Export(stream);
  Canvas* measuring = Globals().MeasuringCanvas;
  if (!measuring) throw EngineError("No measuring canvas is installed: text cannot be laid out");
  Exporting = true;
  const ScopeGuard exported([this] { Exporting = false; });
  Draw(*measuring);
}

}  // namespace quillet
