#include "report/template/json_names.h"

#include <array>
#include <cstdio>

namespace quillet {
namespace {

template <std::size_t N>
using Table = std::array<JsonName, N>;

const Table<23> kBandKinds{{{0, "reportTitle"},
                            {1, "reportSummary"},
                            {2, "pageHeader"},
                            {3, "pageFooter"},
                            {4, "masterHeader"},
                            {5, "masterData"},
                            {6, "masterFooter"},
                            {7, "detailHeader"},
                            {8, "detailData"},
                            {9, "detailFooter"},
                            {10, "subDetailHeader"},
                            {11, "subDetailData"},
                            {12, "subDetailFooter"},
                            {13, "overlay"},
                            {14, "columnHeader"},
                            {15, "columnFooter"},
                            {16, "groupHeader"},
                            {17, "groupFooter"},
                            {18, "crossHeader"},
                            {19, "crossData"},
                            {20, "crossFooter"},
                            {21, "child"},
                            {22, "none"}}};
const Table<10> kShapeKinds{{{0, "rectangle"},
                             {1, "roundRectangle"},
                             {2, "ellipse"},
                             {3, "triangle"},
                             {4, "diagonal1"},
                             {5, "diagonal2"},
                             {6, "polygon"},
                             {7, "lineH"},
                             {8, "lineV"},
                             {9, "star"}}};
const Table<6> kFrameStyles{
    {{0, "solid"}, {1, "dash"}, {2, "dot"}, {3, "dashDot"}, {4, "dashDotDot"}, {5, "double"}}};
const Table<8> kBandAligns{{{0, "none"},
                            {1, "left"},
                            {2, "right"},
                            {3, "center"},
                            {4, "width"},
                            {5, "bottom"},
                            {6, "top"},
                            {7, "rest"}}};
const Table<2> kOrientations{{{0, "portrait"}, {1, "landscape"}}};
const Table<2> kPageTypes{{{0, "report"}, {1, "dialog"}}};
const Table<6> kBorderStyles{{{0, "none"},
                              {1, "single"},
                              {2, "sizeable"},
                              {3, "dialog"},
                              {4, "toolWindow"},
                              {5, "sizeToolWindow"}}};
const Table<2> kPositions{{{0, "designed"}, {4, "screenCenter"}}};
const Table<7> kGraphicKinds{{{0, "none"},
                              {1, "bitmap"},
                              {2, "metafile"},
                              {3, "icon"},
                              {4, "jpeg"},
                              {5, "png"},
                              {6, "svg"}}};
const Table<7> kBlobTypes{
    {{0, "bmp"}, {1, "jpg"}, {2, "ico"}, {3, "wmf"}, {4, "png"}, {5, "svg"}, {6, "fileName"}}};
const Table<5> kCategories{{{0, "text"}, {1, "number"}, {2, "date"}, {3, "time"}, {4, "boolean"}}};
const Table<4> kHorizontal{{{0, "left"}, {1, "right"}, {2, "center"}, {3, "justify"}}};

const Table<1> kViewFlags{{{1, "stretched"}}};
const Table<9> kMemoFlags{{{1, "stretched"},
                           {2, "wordWrap"},
                           {4, "wordBreak"},
                           {8, "autoWidth"},
                           {16, "textOnly"},
                           {32, "suppressRepeated"},
                           {64, "hideZeros"},
                           {128, "underlines"},
                           {256, "rightToLeft"}}};
const Table<9> kBandFlags{{{1, "stretched"},
                           {2, "formNewPage"},
                           {4, "printIfSubsetEmpty"},
                           {8, "breaked"},
                           {16, "onFirstPage"},
                           {32, "onLastPage"},
                           {64, "repeatHeader"},
                           {128, "printChildIfInvisible"},
                           {256, "keepTogether"}}};
const Table<3> kPictureFlags{{{1, "stretched"}, {2, "center"}, {4, "keepAspect"}}};
const Table<4> kFrameSides{{{1, "right"}, {2, "bottom"}, {4, "left"}, {8, "top"}}};
const Table<4> kFontStyles{{{1, "italic"}, {2, "bold"}, {4, "underline"}, {8, "strikeOut"}}};
const Table<3> kAlignmentBits{{{4, "rotated"}, {8, "verticalCenter"}, {16, "verticalBottom"}}};

// System colours 0x80000000 + n by n.
const Table<25> kSystemColors{{{0, "scrollBar"},      {1, "background"},
                               {2, "activeCaption"},  {3, "inactiveCaption"},
                               {4, "menu"},           {5, "window"},
                               {6, "windowFrame"},    {7, "menuText"},
                               {8, "windowText"},     {9, "captionText"},
                               {10, "activeBorder"},  {11, "inactiveBorder"},
                               {12, "appWorkspace"},  {13, "highlight"},
                               {14, "highlightText"}, {15, "btnFace"},
                               {16, "btnShadow"},     {17, "grayText"},
                               {18, "btnText"},       {19, "inactiveCaptionText"},
                               {20, "btnHighlight"},  {21, "3dDarkShadow"},
                               {22, "3dLight"},       {23, "infoText"},
                               {24, "infoBackground"}}};

// Accepted on reading only; plain colours are always written as #RRGGBB.
const Table<16> kCommonColors{{{0x000000, "black"},
                               {0xFFFFFF, "white"},
                               {0x0000FF, "red"},
                               {0x00FF00, "lime"},
                               {0xFF0000, "blue"},
                               {0x00FFFF, "yellow"},
                               {0xFFFF00, "aqua"},
                               {0xFF00FF, "fuchsia"},
                               {0x808080, "gray"},
                               {0xC0C0C0, "silver"},
                               {0x000080, "maroon"},
                               {0x008000, "green"},
                               {0x800000, "navy"},
                               {0x008080, "olive"},
                               {0x800080, "purple"},
                               {0x808000, "teal"}}};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

const JsonNames kJsonBandKinds = kBandKinds;
const JsonNames kJsonShapeKinds = kShapeKinds;
const JsonNames kJsonFrameStyles = kFrameStyles;
const JsonNames kJsonBandAligns = kBandAligns;
const JsonNames kJsonOrientations = kOrientations;
const JsonNames kJsonPageTypes = kPageTypes;
const JsonNames kJsonBorderStyles = kBorderStyles;
const JsonNames kJsonPositions = kPositions;
const JsonNames kJsonGraphicKinds = kGraphicKinds;
const JsonNames kJsonBlobTypes = kBlobTypes;
const JsonNames kJsonFormatCategories = kCategories;
const JsonNames kJsonHorizontalAlignments = kHorizontal;
const JsonNames kJsonViewFlags = kViewFlags;
const JsonNames kJsonMemoFlags = kMemoFlags;
const JsonNames kJsonBandFlags = kBandFlags;
const JsonNames kJsonPictureFlags = kPictureFlags;
const JsonNames kJsonFrameSides = kFrameSides;
const JsonNames kJsonFontStyles = kFontStyles;
const JsonNames kJsonAlignmentBits = kAlignmentBits;

std::optional<std::string_view> NameOfValue(JsonNames names, std::uint32_t value) {
  for (const JsonName& n : names)
    if (n.value == value) return n.name;
  return std::nullopt;
}

std::optional<std::uint32_t> ValueOfName(JsonNames names, std::string_view name) {
  for (const JsonName& n : names)
    if (name == n.name) return n.value;
  return std::nullopt;
}

std::string ListOfNames(JsonNames names) {
  std::string out;
  for (const JsonName& n : names) out += (out.empty() ? "\"" : ", \"") + std::string(n.name) + "\"";
  return out;
}

std::vector<std::string> NamesOfBits(JsonNames names, std::uint32_t bits) {
  std::vector<std::string> out;
  for (int bit = 0; bit < 32; ++bit) {
    const std::uint32_t mask = std::uint32_t(1) << bit;
    if (!(bits & mask)) continue;
    const auto name = NameOfValue(names, mask);
    out.push_back(name ? std::string(*name) : "bit" + std::to_string(bit));
  }
  return out;
}

std::optional<std::uint32_t> BitOfName(JsonNames names, std::string_view name) {
  if (auto value = ValueOfName(names, name)) return value;
  if (name.size() < 4 || name.size() > 5 || name.substr(0, 3) != "bit") return std::nullopt;
  int bit = 0;
  for (char c : name.substr(3)) {
    if (c < '0' || c > '9') return std::nullopt;
    bit = bit * 10 + (c - '0');
  }
  if (bit > 31 || (name.size() == 5 && name[3] == '0')) return std::nullopt;
  return std::uint32_t(1) << bit;
}

std::optional<std::string> ColorName(Color color) {
  if (color == clNone) return "none";
  if (IsSystemColor(color)) {
    if (auto name = NameOfValue(kSystemColors, color - clSystemBase)) return std::string(*name);
    return std::nullopt;
  }
  if (color > 0xFFFFFF) return std::nullopt;
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", RedOf(color), GreenOf(color), BlueOf(color));
  return std::string(text);
}

std::optional<Color> ColorOfName(std::string_view name) {
  if (name == "none") return clNone;
  if (name.size() == 7 && name[0] == '#') {
    int digits[6];
    for (int i = 0; i < 6; ++i)
      if ((digits[i] = HexDigit(name[i + 1])) < 0) return std::nullopt;
    return MakeColor(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3],
                     digits[4] * 16 + digits[5]);
  }
  if (auto n = ValueOfName(kSystemColors, name)) return clSystemBase + *n;
  if (auto c = ValueOfName(kCommonColors, name)) return *c;
  return std::nullopt;
}

}  // namespace quillet
