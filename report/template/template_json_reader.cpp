// Reading a template from its JSON form. Members left out take the values
// of a new object of the same kind (template_json_defaults.h); members this
// form does not know, values of the wrong type and unknown names are
// refused with the JSON pointer of the member.
#include <cmath>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "platform/codepage.h"
#include "platform/stream.h"
#include "platform/utf8.h"
#include "report/base/engine_state.h"
#include "report/base/record_stream.h"
#include "report/base/text_format.h"
#include "report/template/json_names.h"
#include "report/template/json_position.h"
#include "report/template/json_text.h"
#include "report/template/report_template.h"
#include "report/template/template_json.h"
#include "report/template/template_json_defaults.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/picture_view.h"
#include "report/views/shape_view.h"
#include "report/views/subreport_view.h"
#include "report/views/view_registry.h"

namespace quillet {
namespace {

using Json = nlohmann::ordered_json;

// A refused member, before its line and column are known.
struct PathError {
  std::string path;
  std::string message;
};

[[noreturn]] void Fail(const std::string& path, const std::string& message) {
  throw PathError{path, message};
}

// Messages quote at most this many bytes of the text they are about.
constexpr std::size_t kQuotedBytes = 80;

// The first kQuotedBytes of `text` (cut between characters) and "...", or
// all of it when shorter.
std::string Shortened(std::string_view text) {
  if (text.size() <= kQuotedBytes) return std::string(text);
  std::size_t n = kQuotedBytes;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return std::string(text.substr(0, n)) + "...";
}

std::string Quoted(std::string_view text) {
  return Json(Shortened(text)).dump();
}

std::string TypeOf(const Json& j) {
  if (j.is_number_float()) return "a fraction";
  if (j.is_number()) return "a number";
  if (j.is_string()) return "a string";
  if (j.is_boolean()) return "true or false";
  if (j.is_array()) return "an array";
  if (j.is_object()) return "an object";
  return "null";
}

[[noreturn]] void WrongType(const Json& j, const std::string& path, const std::string& wanted) {
  Fail(path, wanted + " is needed, not " + TypeOf(j));
}

template <typename Int>
Int IntegerValue(const Json& j, const std::string& path) {
  constexpr auto lo = std::numeric_limits<Int>::min();
  constexpr auto hi = std::numeric_limits<Int>::max();
  // A whole number too long for 64 bits arrives as a fraction: it is out of
  // range rather than a fraction.
  if (j.is_number_float() && (j.get<double>() > double(hi) || j.get<double>() < double(lo)))
    Fail(path, "the number " + Shortened(j.dump()) + " is out of range (" + std::to_string(lo) +
                   " to " + std::to_string(hi) + ")");
  if (!j.is_number_integer()) WrongType(j, path, "a whole number");
  const bool fits = j.is_number_unsigned() ? j.get<std::uint64_t>() <= std::uint64_t(hi)
                                           : j.get<std::int64_t>() >= std::int64_t(lo) &&
                                                 j.get<std::int64_t>() <= std::int64_t(hi);
  if (!fits)
    Fail(path, "the number " + j.dump() + " is out of range (" + std::to_string(lo) + " to " +
                   std::to_string(hi) + ")");
  return static_cast<Int>(j.is_number_unsigned() ? std::int64_t(j.get<std::uint64_t>())
                                                 : j.get<std::int64_t>());
}

// The JSON parser has checked that strings are well-formed UTF-8.
std::string TextValue(const Json& j, const std::string& path) {
  if (!j.is_string()) WrongType(j, path, "a string");
  const std::string& text = j.get_ref<const std::string&>();
  if (text.size() > 0xFFFF) Fail(path, "the text is longer than 65535 bytes of UTF-8");
  return text;
}

// An array of lines, or one string whose "\n"s end lines.
StringList LinesValue(const Json& j, const std::string& path) {
  StringList lines;
  if (j.is_string()) {
    const std::string all = TextValue(j, path);
    std::size_t start = 0;
    for (std::size_t nl; (nl = all.find('\n', start)) != std::string::npos; start = nl + 1)
      lines.push_back(all.substr(start, nl - start));
    lines.push_back(all.substr(start));
    return lines;
  }
  if (!j.is_array()) WrongType(j, path, "an array of lines");
  if (j.size() > 0xFFFF) Fail(path, "more than 65535 lines");
  for (std::size_t i = 0; i < j.size(); ++i)
    lines.push_back(TextValue(j[i], path + "/" + std::to_string(i)));
  return lines;
}

std::uint32_t EnumValue(const Json& j, const std::string& path, JsonNames names, const char* what) {
  if (j.is_number()) return IntegerValue<std::uint32_t>(j, path);
  if (!j.is_string()) WrongType(j, path, std::string("a ") + what + " name");
  const std::string& name = j.get_ref<const std::string&>();
  if (auto value = ValueOfName(names, name)) return *value;
  Fail(path, "unknown " + std::string(what) + " " + Quoted(name) + " (one of " +
                 ListOfNames(names) + ")");
}

// An array of bit names; with `numbered`, "bitN" stands for any bit.
std::uint32_t BitsValue(const Json& j, const std::string& path, JsonNames names, const char* what,
                        bool numbered = true) {
  if (!j.is_array()) WrongType(j, path, "an array of " + std::string(what) + " names");
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < j.size(); ++i) {
    const std::string at = path + "/" + std::to_string(i);
    if (!j[i].is_string()) WrongType(j[i], at, std::string("a ") + what + " name");
    const std::string& name = j[i].get_ref<const std::string&>();
    auto bit = numbered ? BitOfName(names, name) : ValueOfName(names, name);
    if (!bit)
      Fail(at, "unknown " + std::string(what) + " " + Quoted(name) + " (one of " +
                   ListOfNames(names) + (numbered ? " or bitN" : "") + ")");
    bits |= *bit;
  }
  return bits;
}

Color ColorValue(const Json& j, const std::string& path) {
  if (j.is_number()) return IntegerValue<std::uint32_t>(j, path);
  if (!j.is_string()) WrongType(j, path, "a colour (\"#RRGGBB\" or a name)");
  const std::string& name = j.get_ref<const std::string&>();
  if (auto c = ColorOfName(name)) return *c;
  Fail(path, "unknown colour " + Quoted(name) +
                 " (\"#RRGGBB\", \"none\", a system colour such as "
                 "\"btnFace\", or a common name such as \"black\")");
}

float FloatValue(const Json& j, const std::string& path) {
  if (!j.is_number()) WrongType(j, path, "a number");
  const double d = j.get<double>();
  // Whole widths up to 10 are stored as they are, others in thousandths;
  // either way in 32 bits.
  const bool wholeSmall = d == std::floor(d) && d <= 10;
  const bool fits = wholeSmall ? d >= -2147483520.0 : d >= -2147483.0 && d <= 2147483.0;
  if (!fits) Fail(path, "the number " + j.dump() + " is out of range");
  return static_cast<float>(d);
}

std::int16_t VisibleValue(const Json& j, const std::string& path) {
  if (j.is_boolean()) return j.get<bool>() ? -1 : 0;
  if (j.is_number()) return IntegerValue<std::int16_t>(j, path);
  WrongType(j, path, "true or false");
}

std::int32_t DisplayFormatValue(const Json& j, const std::string& path);

// The members of one JSON object: each is taken at most once, and Finish
// refuses any that nobody took (a misspelt member would otherwise be lost
// silently).
class Members {
 public:
  Members(const Json& j, std::string path) : j_(j), path_(std::move(path)) {
    if (!j.is_object()) WrongType(j, path_.empty() ? "/" : path_, "an object");
  }

