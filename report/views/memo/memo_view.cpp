#include "report/views/memo/memo_view.h"

#include <algorithm>
#include <cstdlib>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/stream.h"
#include "report/formation/band.h"
#include "report/views/band_view.h"
#include "report/expr/brackets.h"
#include "report/base/engine_state.h"
#include "report/base/report_services.h"
#include "report/base/stream_strings.h"
#include "report/base/text_format.h"

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

MemoWorkState& MemoWork() {
  static MemoWorkState state;
  return state;
}

TfrMemoView::TfrMemoView() {
  NamePrefix = "Memo";
  Flags = flStretched | flWordWrap;
  ObjectType = gtMemo;
}

std::unique_ptr<TfrView> TfrMemoView::Create() const { return std::make_unique<TfrMemoView>(); }

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
    {"WORDWRAP", flWordWrap},   {"WORDBREAK", flWordBreak},   {"AUTOWIDTH", flAutoWidth},
    {"TEXTONLY", flTextOnly},   {"SUPPRESS", flSuppress},     {"HIDEZEROS", flHideZeros},
    {"UNDERLINES", flUnderlines}, {"RTLREADING", flRTLReading},
};

}  // namespace

void TfrMemoView::RegisterProperties() {
  TfrStretcheable::RegisterProperties();
  for (const char* name : {"Font.Name", "Font.Size", "Font.Style", "Font.Color"}) AddProperty(name, 0);
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

// The base properties and the font sub-properties ("Font.Name" ...) are
// served by the named-property layer when it arrives; the memo's own keys
// are handled here.
void TfrMemoView::WriteProperty(const std::string& name, const Variant& value) {
  TfrStretcheable::WriteProperty(name, value);
  const std::string key = UpperCase(name);
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
  if (key == "ALIGNMENT") return Variant(std::int64_t(Alignment));
  if (key == "LINESPACING") return Variant(int(LineSpacing));
  if (key == "CHARSPACING") return Variant(int(CharSpacing));
  if (key == "LINES.COUNT") return Variant(int(Memo.size()));
  for (const FlagKey& f : kFlagKeys)
    if (key == f.key) return Variant((Flags & f.bit) != 0);
  return v;
}

// List methods on Memo ("LINES") arrive with the named-property layer.
Variant TfrMemoView::CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                                const Variant& a3) {
  return TfrStretcheable::CallMethod(name, a1, a2, a3);
}

// ---- Record --------------------------------------------------------------

void TfrMemoView::ReadRecord(Stream& s) {
  TfrStretcheable::ReadRecord(s);
  const int v = Engine().StreamVersion;
  Font_.Name = ReadCountedString(s);
  Font_.Size = s.ReadI32();
  Font_.Style = s.ReadU16() & (fsItalic | fsBold | fsUnderline | fsStrikeOut);
  Font_.Color = s.ReadU32();
  Alignment = s.ReadU32();
  const std::uint16_t charset = s.ReadU16();
  Font_.Charset = v < 23 ? kDefaultCharset : (charset & 0xFF);
  if (!PreparedMode) {
    HighlightStyle = s.ReadI16();
    HighlightColor = s.ReadU32();
    HighlightFillColor = s.ReadU32();
    HighlightCondition = ReadCountedString(s);
  }
  if (v >= 24) {
    LineSpacing = s.ReadI32();
    CharSpacing = s.ReadI32();
  }
  if (v == 21) Flags |= flWordWrap;
}

void TfrMemoView::WriteRecord(Stream& s) {
  TfrStretcheable::WriteRecord(s);
  WriteCountedString(s, Font_.Name);
  s.WriteI32(Font_.Size);
  s.WriteU16(static_cast<std::uint16_t>(Font_.Style));
  s.WriteU32(Font_.Color);
  s.WriteU32(Alignment);
  s.WriteU16(static_cast<std::uint16_t>(Font_.Charset & 0xFF));
  if (!PreparedMode) {
    s.WriteI16(HighlightStyle);
    s.WriteU32(HighlightColor);
    s.WriteU32(HighlightFillColor);
    WriteCountedString(s, HighlightCondition);
  }
  // Older layouts have no spacing fields; writing them there would leave
  // bytes their reader takes for the next record.
  if (Engine().StreamVersion >= 24) {
    s.WriteI32(LineSpacing);
    s.WriteI32(CharSpacing);
  }
}

// ---- Text ----------------------------------------------------------------

