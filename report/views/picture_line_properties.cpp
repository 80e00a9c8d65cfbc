// Named properties of picture and line views.
#include "report/base/text_format.h"
#include "report/expr/expression_globals.h"
#include "report/views/line_view.h"
#include "report/views/picture_view.h"

namespace quillet {

void TfrPictureView::RegisterProperties() {
  TfrView::RegisterProperties();
  AddProperty("Picture", pfHasEditor);
  AddProperty("Stretched", pfBoolean);
  AddProperty("Center", pfBoolean);
  AddProperty("KeepAspect", pfBoolean);
  AddProperty("DataField", pfText | pfHasEditor | pfTextAlt);
  AddEnumProperty("BlobType", "btBMP;btJPG;btICO;btWMF;btPNG;btSVG;btFileName",
                  {0, 1, 2, 3, 4, 5, 6});
}

void TfrPictureView::WriteProperty(const std::string& name, const Variant& value) {
  TfrView::WriteProperty(name, value);
  const std::string key = UpperCase(name);
  auto setBit = [&](std::uint16_t bit) {
    Flags = value.AsBoolean() ? std::uint16_t(Flags | bit) : std::uint16_t(Flags & ~bit);
  };
  if (key == "CENTER")
    setBit(flPictureCenter);
  else if (key == "KEEPASPECT")
    setBit(flPictureKeepAspect);
  else if (key == "BLOBTYPE")
    BlobType = static_cast<std::uint8_t>(value.AsInteger());
}

Variant TfrPictureView::ReadProperty(const std::string& name) {
  Variant v = TfrView::ReadProperty(name);
  if (!v.IsNull()) return v;
  const std::string key = UpperCase(name);
  if (key == "CENTER") return Variant(Options().Has(PictureFlag::Center));
  if (key == "KEEPASPECT") return Variant(Options().Has(PictureFlag::KeepAspect));
  if (key == "BLOBTYPE") return Variant(int(BlobType));
  return v;
}

Variant TfrPictureView::CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                                   const Variant& a3) {
  Variant result = TfrView::CallMethod(name, a1, a2, a3);
  if (name == "LOADFROMFILE")
    LoadPictureFile(Expressions(Globals()).Parser.Calc(a1.AsText()).AsText());
  return result;
}

void TfrLineView::RegisterProperties() {
  TfrView::RegisterProperties();
  AddProperty("Stretched", pfBoolean);
}

}  // namespace quillet