  const Json* Take(const char* key) {
    taken_.insert(key);
    auto it = j_.find(key);
    return it == j_.end() ? nullptr : &*it;
  }
  std::string At(std::string_view key) const {
    std::string escaped;
    for (char c : key) escaped += c == '~' ? "~0" : c == '/' ? "~1" : std::string(1, c);
    return path_ + "/" + escaped;
  }
  void Finish() const {
    for (const auto& [key, value] : j_.items())
      if (!taken_.count(key)) Fail(At(key), "unknown member " + Quoted(key) + " here");
  }

  template <typename Int>
  void Integer(const char* key, Int& out) {
    if (const Json* v = Take(key)) out = IntegerValue<Int>(*v, At(key));
  }
  void Boolean(const char* key, bool& out) {
    if (const Json* v = Take(key)) {
      if (!v->is_boolean()) WrongType(*v, At(key), "true or false");
      out = v->get<bool>();
    }
  }
  void Boolean16(const char* key, std::int16_t& out) {
    bool b = out != 0;
    Boolean(key, b);
    out = b ? -1 : 0;
  }
  void Text(const char* key, std::string& out) {
    if (const Json* v = Take(key)) out = TextValue(*v, At(key));
  }
  void Lines(const char* key, StringList& out) {
    if (const Json* v = Take(key)) out = LinesValue(*v, At(key));
  }
  template <typename T>
  void Enum(const char* key, T& out, JsonNames names, const char* what) {
    if (const Json* v = Take(key)) out = Narrow<T>(EnumValue(*v, At(key), names, what), At(key));
  }
  template <typename T>
  void Bits(const char* key, T& out, JsonNames names, const char* what, bool numbered = true) {
    if (const Json* v = Take(key))
      out = Narrow<T>(BitsValue(*v, At(key), names, what, numbered), At(key));
  }
  void ColorMember(const char* key, Color& out) {
    if (const Json* v = Take(key)) out = ColorValue(*v, At(key));
  }
  // A nested object, or nullopt when absent.
  std::optional<Members> Object(const char* key) {
    if (const Json* v = Take(key)) return Members(*v, At(key));
    return std::nullopt;
  }

