// Writing a template as JSON. Each member is left out when it holds the
// value a new object of the same kind has (see DefaultViewLike), so the
// JSON shows what makes this template different.
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "platform/codepage.h"
#include "platform/stream.h"
#include "platform/utf8.h"
#include "report/base/engine_state.h"
#include "report/base/record_stream.h"
#include "report/template/json_names.h"
#include "report/template/json_text.h"
#include "report/template/report_template.h"
#include "report/template/template_json.h"
#include "report/template/template_json_defaults.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/picture_view.h"
#include "report/views/shape_view.h"
#include "report/views/subreport_view.h"

namespace quillet {
namespace {

using Json = nlohmann::ordered_json;

// Engine texts are UTF-8; a malformed byte (which no reader lets in) would
// stop the JSON writer, so it is shown as U+FFFD instead.
Json Text(const std::string& text) {
  return RepairUtf8(text);
}

Json Lines(const StringList& lines) {
  Json out = Json::array();
  for (const std::string& line : lines) out.push_back(Text(line));
  return out;
}

Json Enum(JsonNames names, std::uint32_t value) {
  if (auto name = NameOfValue(names, value)) return std::string(*name);
  return value;
}

Json Bits(JsonNames names, std::uint32_t bits) {
  Json out = Json::array();
  for (std::string& name : NamesOfBits(names, bits)) out.push_back(std::move(name));
  return out;
}

Json ColorValue(Color color) {
  if (auto name = ColorName(color)) return *name;
  return color;
}

// The shortest decimal that reads back as the same float, so 1.5 stays 1.5
// rather than its double expansion.
Json FloatValue(float value) {
  if (std::fabs(value) < 2e9f && value == float(std::int32_t(value))) return std::int32_t(value);
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::stod(std::string(text, end));
}

Json DisplayFormatValue(std::int32_t word) {
  const auto w = static_cast<std::uint32_t>(word);
  const std::uint32_t category = (w >> 24) & 0x0F;
  // Bits above the category have no meaning; a word using them stays a number.
  if ((w >> 28) != 0 || category >= kJsonFormatCategories.size()) return word;
  Json out;
  out["category"] = Enum(kJsonFormatCategories, category);
  out["kind"] = (w >> 16) & 0xFF;
  out["decimals"] = (w >> 8) & 0xFF;
  // One byte of code page 1252.
  out["separator"] = Utf8OfCodePage(std::string(1, char(w & 0xFF)), kDefaultCodePage);
  return out;
}

// Adds `value` under `key` unless it equals the default.
template <typename T, typename F>
void Put(Json& out, const char* key, const T& value, const T& fallback, F&& toJson) {
  if (!(value == fallback)) out[key] = toJson(value);
}
template <typename T>
void Put(Json& out, const char* key, const T& value, const T& fallback) {
  if (!(value == fallback)) out[key] = value;
}

JsonNames FlagNames(const TfrView& view) {
  if (dynamic_cast<const TfrMemoView*>(&view)) return kJsonMemoFlags;
  if (dynamic_cast<const TfrBandView*>(&view)) return kJsonBandFlags;
  if (dynamic_cast<const TfrPictureView*>(&view)) return kJsonPictureFlags;
  return kJsonViewFlags;
}

Json VisibleValue(std::int16_t visible) {
  if (visible == -1) return true;
  if (visible == 0) return false;
  return visible;
}

void PutFrame(Json& out, const TfrView& v, const TfrView& d, bool withSides) {
  Json frame = Json::object();
  if (withSides)
    Put(frame, "sides", v.FrameTyp, d.FrameTyp, [](auto b) { return Bits(kJsonFrameSides, b); });
  Put(frame, "width", v.FrameWidth, d.FrameWidth, FloatValue);
  Put(frame, "color", v.FrameColor, d.FrameColor, ColorValue);
  Put(frame, "style", v.FrameStyle, d.FrameStyle, [](auto s) { return Enum(kJsonFrameStyles, s); });
  if (!frame.empty()) out["frame"] = std::move(frame);
}

void PutMemoFields(Json& out, const TfrMemoView& m, const TfrMemoView& d) {
  Json font = Json::object();
  Put(font, "name", m.Font_.Name, d.Font_.Name, [](auto& n) { return Text(n); });
  Put(font, "size", m.Font_.Size, d.Font_.Size);
  Put(font, "style", m.Font_.Style, d.Font_.Style,
      [](int s) { return Bits(kJsonFontStyles, std::uint32_t(s)); });
  Put(font, "color", m.Font_.Color, d.Font_.Color, ColorValue);
  Put(font, "charset", m.Font_.Charset, d.Font_.Charset);
  if (!font.empty()) out["font"] = std::move(font);
  Put(out, "alignment", m.Alignment, d.Alignment, [](std::uint32_t a) {
    Json names = Json::array();
    if (a & alHorizontalMask)
      names.push_back(Enum(kJsonHorizontalAlignments, a & alHorizontalMask));
    for (auto& n : Bits(kJsonAlignmentBits, a & ~alHorizontalMask)) names.push_back(n);
    return names;
  });
  Json highlight = Json::object();
  Put(highlight, "condition", m.HighlightCondition, d.HighlightCondition,
      [](auto& c) { return Text(c); });
  Put(highlight, "style", m.HighlightStyle, d.HighlightStyle, [](std::int16_t s) -> Json {
    if (s < 0) return s;
    return Bits(kJsonFontStyles, std::uint32_t(s));
  });
  Put(highlight, "color", m.HighlightColor, d.HighlightColor, ColorValue);
  Put(highlight, "fill", m.HighlightFillColor, d.HighlightFillColor, ColorValue);
  if (!highlight.empty()) out["highlight"] = std::move(highlight);
  Put(out, "lineSpacing", m.LineSpacing, d.LineSpacing);
  Put(out, "charSpacing", m.CharSpacing, d.CharSpacing);
}

void PutBandFields(Json& out, const TfrBandView& b, const TfrBandView& d) {
  Put(out, "child", b.ChildBand, d.ChildBand, [](auto& n) { return Text(n); });
  Put(out, "master", b.Master, d.Master, [](auto& n) { return Text(n); });
  Put(out, "columns", b.Columns, d.Columns);
  Put(out, "columnWidth", b.ColumnWidth, d.ColumnWidth);
  Put(out, "columnGap", b.ColumnGap, d.ColumnGap);
  Put(out, "newColumnAfter", b.NewColumnAfter, d.NewColumnAfter);
}

void PutPictureFields(Json& out, const TfrPictureView& p, const TfrPictureView& d) {
  if (!p.PictureFile.empty()) {
    Json picture;
    picture["file"] = Text(p.PictureFile);
    out["picture"] = std::move(picture);
  } else if (p.Picture.Kind() != GraphicKind::None) {
    Json picture;
    picture["kind"] = Enum(kJsonGraphicKinds, std::uint32_t(p.Picture.Kind()));
    picture["data"] = EncodeBase64(p.Picture.Bytes());
    out["picture"] = std::move(picture);
  }
  Put(out, "blobType", p.BlobType, d.BlobType, [](auto t) { return Enum(kJsonBlobTypes, t); });
}

// The bytes a view's own record adds after the common view record, for
// classes this form does not describe field by field.
std::vector<std::uint8_t> TailBytes(const TfrView& view) {
  // Writing a record only settles RecordVersion, which a save settles the
  // same way; the view is otherwise left as it is.
  auto& v = const_cast<TfrView&>(view);
  // The tail's texts are UTF-8, as the whole of the JSON form is.
  MemoryStream whole, common;
  RecordWriter wholeWriter(whole, kUtf8TextsVersion);
  RecordWriter commonWriter(common, kUtf8TextsVersion);
  v.WriteRecord(wholeWriter);
  v.TfrView::WriteRecord(commonWriter);
  const auto& all = whole.Bytes();
  return {all.begin() + std::ptrdiff_t(common.Size()), all.end()};
}

Json ViewJson(const TfrView& v) {
  const std::unique_ptr<TfrView> fresh = DefaultViewLike(v);
  const TfrView& d = *fresh;
  const JsonKind kind = JsonKindOf(v);
  const bool isBand = kind == JsonKind::Band;
  Json out;
  out["type"] = kind == JsonKind::Other ? v.ClassName() : std::string(JsonTypeName(kind));
  out["name"] = Text(v.Name);
  if (isBand) out["kind"] = Enum(kJsonBandKinds, v.FrameTyp);
  if (kind == JsonKind::Shape)
    out["kind"] = Enum(kJsonShapeKinds, static_cast<const TfrShapeView&>(v).ShapeKind);
  out["left"] = v.Left;
  out["top"] = v.Top;
  out["width"] = v.Width;
  out["height"] = v.Height;
  Put(out, "flags", v.Flags, d.Flags, [&](auto f) { return Bits(FlagNames(v), f); });
  PutFrame(out, v, d, !isBand);
  Put(out, "fill", v.FillColor, d.FillColor, ColorValue);
  Put(out, "displayFormat", v.DisplayFormat, d.DisplayFormat, DisplayFormatValue);
  const char* formatKey = !isBand                       ? "formatText"
                          : v.FrameTyp == btGroupHeader ? "condition"
                                                        : "dataSource";
  Put(out, formatKey, v.FormatText, d.FormatText, [](auto& t) { return Text(t); });
  Put(out, "text", v.Memo, d.Memo, [](auto& l) { return Lines(l); });
  Put(out, "script", v.ScriptLines, d.ScriptLines, [](auto& l) { return Lines(l); });
  Put(out, "visible", v.Visible, d.Visible, VisibleValue);
  Put(out, "restrictions", v.Restrictions, d.Restrictions);
  Put(out, "tag", v.Tag, d.Tag, [](auto& t) { return Text(t); });
  Put(out, "gapX", v.GapX, d.GapX);
  Put(out, "gapY", v.GapY, d.GapY);
  Put(out, "bandAlign", v.BandAlign, d.BandAlign, [](auto a) { return Enum(kJsonBandAligns, a); });
  // Band records always carry sub-version 1; others keep what they were read with.
  if (!isBand) Put(out, "recordSubVersion", v.RecordSubVersion, d.RecordSubVersion);

  switch (kind) {
    case JsonKind::Memo:
      PutMemoFields(out, static_cast<const TfrMemoView&>(v), static_cast<const TfrMemoView&>(d));
      break;
    case JsonKind::Band:
      PutBandFields(out, static_cast<const TfrBandView&>(v), static_cast<const TfrBandView&>(d));
      break;
    case JsonKind::Picture:
      PutPictureFields(out, static_cast<const TfrPictureView&>(v),
                       static_cast<const TfrPictureView&>(d));
      break;
    case JsonKind::SubReport: {
      const auto& s = static_cast<const TfrSubReportView&>(v);
      out["page"] = s.SubPageIndex;
      break;
    }
    case JsonKind::Other: out["tail"] = EncodeBase64(TailBytes(v)); break;
    case JsonKind::Line:
    case JsonKind::Shape: break;
  }
  return out;
}

Json PageJson(const TfrPage& p) {
  const TfrPage d(p.Globals());
  Json out;
  out["name"] = Text(p.Name);
  Json paper = Json::object();
  Put(paper, "size", p.PaperSizeCode, d.PaperSizeCode);
  Put(paper, "width", p.PaperWidthTenths, d.PaperWidthTenths);
  Put(paper, "height", p.PaperHeightTenths, d.PaperHeightTenths);
  if (!paper.empty()) out["paper"] = std::move(paper);
  Put(out, "orientation", p.Orientation, d.Orientation,
      [](auto o) { return Enum(kJsonOrientations, o); });
  Json margins = Json::object();
  Put(margins, "left", p.Margins.Left, d.Margins.Left);
  Put(margins, "top", p.Margins.Top, d.Margins.Top);
  Put(margins, "right", p.Margins.Right, d.Margins.Right);
  Put(margins, "bottom", p.Margins.Bottom, d.Margins.Bottom);
  if (!margins.empty()) out["margins"] = std::move(margins);
  Put(out, "marginsApply", p.MarginsApply != 0, d.MarginsApply != 0);
  Put(out, "paperSource", p.PaperSource, d.PaperSource);
  Put(out, "printToPreviousPage", p.PrintToPrevPage != 0, d.PrintToPrevPage != 0);
  Put(out, "columns", p.Columns, d.Columns);
  Put(out, "columnGap", p.ColumnGap, d.ColumnGap);
  Put(out, "type", p.Type, d.Type, [](auto t) { return Enum(kJsonPageTypes, t); });
  Json dialog = Json::object();
  Put(dialog, "caption", p.Caption, d.Caption, [](auto& c) { return Text(c); });
  Put(dialog, "borderStyle", p.BorderStyle, d.BorderStyle,
      [](auto b) { return Enum(kJsonBorderStyles, b); });
  Put(dialog, "color", p.Color, d.Color, ColorValue);
  Put(dialog, "left", p.Left, d.Left);
  Put(dialog, "top", p.Top, d.Top);
  Put(dialog, "width", p.Width, d.Width);
  Put(dialog, "height", p.Height, d.Height);
  Put(dialog, "position", p.Position, d.Position, [](auto o) { return Enum(kJsonPositions, o); });
  if (!dialog.empty()) out["dialog"] = std::move(dialog);
  Put(out, "script", p.ScriptLines, d.ScriptLines, [](auto& l) { return Lines(l); });
  Json objects = Json::array();
  for (const auto& view : p.Objects) objects.push_back(ViewJson(*view));
  out["objects"] = std::move(objects);
  return out;
}

Json TableJson(const NameValueTable& table) {
  Json out = Json::array();
  for (const NameValue& e : table)
    out.push_back({{"name", Text(e.Name)}, {"value", Text(e.Value)}});
  return out;
}

// One line, with a space after each comma and colon.
std::string OneLine(const Json& j) {
  if (!j.is_structured()) return j.dump();
  std::string out(1, j.is_object() ? '{' : '[');
  bool first = true;
  for (const auto& [key, value] : j.items()) {
    if (!first) out += ", ";
    first = false;
    if (j.is_object()) out += Json(key).dump() + ": ";
    out += OneLine(value);
  }
  return out + (j.is_object() ? '}' : ']');
}

// Holds nothing deeper than arrays of scalars.
bool IsFlat(const Json& j) {
  for (const Json& e : j) {
    if (e.is_object()) return false;
    if (e.is_array())
      for (const Json& x : e)
        if (x.is_structured()) return false;
  }
  return true;
}

// Flat values that fit stay on one line. Otherwise members go one to a
// line, indented by two spaces a level, except that runs of scalar members
// share lines up to the width.
void Indented(const Json& j, int depth, std::string& out) {
  constexpr std::size_t kWidth = 96;
  const std::string line = OneLine(j);
  if (!j.is_structured() || j.empty() || (IsFlat(j) && line.size() + depth * 2 <= kWidth)) {
    out += line;
    return;
  }
  const std::string pad(std::size_t(depth + 1) * 2, ' ');
  out += j.is_object() ? "{\n" : "[\n";
  std::size_t lineStart = out.size();
  bool first = true;
  bool lastWasScalar = false;
  for (const auto& [key, value] : j.items()) {
    const std::string member =
        (j.is_object() ? Json(key).dump() + ": " : std::string()) + OneLine(value);
    const bool scalar = j.is_object() && !value.is_structured();
    if (!first && scalar && lastWasScalar && out.size() - lineStart + 2 + member.size() <= kWidth) {
      out += ", " + member;
      continue;
    }
    if (!first) out += ",\n";
    first = false;
    lineStart = out.size();
    out += pad;
    if (scalar) {
      out += member;
    } else {
      if (j.is_object()) out += Json(key).dump() + ": ";
      Indented(value, depth + 1, out);
    }
    lastWasScalar = scalar;
  }
  out += "\n" + std::string(std::size_t(depth) * 2, ' ') + (j.is_object() ? "}" : "]");
}

}  // namespace

std::string WriteTemplateJson(const TfrTemplate& t) {
  Json out;
  Put(out, "title", t.Info.Title, std::string(), [](auto& n) { return Text(n); });
  Put(out, "author", t.Info.Author, std::string(), [](auto& n) { return Text(n); });
  Put(out, "subject", t.Info.Subject, std::string(), [](auto& n) { return Text(n); });
  Put(out, "printer", t.PrinterName, std::string(), [](auto& n) { return Text(n); });
  Put(out, "twoPass", t.TwoPass, false);
  Put(out, "keepPrinter", t.KeepCurrentPrinter, false);
  Json pages = Json::array();
  for (const auto& page : t.Pages) pages.push_back(PageJson(*page));
  out["pages"] = std::move(pages);
  const TfrDataDictionary& dict = t.Dictionary;
  Json dictionary = Json::object();
  if (!dict.VariableTable.empty()) dictionary["variables"] = TableJson(dict.VariableTable);
  if (!dict.AliasTable.empty()) dictionary["aliases"] = TableJson(dict.AliasTable);
  if (!dict.BandSourceTable.empty()) dictionary["bandSources"] = TableJson(dict.BandSourceTable);
  if (!dictionary.empty()) out["dictionary"] = std::move(dictionary);
  std::string text;
  Indented(out, 0, text);
  return text + "\n";
}

}  // namespace quillet
