// Named properties of the views that stand for controls and components of
// dialog pages: fewer than other views have, and writing some of them
// reaches the control or component as well.
#include "report/base/text_format.h"
#include "report/views/view_bases.h"

namespace quillet {

void TfrControl::RegisterProperties() {
  ClearProperties();
  AddProperty("Name", pfText | pfTextAlt);
  AddProperty("Left", pfPixels);
  AddProperty("Top", pfPixels);
  AddProperty("Width", pfPixels);
  AddProperty("Height", pfPixels);
  AddProperty("Visible", pfBoolean);
  AddProperty("Restrictions", pfHasEditor);
}

void TfrControl::WriteProperty(const std::string& name, const Variant& value) {
  TfrView::WriteProperty(name, value);
  if (Control && UpperCase(name) == "VISIBLE") Control->SetVisible(Visible != 0);
}

void TfrNonVisualControl::RegisterProperties() {
  ClearProperties();
  AddProperty("Name", pfText | pfTextAlt);
  AddProperty("Restrictions", pfHasEditor);
}

void TfrNonVisualControl::WriteProperty(const std::string& name, const Variant& value) {
  TfrControl::WriteProperty(name, value);
  if (Component && UpperCase(name) == "NAME") Component->Rename(Name);
}

}  // namespace quillet