  template <typename T>
  static T Narrow(std::uint32_t value, const std::string& path) {
    if (value > std::uint32_t(std::numeric_limits<T>::max()))
      Fail(path, "the value " + std::to_string(value) + " does not fit here (at most " +
                     std::to_string(std::numeric_limits<T>::max()) + ")");
    return static_cast<T>(value);
  }

 private:
  const Json& j_;
  std::string path_;
  std::set<std::string, std::less<>> taken_;
};

std::int32_t DisplayFormatValue(const Json& j, const std::string& path) {
  if (j.is_number()) return IntegerValue<std::int32_t>(j, path);
  Members m(j, path);
  std::uint32_t category = 0, kind = 0, decimals = 2;
  std::string separator = ".";
  m.Enum("category", category, kJsonFormatCategories, "format category");
  if (category > 15) Fail(m.At("category"), "a category is at most 15");
  m.Integer("kind", kind);
  m.Integer("decimals", decimals);
  if (kind > 255) Fail(m.At("kind"), "a kind is at most 255");
  if (decimals > 255) Fail(m.At("decimals"), "decimals are at most 255");
  m.Text("separator", separator);
  // The separator is stored as one byte of code page 1252.
  const std::optional<std::string> stored = CodePageOfUtf8(separator, kDefaultCodePage);
  if (!stored || stored->size() != 1)
    Fail(m.At("separator"), "the separator is one character of code page 1252");
  separator = *stored;
  m.Finish();
  return static_cast<std::int32_t>((category << 24) | (kind << 16) | (decimals << 8) |
                                   static_cast<unsigned char>(separator[0]));
}

void ReadFrame(Members& m, TfrView& v, bool withSides) {
  auto frame = m.Object("frame");
  if (!frame) return;
  if (withSides) {
    if (const Json* sides = frame->Take("sides")) {
      // "all" stands for the four sides.
      if (sides->is_string() && sides->get_ref<const std::string&>() == "all")
        v.FrameTyp = frAllSides;
      else
        v.FrameTyp = Members::Narrow<std::uint16_t>(
            BitsValue(*sides, frame->At("sides"), kJsonFrameSides, "frame side"),
            frame->At("sides"));
    }
  }
  if (const Json* w = frame->Take("width")) v.FrameWidth = FloatValue(*w, frame->At("width"));
  frame->ColorMember("color", v.FrameColor);
  frame->Enum("style", v.FrameStyle, kJsonFrameStyles, "frame style");
  frame->Finish();
}

void ReadMemo(Members& m, TfrMemoView& v) {
  if (auto font = m.Object("font")) {
    font->Text("name", v.Font_.Name);
    font->Integer("size", v.Font_.Size);
    font->Bits("style", v.Font_.Style, kJsonFontStyles, "font style");
    font->ColorMember("color", v.Font_.Color);
    font->Integer("charset", v.Font_.Charset);
    if (v.Font_.Charset < 0 || v.Font_.Charset > 255)
      Fail(font->At("charset"), "a character set is 0 to 255");
    font->Finish();
  }
  if (const Json* a = m.Take("alignment")) {
    const std::string path = m.At("alignment");
    if (!a->is_array()) WrongType(*a, path, "an array of alignment names");
    std::uint32_t word = 0;
    bool horizontal = false;
    for (std::size_t i = 0; i < a->size(); ++i) {
      const std::string at = path + "/" + std::to_string(i);
      const Json& e = (*a)[i];
      if (e.is_string())
        if (auto h = ValueOfName(kJsonHorizontalAlignments, e.get_ref<const std::string&>())) {
          if (horizontal) Fail(at, "only one of \"left\", \"right\", \"center\", \"justify\"");
          horizontal = true;
          word |= *h;
          continue;
        }
      word |= BitsValue(Json::array({e}), at, kJsonAlignmentBits, "alignment");
    }
    v.Alignment = word;
  }
  if (auto h = m.Object("highlight")) {
    h->Text("condition", v.HighlightCondition);
    if (const Json* s = h->Take("style"))
      v.HighlightStyle =
          s->is_number()
              ? IntegerValue<std::int16_t>(*s, h->At("style"))
              : std::int16_t(BitsValue(*s, h->At("style"), kJsonFontStyles, "font style"));
    h->ColorMember("color", v.HighlightColor);
    h->ColorMember("fill", v.HighlightFillColor);
    h->Finish();
  }
  m.Integer("lineSpacing", v.LineSpacing);
  m.Integer("charSpacing", v.CharSpacing);
}

void ReadBand(Members& m, TfrBandView& v) {
  m.Text("child", v.ChildBand);
  m.Text("master", v.Master);
  m.Integer("columns", v.Columns);
  m.Integer("columnWidth", v.ColumnWidth);
  m.Integer("columnGap", v.ColumnGap);
  m.Integer("newColumnAfter", v.NewColumnAfter);
}

void ReadPicture(Members& m, TfrPictureView& v) {
  m.Enum("blobType", v.BlobType, kJsonBlobTypes, "blob type");
  auto picture = m.Object("picture");
  if (!picture) return;
  // A picture from a file: the template loader reads it (relative paths
  // from the template's folder).
  if (const Json* file = picture->Take("file")) {
    v.PictureFile = TextValue(*file, picture->At("file"));
    if (v.PictureFile.empty()) Fail(picture->At("file"), "an empty picture file path");
    if (picture->Take("data") || picture->Take("kind"))
      Fail(picture->At("file"),
           "a picture comes from \"file\" or from \"kind\" and \"data\", "
           "not both");
    picture->Finish();
    return;
  }
  std::uint8_t kind = 0;
  picture->Enum("kind", kind, kJsonGraphicKinds, "picture kind");
  if (kind > std::uint8_t(kLastGraphicKind))
    Fail(picture->At("kind"), "unknown picture kind " + std::to_string(kind));
  std::vector<std::uint8_t> bytes;
  if (const Json* data = picture->Take("data")) {
    if (!data->is_string()) WrongType(*data, picture->At("data"), "base64 text");
    auto decoded = DecodeBase64(data->get_ref<const std::string&>());
    if (!decoded) Fail(picture->At("data"), "not base64 text");
    bytes = std::move(*decoded);
  }
  picture->Finish();
  // A picture that does not read (too large, bad data) keeps its bytes, as
  // the stream form does, so converting a template loses nothing.
  std::vector<std::uint8_t> kept = bytes;
  try {
    v.Picture.Load(static_cast<GraphicKind>(kind), std::move(bytes));
  } catch (const EngineError& e) {
    v.Picture.KeepRefused(static_cast<GraphicKind>(kind), std::move(kept), e.what());
  }
}

// The class's own fields from the bytes its record adds after the common
// record, read through the class's own record reader.
void ReadTail(Members& m, TfrView& v) {
  const Json* tail = m.Take("tail");
  if (!tail) return;
  const std::string path = m.At("tail");
  if (!tail->is_string()) WrongType(*tail, path, "base64 text");
  auto bytes = DecodeBase64(tail->get_ref<const std::string&>());
  if (!bytes) Fail(path, "not base64 text");
  // The tail's texts are UTF-8, as the whole of the JSON form is.
  try {
    MemoryStream record;
    RecordWriter writer(record, kUtf8TextsVersion);
    v.TfrView::WriteRecord(writer);
    record.Write(bytes->data(), bytes->size());
    record.Seek(0);
    RecordReader reader(record, kUtf8TextsVersion);
    v.ReadRecord(reader);
    if (record.Position() != record.Size())
      Fail(path, "the class " + v.ClassName() + " reads fewer bytes than the tail holds");
  } catch (const EngineError& e) {
    Fail(path, "the class " + v.ClassName() + " cannot read the tail: " + e.what());
  }
}

bool IsRegisteredClass(const EngineGlobals& g, const std::string& name) {
  for (int i = 0; i < g.ObjectKindCount; ++i)
    if (g.ObjectKinds[i].ClassName == name) return true;
  return false;
}

std::unique_ptr<TfrView> MakeView(EngineGlobals& engine, Members& m) {
  const Json* type = m.Take("type");
  if (!type) Fail(m.At("type"), "every object needs a \"type\"");
  const std::string path = m.At("type");
  if (!type->is_string()) WrongType(*type, path, "an object type name");
  const std::string& name = type->get_ref<const std::string&>();
  const JsonKind kind = JsonKindOfType(name);
  std::unique_ptr<TfrView> view;
  switch (kind) {
    case JsonKind::Memo: view = CreateViewByKind(engine, gtMemo, {}); break;
    case JsonKind::Picture: view = CreateViewByKind(engine, gtPicture, {}); break;
    case JsonKind::Band: view = CreateViewByKind(engine, gtBand, {}); break;
    case JsonKind::SubReport: view = CreateViewByKind(engine, gtSubReport, {}); break;
    case JsonKind::Line: view = CreateViewByKind(engine, gtLine, {}); break;
    case JsonKind::Shape:
    case JsonKind::Other: {
      const std::string className = kind == JsonKind::Shape ? "TfrShapeView" : name;
      if (!IsRegisteredClass(engine, className))
        Fail(path, "unknown object type " + Quoted(name) +
                       " (memo, picture, band, subReport, line, shape or a registered class)");
      view = CreateViewByKind(engine, gtAddIn, className);
      break;
    }
  }
  if (!view || JsonKindOf(*view) != kind)
    Fail(path, "the engine makes no object of type " + Quoted(name) + " here");
  PinJsonDefaults(*view);
  return view;
}

JsonNames FlagNames(JsonKind kind) {
  switch (kind) {
    case JsonKind::Memo: return kJsonMemoFlags;
    case JsonKind::Band: return kJsonBandFlags;
    case JsonKind::Picture: return kJsonPictureFlags;
    default: return kJsonViewFlags;
  }
}

// Reads one object; `named` tells whether it carried a "name".
std::unique_ptr<TfrView> ReadView(EngineGlobals& engine, const Json& j, const std::string& path,
                                  bool& named) {
  Members m(j, path);
  std::unique_ptr<TfrView> view = MakeView(engine, m);
  TfrView& v = *view;
  const JsonKind kind = JsonKindOf(v);
  const bool isBand = kind == JsonKind::Band;
  named = m.Take("name") != nullptr;
  m.Text("name", v.Name);
  if (isBand) m.Enum("kind", v.FrameTyp, kJsonBandKinds, "band kind");
  if (kind == JsonKind::Shape)
    m.Enum("kind", static_cast<TfrShapeView&>(v).ShapeKind, kJsonShapeKinds, "shape kind");
  m.Integer("left", v.Left);
  m.Integer("top", v.Top);
  m.Integer("width", v.Width);
  m.Integer("height", v.Height);
  m.Bits("flags", v.Flags, FlagNames(kind), "flag");
  ReadFrame(m, v, !isBand);
  m.ColorMember("fill", v.FillColor);
  if (const Json* f = m.Take("displayFormat"))
    v.DisplayFormat = DisplayFormatValue(*f, m.At("displayFormat"));
  if (isBand) {
    if (m.Take("dataSource") && m.Take("condition"))
      Fail(m.At("condition"), "give a band either \"dataSource\" or \"condition\"");
    m.Text("dataSource", v.FormatText);
    m.Text("condition", v.FormatText);
  } else {
    m.Text("formatText", v.FormatText);
  }
  m.Lines("script", v.ScriptLines);
  if (const Json* vis = m.Take("visible")) v.Visible = VisibleValue(*vis, m.At("visible"));
  m.Integer("restrictions", v.Restrictions);
  m.Text("tag", v.Tag);
  m.Integer("gapX", v.GapX);
  m.Integer("gapY", v.GapY);
  m.Enum("bandAlign", v.BandAlign, kJsonBandAligns, "band alignment");
  if (!isBand) m.Integer("recordSubVersion", v.RecordSubVersion);

  switch (kind) {
    case JsonKind::Memo: ReadMemo(m, static_cast<TfrMemoView&>(v)); break;
    case JsonKind::Band: ReadBand(m, static_cast<TfrBandView&>(v)); break;
    case JsonKind::Picture: ReadPicture(m, static_cast<TfrPictureView&>(v)); break;
    case JsonKind::SubReport:
      m.Integer("page", static_cast<TfrSubReportView&>(v).SubPageIndex);
      break;
    case JsonKind::Other: ReadTail(m, v); break;
    case JsonKind::Line:
    case JsonKind::Shape: break;
  }
  m.Lines("text", v.Memo);
  m.Finish();
  return view;
}

std::unique_ptr<TfrPage> ReadPage(EngineGlobals& engine, const Json& j, const std::string& path,
                                  std::vector<TfrView*>& unnamed, bool& named) {
  Members m(j, path);
  auto page = std::make_unique<TfrPage>(engine);
  TfrPage& p = *page;
  named = m.Take("name") != nullptr;
  m.Text("name", p.Name);
  if (auto paper = m.Object("paper")) {
    paper->Integer("size", p.PaperSizeCode);
    paper->Integer("width", p.PaperWidthTenths);
    paper->Integer("height", p.PaperHeightTenths);
    paper->Finish();
  }
  m.Enum("orientation", p.Orientation, kJsonOrientations, "orientation");
  if (auto margins = m.Object("margins")) {
    margins->Integer("left", p.Margins.Left);
    margins->Integer("top", p.Margins.Top);
    margins->Integer("right", p.Margins.Right);
    margins->Integer("bottom", p.Margins.Bottom);
    margins->Finish();
  }
  m.Boolean16("marginsApply", p.MarginsApply);
  m.Integer("paperSource", p.PaperSource);
  m.Boolean16("printToPreviousPage", p.PrintToPrevPage);
  m.Integer("columns", p.Columns);
  m.Integer("columnGap", p.ColumnGap);
  m.Enum("type", p.Type, kJsonPageTypes, "page type");
  if (auto dialog = m.Object("dialog")) {
    dialog->Text("caption", p.Caption);
    dialog->Enum("borderStyle", p.BorderStyle, kJsonBorderStyles, "border style");
    // The stream keeps an older order for these two: stored 0 and 1 read
    // back as "dialog" and "sizeable", so they cannot be kept.
    if (p.BorderStyle == bsNone || p.BorderStyle == bsSingle)
      Fail(dialog->At("borderStyle"),
           "border styles \"none\" and \"single\" cannot be stored in a template");
    dialog->ColorMember("color", p.Color);
    dialog->Integer("left", p.Left);
    dialog->Integer("top", p.Top);
    dialog->Integer("width", p.Width);
    dialog->Integer("height", p.Height);
    dialog->Enum("position", p.Position, kJsonPositions, "window position");
    if (p.Position != poDesigned && p.Position != poScreenCenter)
      Fail(dialog->At("position"), "a window position is \"designed\" or \"screenCenter\"");
    dialog->Finish();
  }
  m.Lines("script", p.ScriptLines);
  if (const Json* objects = m.Take("objects")) {
    const std::string at = m.At("objects");
    if (!objects->is_array()) WrongType(*objects, at, "an array of objects");
    for (std::size_t i = 0; i < objects->size(); ++i) {
      bool named = false;
      TfrView* view =
          p.AddObject(ReadView(engine, (*objects)[i], at + "/" + std::to_string(i), named));
      if (!named) unnamed.push_back(view);
    }
  }
  m.Finish();
  return page;
}

NameValueTable ReadTable(Members& m, const char* key) {
  NameValueTable table;
  const Json* j = m.Take(key);
  if (!j) return table;
  const std::string path = m.At(key);
  if (!j->is_array()) WrongType(*j, path, "an array of {\"name\", \"value\"} entries");
  for (std::size_t i = 0; i < j->size(); ++i) {
    Members e((*j)[i], path + "/" + std::to_string(i));
    NameValue entry;
    e.Text("name", entry.Name);
    e.Text("value", entry.Value);
    e.Finish();
    table.push_back(std::move(entry));
  }
  return table;
}

// The smallest number after `prefix` that names nothing in `used`, the
// search for each prefix going on from where the last one stopped: names
// are only added, so every number before it stays taken, and naming n
// objects takes time in proportion to n.
std::string FreeName(const std::string& prefix, std::set<std::string>& used,
                     std::map<std::string, long long>& next) {
  long long& n = next.try_emplace(UpperCase(prefix), 1).first->second;
  for (;; ++n) {
    std::string candidate = prefix + std::to_string(n);
    if (used.insert(UpperCase(candidate)).second) {
      ++n;
      return candidate;
    }
  }
}

// Objects without a "name" are named like new objects: their kind's prefix
// and the smallest number no other object of the template uses.
void NameUnnamed(const std::vector<std::unique_ptr<TfrPage>>& pages,
                 const std::vector<TfrView*>& unnamed) {
  std::set<std::string> used;
  for (const auto& page : pages)
    for (const auto& view : page->Objects) used.insert(UpperCase(view->Name));
  std::map<std::string, long long> next;
  for (TfrView* view : unnamed) view->Name = FreeName(view->NamePrefix, used, next);
}

// Pages without a "name" are named like new pages: "Page" and the smallest
// number no other page uses.
void NameUnnamedPages(const std::vector<std::unique_ptr<TfrPage>>& pages,
                      const std::vector<TfrPage*>& unnamed) {
  std::set<std::string> used;
  for (const auto& page : pages) used.insert(UpperCase(page->Name));
  std::map<std::string, long long> next;
  for (TfrPage* page : unnamed) page->Name = FreeName("Page", used, next);
}

struct ReadResult {
  std::vector<std::unique_ptr<TfrPage>> pages;
  struct {
    NameValueTable VariableTable, AliasTable, BandSourceTable;
  } dictionary;
  DocumentInfo info;
  std::string printer;
  bool twoPass = false;
  bool keepPrinter = false;
};

ReadResult ReadDocument(EngineGlobals& engine, const Json& doc) {
  ReadResult r;
  Members m(doc, "");
  m.Text("title", r.info.Title);
  m.Text("author", r.info.Author);
  m.Text("subject", r.info.Subject);
  m.Text("printer", r.printer);
  m.Boolean("twoPass", r.twoPass);
  m.Boolean("keepPrinter", r.keepPrinter);
  std::vector<TfrView*> unnamed;
  if (const Json* pages = m.Take("pages")) {
    if (!pages->is_array()) WrongType(*pages, "/pages", "an array of pages");
    std::vector<TfrPage*> unnamedPages;
    for (std::size_t i = 0; i < pages->size(); ++i) {
      bool named = false;
      r.pages.push_back(
          ReadPage(engine, (*pages)[i], "/pages/" + std::to_string(i), unnamed, named));
      // Objects name their page in one byte.
      if (i >= 256 && !r.pages.back()->Objects.empty())
        Fail("/pages/" + std::to_string(i) + "/objects",
             "a template keeps objects on its first 256 pages only");
      if (!named) unnamedPages.push_back(r.pages.back().get());
    }
    NameUnnamedPages(r.pages, unnamedPages);
  }
  if (auto dict = m.Object("dictionary")) {
    r.dictionary.VariableTable = ReadTable(*dict, "variables");
    r.dictionary.AliasTable = ReadTable(*dict, "aliases");
    r.dictionary.BandSourceTable = ReadTable(*dict, "bandSources");
    dict->Finish();
  }
  m.Finish();
  NameUnnamed(r.pages, unnamed);
  return r;
}

// "[json.exception.parse_error.101] parse error at line 1, column 2: x" → "x"
std::string ParseErrorText(const std::string& what) {
  const std::size_t colon = what.find(": ");
  return colon == std::string::npos ? what : what.substr(colon + 2);
}

}  // namespace

