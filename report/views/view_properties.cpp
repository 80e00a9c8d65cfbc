// The named properties of TfrView and the helpers the view classes share.
#include "report/views/view_properties.h"

#include "platform/errors.h"
#include "platform/numeric.h"
#include "report/base/text_format.h"
#include "report/expr/expression_globals.h"
#include "report/views/memo/memo_view.h"

namespace quillet {
namespace {

constexpr std::uint16_t kSizeFlags = pfPixels;
constexpr std::uint16_t kTextFlags = pfText | pfTextAlt;        // 257
constexpr std::uint16_t kEditedText = pfHasEditor | pfTextAlt;  // 320

std::size_t LineIndex(const Variant& index, const StringList& list) {
  const std::int64_t i = index.AsInteger();
  if (i < 0 || i >= std::int64_t(list.size()))
    throw RangeError("List index out of bounds (" + std::to_string(i) + ")");
  return static_cast<std::size_t>(i);
}

std::uint16_t SetBit(std::uint16_t flags, std::uint16_t bit, bool on) {
  return on ? static_cast<std::uint16_t>(flags | bit) : static_cast<std::uint16_t>(flags & ~bit);
}

std::int32_t Int32(const Variant& v) {
  return ClampToInt(v.AsInteger());
}

}  // namespace

StringList SplitLines(const std::string& text) {
  StringList lines;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find_first_of("\r\n", from);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(from, end - from));
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    from = end;
  }
  return lines;
}

void WriteFontProperty(ReportFont& font, const std::string& name, const Variant& value) {
  if (name == "FONT.NAME")
    font.Name = value.AsText();
  else if (name == "FONT.SIZE")
    font.Size = Int32(value);
  else if (name == "FONT.STYLE")
    font.Style =
        static_cast<int>(value.AsInteger() & (fsItalic | fsBold | fsUnderline | fsStrikeOut));
  else if (name == "FONT.COLOR")
    font.Color = static_cast<Color>(value.AsInteger());
}

Variant ReadFontProperty(const ReportFont& font, const std::string& name) {
  if (name == "FONT.NAME") return Variant(font.Name);
  if (name == "FONT.SIZE") return Variant(font.Size);
  if (name == "FONT.STYLE") return Variant(font.Style);
  if (name == "FONT.COLOR") return Variant(std::int64_t(font.Color));
  return Variant::Null();
}

Variant InvokeListMethod(TfrParser& parser, StringList& list, const std::string& method,
                         const Variant& a1, const Variant& a2, const Variant& a3,
                         const std::string& listName) {
  if (method == "SETINDEXPROPERTY") {
    if (a1.AsText() == listName) list[LineIndex(a2, list)] = a3.AsText();
    return Variant::Null();
  }
  if (method == "GETINDEXPROPERTY") {
    if (a1.AsText() == listName) return Variant(list[LineIndex(a2, list)]);
    return Variant::Null();
  }
  if (method.size() <= listName.size() + 1 || method.compare(0, listName.size(), listName) != 0 ||
      method[listName.size()] != '.')
    return Variant::Null();
  const std::string verb = method.substr(listName.size() + 1);
  if (verb == "ADD") {
    list.push_back(parser.Calc(a1.AsText()).AsText());
  } else if (verb == "CLEAR") {
    list.clear();
  } else if (verb == "DELETE") {
    list.erase(list.begin() +
               static_cast<std::ptrdiff_t>(LineIndex(parser.Calc(a1.AsText()), list)));
  } else if (verb == "INDEXOF") {
    const std::string wanted = parser.Calc(a1.AsText()).AsText();
    for (std::size_t i = 0; i < list.size(); ++i)
      if (list[i] == wanted) return Variant(static_cast<std::int64_t>(i));
    return Variant(-1);
  }
  return Variant::Null();
}

// ---- TfrView ----------------------------------------------------------------

