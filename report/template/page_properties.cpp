// Named properties of template pages.
#include "platform/numeric.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/template/page.h"
#include "report/views/view_properties.h"

namespace quillet {
namespace {

// Paper tenths of a millimetre and report pixels: x 18 / 50 and back.
std::int32_t TenthsToPixels(std::int32_t tenths) {
  return Round(tenths / 10.0 * 18.0 / 5.0);
}
std::int32_t PixelsToTenths(std::int64_t pixels) {
  return Round(static_cast<double>(pixels) * 10.0 * 5.0 / 18.0);
}

std::int16_t Bool16(const Variant& v) {
  return v.AsBoolean() ? -1 : 0;
}

}  // namespace

void TfrPage::RegisterProperties() {
  ClearProperties();
  AddProperty("Name", pfText | pfTextAlt);
  if (Type == ptDialog) {
    AddProperty("BorderStyle", pfInteger);
    AddProperty("Caption", pfText);
    AddProperty("Color", pfColor);
    AddProperty("Left", pfPixels);
    AddProperty("Top", pfPixels);
    AddProperty("Width", pfPixels);
    AddProperty("Height", pfPixels);
    AddProperty("Position", pfInteger);
    AddProperty("OnActivate", pfHasEditor);
  } else {
    AddProperty("Size", pfInteger);
    AddProperty("Width", pfPixels);
    AddProperty("Height", pfPixels);
    AddProperty("LeftMargin", pfPixels);
    AddProperty("TopMargin", pfPixels);
    AddProperty("RightMargin", pfPixels);
    AddProperty("BottomMargin", pfPixels);
    AddProperty("Orientation", pfInteger);
    AddProperty("PrintToPrevPage", pfBoolean);
    AddProperty("StretchToPrintable", pfBoolean);
    AddProperty("Columns", pfInteger);
    AddProperty("ColumnWidth", pfPixels);
    AddProperty("ColumnGap", pfPixels);
  }
  AddProperty("Type", pfInteger);
  AddProperty("Visible", pfBoolean);
}

Variant TfrPage::ReadProperty(const std::string& name) {
  const std::string key = UpperCase(name);
  const bool dialog = Type == ptDialog;
  if (key == "NAME") return Variant(Name);
  if (key == "TYPE") return Variant(int(Type));
  if (key == "VISIBLE") return Variant(Visible);
  if (key == "WIDTH") return Variant(dialog ? Width : TenthsToPixels(PaperWidthTenths));
  if (key == "HEIGHT") return Variant(dialog ? Height : TenthsToPixels(PaperHeightTenths));
  if (dialog) {
    if (key == "BORDERSTYLE") return Variant(int(BorderStyle));
    if (key == "CAPTION") return Variant(Caption);
    if (key == "COLOR") return Variant(std::int64_t(Color));
    if (key == "LEFT") return Variant(Left);
    if (key == "TOP") return Variant(Top);
    if (key == "POSITION") return Variant(int(Position));
    return Variant::Null();
  }
  if (key == "SIZE") return Variant(PaperSizeCode);
  if (const FormingPage* f = engine_.Run.RenderActive ? Formation : nullptr) {
    if (key == "LEFTMARGIN") return Variant(f->LeftEdge());
    if (key == "TOPMARGIN") return Variant(f->TopEdge());
    if (key == "RIGHTMARGIN") return Variant(f->RightEdge());
    if (key == "BOTTOMMARGIN") return Variant(f->BottomEdge());
  }
  if (key == "LEFTMARGIN") return Variant(Margins.Left);
  if (key == "TOPMARGIN") return Variant(Margins.Top);
  if (key == "RIGHTMARGIN") return Variant(Margins.Right);
  if (key == "BOTTOMMARGIN") return Variant(Margins.Bottom);
  if (key == "ORIENTATION") return Variant(int(Orientation));
  if (key == "PRINTTOPREVPAGE") return Variant(PrintToPrevPage != 0);
  if (key == "STRETCHTOPRINTABLE") return Variant(MarginsApply == 0);
  if (key == "COLUMNS") return Variant(Columns);
  if (key == "COLUMNWIDTH") return Variant(ColumnWidth);
  if (key == "COLUMNGAP") return Variant(ColumnGap);
  return Variant::Null();
}

void TfrPage::WriteProperty(const std::string& name, const Variant& value) {
  const std::string key = UpperCase(name);
  const bool dialog = Type == ptDialog;
  if (key == "NAME")
    Name = value.AsText();
  else if (key == "VISIBLE")
    Visible = value.AsBoolean();
  else if (key == "WIDTH" && dialog)
    Width = ClampToInt(value.AsInteger());
  else if (key == "HEIGHT" && dialog)
    Height = ClampToInt(value.AsInteger());
  else if (key == "WIDTH")
    PaperWidthTenths = PixelsToTenths(value.AsInteger());
  else if (key == "HEIGHT")
    PaperHeightTenths = PixelsToTenths(value.AsInteger());
  else if (dialog) {
    if (key == "BORDERSTYLE")
      BorderStyle = static_cast<std::uint8_t>(value.AsInteger());
    else if (key == "CAPTION")
      Caption = value.AsText();
    else if (key == "COLOR")
      Color = static_cast<quillet::Color>(value.AsInteger());
    else if (key == "LEFT")
      Left = ClampToInt(value.AsInteger());
    else if (key == "TOP")
      Top = ClampToInt(value.AsInteger());
    else if (key == "POSITION")
      Position = static_cast<std::uint8_t>(value.AsInteger());
    else if (key == "ONACTIVATE")
      ScriptLines = SplitLines(value.AsText());
  } else if (key == "SIZE")
    PaperSizeCode = ClampToInt(value.AsInteger());
  else if (key == "LEFTMARGIN")
    Margins.Left = ClampToInt(value.AsInteger());
  else if (key == "TOPMARGIN")
    Margins.Top = ClampToInt(value.AsInteger());
  else if (key == "RIGHTMARGIN")
    Margins.Right = ClampToInt(value.AsInteger());
  else if (key == "BOTTOMMARGIN")
    Margins.Bottom = ClampToInt(value.AsInteger());
  else if (key == "ORIENTATION")
    Orientation = static_cast<std::uint8_t>(value.AsInteger());
  else if (key == "PRINTTOPREVPAGE")
    PrintToPrevPage = Bool16(value);
  else if (key == "STRETCHTOPRINTABLE")
    MarginsApply = value.AsBoolean() ? 0 : -1;
  else if (key == "COLUMNS")
    Columns = ClampToInt(value.AsInteger());
  else if (key == "COLUMNWIDTH")
    ColumnWidth = ClampToInt(value.AsInteger());
  else if (key == "COLUMNGAP")
    ColumnGap = ClampToInt(value.AsInteger());
}

}  // namespace quillet