TemplateJsonError::TemplateJsonError(int line, int column, std::string path, std::string message)
    : EngineError("line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
                  (path.empty() ? "" : path + ": ") + message),
      line_(line),
      column_(column),
      path_(std::move(path)),
      message_(std::move(message)) {}

bool LooksLikeTemplateJson(std::string_view bytes) {
  // A byte-order mark, as some editors save UTF-8, is no part of the text.
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  for (char c : bytes) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    return c == '{';
  }
  return false;
}

namespace {

// A member named twice in one object: the second, counting every member
// name of the text in order from 0.
struct DuplicateMember {
  std::string name;
  std::size_t index = 0;
};

// The offset of member name number `index` (counted as DuplicateMember
// counts them) in well-formed JSON text.
std::size_t OffsetOfMemberName(std::string_view text, std::size_t index) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '"') continue;
    const std::size_t start = i;
    for (++i; i < text.size() && text[i] != '"'; ++i)
      if (text[i] == '\\') ++i;
    std::size_t after = i + 1;
    while (after < text.size() && (text[after] == ' ' || text[after] == '\t' ||
                                   text[after] == '\n' || text[after] == '\r'))
      ++after;
    if (after < text.size() && text[after] == ':' && seen++ == index) return start;
  }
  return 0;
}

// Parses `text`, refusing a member named twice in one object: the parser
// would keep the last silently.
Json ParseRefusingDuplicates(std::string_view text) {
  std::vector<std::set<std::string>> open;  // the names of each open object
  std::size_t names = 0;
  auto check = [&](int, Json::parse_event_t event, Json& parsed) {
    switch (event) {
      case Json::parse_event_t::object_start: open.emplace_back(); break;
      case Json::parse_event_t::object_end:
        if (!open.empty()) open.pop_back();
        break;
      case Json::parse_event_t::key: {
        const std::string& name = parsed.get_ref<const std::string&>();
        if (!open.empty() && !open.back().insert(name).second) throw DuplicateMember{name, names};
        ++names;
        break;
      }
      default: break;
    }
    return true;
  };
  return Json::parse(text, check);
}

}  // namespace