void TfrView::RegisterProperties() {
  ClearProperties();
  AddProperty("Name", kTextFlags);
  AddProperty("Left", kSizeFlags);
  AddProperty("Top", kSizeFlags);
  AddProperty("Width", kSizeFlags);
  AddProperty("Height", kSizeFlags);
  AddProperty("Flags", 0);
  const std::string cls = ClassName();
  if (cls != "TfrBandView" && cls != "TfrSubReportView") {
    AddProperty("FrameTyp", pfInteger);
    AddProperty("FrameWidth", pfFloat | pfPixels);
    AddProperty("FrameColor", pfColor);
    AddEnumProperty("FrameStyle", "psSolid;psDash;psDot;psDashDot;psDashDotDot;psDouble",
                    {0, 1, 2, 3, 4, 5});
    AddProperty("FillColor", pfColor);
    AddProperty("Tag", kEditedText);
    AddEnumProperty("BandAlign", "baNone;baLeft;baRight;baCenter;baWidth;baBottom;baTop;baRest",
                    {0, 1, 2, 3, 4, 5, 6, 7});
  }
  AddProperty("Visible", pfBoolean);
  AddProperty("Memo", kEditedText);
  AddProperty("Memo.Count", 0);
  AddProperty("Restrictions", pfHasEditor);
}

Variant TfrView::ReadProperty(const std::string& name) {
  const std::string key = UpperCase(name);
  if (key == "NAME") return Variant(Name);
  if (key == "LEFT") return Variant(Left);
  if (key == "TOP") return Variant(Top);
  if (key == "WIDTH") return Variant(Width);
  if (key == "HEIGHT") return Variant(Height);
  if (key == "FLAGS") return Variant(int(Flags));
  if (key == "FRAMETYP") return Variant(int(FrameTyp));
  if (key == "FRAMESTYLE") return Variant(int(FrameStyle));
  if (key == "FRAMEWIDTH") return Variant(double(FrameWidth));
  if (key == "FRAMECOLOR") return Variant(std::int64_t(FrameColor));
  if (key == "FILLCOLOR") return Variant(std::int64_t(FillColor));
  if (key == "VISIBLE") return Variant(Visible != 0);
  if (key == "MEMO") {
    std::string text;
    for (const std::string& line : Memo) text += line + "\r\n";
    return Variant(text);
  }
  if (key == "GAPX") return Variant(GapX);
  if (key == "GAPY") return Variant(GapY);
  if (key == "BANDALIGN") return Variant(int(BandAlign));
  if (key == "STRETCHED") return Variant(IsStretched());
  if (key == "DATAFIELD") return Variant(Memo.empty() ? std::string() : Memo.front());
  if (key == "MEMO.COUNT") return Variant(int(Memo.size()));
  if (key == "TAG") return Variant(Tag);
  return Variant::Null();
}

void TfrView::WriteProperty(const std::string& name, const Variant& value) {
  const std::string key = UpperCase(name);
  if (key == "NAME")
    Name = value.AsText();
  else if (key == "TAG")
    Tag = value.AsText();
  else if (key == "LEFT")
    Left = Int32(value);
  else if (key == "TOP")
    Top = Int32(value);
  else if (key == "WIDTH")
    Width = Int32(value);
  else if (key == "HEIGHT")
    Height = Int32(value);
  else if (key == "FLAGS")
    Flags = static_cast<std::uint16_t>(value.AsInteger());
  else if (key == "FRAMETYP")
    FrameTyp = static_cast<std::uint16_t>(value.AsInteger());
  else if (key == "FRAMECOLOR")
    FrameColor = static_cast<Color>(value.AsInteger());
  else if (key == "FRAMESTYLE")
    FrameStyle = static_cast<std::uint16_t>(value.AsInteger());
  else if (key == "FILLCOLOR")
    FillColor = static_cast<Color>(value.AsInteger());
  else if (key == "GAPX")
    GapX = Int32(value);
  else if (key == "GAPY")
    GapY = Int32(value);
  else if (key == "BANDALIGN")
    BandAlign = static_cast<std::uint8_t>(value.AsInteger());
  else if (key == "FRAMEWIDTH")
    FrameWidth = static_cast<float>(value.AsFloat());
  else if (key == "VISIBLE")
    Visible = value.AsBoolean() ? -1 : 0;
  else if (key == "MEMO" || key == "DATAFIELD")
    Memo = SplitLines(value.AsText());
  else if (key == "STRETCHED")
    Flags = SetBit(Flags, flStretched, value.AsBoolean());
}

Variant TfrView::CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                            const Variant& a3) {
  Variant result = TfrObject::CallMethod(name, a1, a2, a3);
  if (result.IsNull())
    result = InvokeListMethod(Expressions(Globals()).Parser, Memo, name, a1, a2, a3, "MEMO");
  if (name == "HIDE")
    WriteProperty("Visible", Variant(false));
  else if (name == "SHOW")
    WriteProperty("Visible", Variant(true));
  return result;
}

}  // namespace quillet