void TfrMemoView::ExpandText() {
  // Bracketed expressions are evaluated by the report being prepared. Without
  // one (no report component yet, or drawing outside preparation) the text is
  // taken as it stands.
  ReportServices* report = Prep().ActiveReport;
  WorkText.clear();
  for (const std::string& line : Memo) {
    std::string value = line;
    if (!line.empty() && !(Flags & flTextOnly) && report)
      value = ExpandBrackets(line, [report](const std::string& expr) {
        return report->EvaluateBracket(expr);
      });
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

// Highlight conditions are evaluated by the expression engine (postfix
// evaluation), which does not exist yet: until it does no condition holds,
// so the memo keeps its font and fill, as it does when evaluation fails.
void TfrMemoView::ApplyHighlight() {}

void TfrMemoView::RunBeforePrint() {
  WorkText = Memo;
  if (ReportServices* report = Prep().ActiveReport) report->BeforeObjectOutput(WorkText, *this);
  if (WorkText == Memo) ExpandText();
}

// ---- Heights -------------------------------------------------------------

int TfrMemoView::CalcHeight() {
  DrawPass = 1;
  AttachCanvas(Engine().MeasuringCanvas);
  if (ReportServices* report = Prep().ActiveReport) report->RunViewScript(*this);
  if (Visible == 0) return 0;
  RunBeforePrint();
  const ReportFont font = Font_;
  const Color fill = FillColor;
  ApplyHighlight();
  PrepareDraw();
  int result = 0;
  try {
    if (!WorkText.empty()) {
      LayoutText();
      WorkText = MemoWork().LayoutList;
      result = MemoWork().MeasuredHeight;
      if ((Flags & flSuppress) && WholeText(WorkText) == LastText) result = 0;
    }
  } catch (...) {
    RestoreCoords();
    Font_ = font;
    FillColor = fill;
    throw;
  }
  RestoreCoords();
  Font_ = font;
  FillColor = fill;
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

void TfrMemoView::Record(Stream& stream) {
  Canvas* measuring = Engine().MeasuringCanvas;
  AttachCanvas(measuring);
  Splitting = true;
  struct EndPass {
    TfrMemoView& v;
    ~EndPass() {
      v.Splitting = false;
      v.DrawPass = 0;
    }
  } endPass{*this};
  ReportServices* report = Prep().ActiveReport;
  if (DrawPass == 0) {
    if (report) report->RunViewScript(*this);
    RunBeforePrint();
  }
  if (Visible == 0) return;

  const ReportFont font = Font_;
  const Color fill = FillColor;
  const std::string tag = Tag;
  const std::uint8_t bandAlign = BandAlign;
  struct RestoreState {
    TfrMemoView& v;
    const ReportFont& font;
    Color fill;
    const std::string& tag;
    std::uint8_t bandAlign;
    ~RestoreState() {
      v.Font_ = font;
      v.FillColor = fill;
      v.Tag = tag;
      v.BandAlign = bandAlign;
    }
  } restore{*this, font, fill, tag, bandAlign};
  ApplyHighlight();

  StringList full;
  if (DrawPass == 2) {
    // The lines that fit DrawRect go on this page.
    if (!measuring) throw EngineError("No measuring canvas is installed: text cannot be laid out");
    PrepareDraw();
    DrawLines();
    measuring->SetTextCharacterExtra(0);
    RestoreCoords();
    full = WorkText;
    const auto done = static_cast<std::size_t>(std::min<int>(LinesDone, int(WorkText.size())));
    WorkText.resize(done);
    const bool marked = std::any_of(WorkText.begin(), WorkText.end(), [](const std::string& l) {
      return l.find(kParagraphMark) != std::string::npos;
    });
    // Marks the piece as laid out, so it is drawn without new wrapping.
    if (!marked) WorkText.emplace_back(1, kParagraphMark);
  }

  const std::int32_t displayFormat = DisplayFormat;
  DisplayFormat = 0;
  if (Tag.find('[') != std::string::npos) ExpandTagExpressions();
  DisplayFormat = displayFormat;
  // Placement against the band being formed; baBottom never applies to memos.
  if (const TfrBand* band = Prep().ActiveBand) {
    if (BandAlign == baTop) {
      Top = band->BandY;
    } else if (BandAlign == baWidth && IsCrossBand(band->Kind)) {
      Width = band->BandWidth;
      BandAlign = baNone;
    }
  }

  const std::string text = WholeText(WorkText);
  if (!((Flags & flSuppress) && text == LastText)) {
    stream.WriteU8(ObjectType);
    if (ObjectType == gtAddIn) WriteCountedString(stream, ClassName());
    WriteRecord(stream);
    if (Flags & flSuppress) LastText = text;
  }

  if (DrawPass == 2) {
    // The rest waits for the next page.
    WorkText = std::move(full);
    const auto done = static_cast<std::size_t>(std::min<int>(LinesDone, int(WorkText.size())));
    WorkText.erase(WorkText.begin(), WorkText.begin() + static_cast<std::ptrdiff_t>(done));
  }
}

void TfrMemoView::Export(Stream& stream) {
  TfrStretcheable::Export(stream);
  Canvas* measuring = Engine().MeasuringCanvas;
  if (!measuring) throw EngineError("No measuring canvas is installed: text cannot be laid out");
  Exporting = true;
  try {
    Draw(*measuring);
  } catch (...) {
    Exporting = false;
    throw;
  }
  Exporting = false;
}

}  // namespace quillet