void ReadTemplateJson(std::string_view text, TfrTemplate& target, std::string directory) {
  Json doc;
  try {
    doc = ParseRefusingDuplicates(text);
  } catch (const DuplicateMember& d) {
    const TextPosition at = PositionOfOffset(text, OffsetOfMemberName(text, d.index));
    throw TemplateJsonError(
        at.line, at.column, {},
        "member " + Quoted(d.name) + " appears twice in one object (only one can be kept)");
  } catch (const Json::parse_error& e) {
    const TextPosition at = PositionOfOffset(text, e.byte > 0 ? e.byte - 1 : 0);
    throw TemplateJsonError(at.line, at.column, {}, ParseErrorText(e.what()));
  } catch (const Json::out_of_range& e) {
    // A number past a double's range ("number overflow parsing '9e9999'"):
    // the parser gives no place, so the number's own text is looked for.
    const std::string what = e.what();
    const std::size_t open = what.find('\'');
    const std::size_t close = what.rfind('\'');
    std::size_t offset = 0;
    if (open != std::string::npos && close > open + 1) {
      const std::size_t found = text.find(what.substr(open + 1, close - open - 1));
      if (found != std::string_view::npos) offset = found;
    }
    const TextPosition at = PositionOfOffset(text, offset);
    throw TemplateJsonError(at.line, at.column, {}, ParseErrorText(what));
  }
  ReadResult r;
  try {
    r = ReadDocument(target.Globals(), doc);
  } catch (const PathError& e) {
    const TextPosition at = PositionOfOffset(text, OffsetOfPointer(text, e.path));
    throw TemplateJsonError(at.line, at.column, Shortened(e.path), e.message);
  }
  target.Pages = std::move(r.pages);
  target.Dictionary.VariableTable = std::move(r.dictionary.VariableTable);
  target.Dictionary.AliasTable = std::move(r.dictionary.AliasTable);
  target.Dictionary.BandSourceTable = std::move(r.dictionary.BandSourceTable);
  target.Info = std::move(r.info);
  target.PrinterName = std::move(r.printer);
  target.TwoPass = r.twoPass;
  target.KeepCurrentPrinter = r.keepPrinter;
  target.Directory = std::move(directory);
  for (const auto& page : target.Pages)
    for (const auto& view : page->Objects) view->AfterReportLoaded();
  target.ResolvePictureFiles();
}

}  // namespace quillet
