// Named properties of band views: what scripts and expressions may read and
// write by name.
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/views/band_view.h"
#include "report/views/view_page.h"
#include "report/views/view_properties.h"

namespace quillet {
namespace {

struct FlagKey {
  const char* key;
  std::uint16_t bit;
};
constexpr FlagKey kBandFlags[] = {
    {"FORMNEWPAGE", flBandFormNewPage},
    {"PRINTIFSUBSETEMPTY", flBandPrintIfSubsetEmpty},
    {"BREAKED", flBandBreaked},
    {"ONFIRSTPAGE", flBandOnFirstPage},
    {"ONLASTPAGE", flBandOnLastPage},
    {"REPEATHEADER", flBandRepeatHeader},
    {"PRINTCHILDIFINVISIBLE", flBandPrintChildIfInvisible},
    {"KEEPTOGETHER", flBandKeepTogether},
};

bool In(int t, std::initializer_list<int> kinds) {
  for (int k : kinds)
    if (k == t) return true;
  return false;
}

// Names of the other band views on the view's page whose type is one of
// `kinds`, as an enumeration text; empty while a report renders.
std::string BandNames(const TfrBandView& self, std::initializer_list<int> kinds) {
  std::string names;
  if (self.Run().RenderActive || !self.OwnerPage) return names;
  for (std::size_t i = 0; i < self.OwnerPage->ObjectCount(); ++i) {
    auto* band = dynamic_cast<TfrBandView*>(self.OwnerPage->ObjectAt(i));
    if (!band || band == &self || !In(band->FrameTyp, kinds)) continue;
    if (!names.empty()) names += ';';
    names += band->Name;
  }
  return names;
}

// The run-time band this band object stands for while a report renders.
FormingBand* FormingOf(const TfrBandView& self) {
  return self.Run().RenderActive ? self.RunTimeBand : nullptr;
}

// Position and size keys, as the run-time band holds them.
bool EdgeOf(const std::string& key, FormingBand::Edge& edge) {
  using Edge = FormingBand::Edge;
  if (key == "LEFT")
    edge = Edge::Left;
  else if (key == "TOP")
    edge = Edge::Top;
  else if (key == "WIDTH")
    edge = Edge::Width;
  else if (key == "HEIGHT")
    edge = Edge::Height;
  else
    return false;
  return true;
}

// The run-time band of the page's band object with that name; none when
// there is no such band object or it has no run-time band.
FormingBand* NamedForming(const TfrBandView& self, const std::string& name) {
  if (!self.OwnerPage) return nullptr;
  for (std::size_t i = 0; i < self.OwnerPage->ObjectCount(); ++i) {
    auto* band = dynamic_cast<TfrBandView*>(self.OwnerPage->ObjectAt(i));
    if (band && EqualsIgnoreCase(band->Name, name)) return band->RunTimeBand;
  }
  return nullptr;
}

}  // namespace

void TfrBandView::RegisterProperties() {
  TfrView::RegisterProperties();
  const int t = FrameTyp;
  if (t != btPageFooter) {
    AddEnumProperty("ChildBand", BandNames(*this, {btChild}), {});
    AddProperty("PrintChildIfInvisible", pfBoolean);
  }
  if (In(t, {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 18, 21}))
    AddProperty("Stretched", pfBoolean);
  if (In(t, {0, 1, 5, 6, 8, 9, 11, 12, 16})) AddProperty("FormNewPage", pfBoolean);
  if (In(t, {5, 8})) AddProperty("PrintIfSubsetEmpty", pfBoolean);
  if (In(t, {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 21})) AddProperty("Breaked", pfBoolean);
  if (In(t, {2, 3})) AddProperty("OnFirstPage", pfBoolean);
  if (t == 3) AddProperty("OnLastPage", pfBoolean);
  if (In(t, {4, 5, 7, 8, 10, 16, 18})) AddProperty("RepeatHeader", pfBoolean);
  if (In(t, {6, 9, 12, 17})) AddProperty("KeepTogether", pfBoolean);
  if (t == 19) AddProperty("DataSource", pfHasEditor);
  if (In(t, {5, 8, 11})) {
    AddProperty("Columns", pfInteger);
    AddProperty("ColumnWidth", pfPixels);
    AddProperty("ColumnGap", pfPixels);
    AddProperty("DataSource", pfHasEditor);
  }
  if (t == 16) {
    AddProperty("Condition", pfText);
    AddEnumProperty("Master", BandNames(*this, {5, 8, 11}), {});
  }
  AddProperty("EOF", 0);
  // A band's Memo holds the script run before the band is printed.
  for (PropertyEntry& e : PropertyTable)
    if (e.EntryName == "Memo") e.EntryName = "OnBeforePrint";
}

void TfrBandView::WriteProperty(const std::string& name, const Variant& value) {
  TfrView::WriteProperty(name, value);
  const std::string key = UpperCase(name);
  FormingBand* forming = FormingOf(*this);
  FormingBand::Edge edge;
  if (key == "CHILDBAND") {
    ChildBand = value.AsText();
    if (forming) forming->LinkChild(NamedForming(*this, ChildBand));
  } else if (key == "MASTER") {
    Master = value.AsText();
  } else if (key == "CONDITION") {
    FormatText = value.AsText();
    if (forming) forming->SetCondition(FormatText);
  } else if (!forming) {
    // The keys below only act on the band being formed.
  } else if (EdgeOf(key, edge)) {
    forming->SetGeometry(edge, ClampToInt(value.AsInteger()));
  } else if (key == "VISIBLE") {
    forming->SetShown(value.AsBoolean());
  } else if (key == "DATASOURCE") {
    forming->UseDataSource(value.AsText());
  }
  if (key == "COLUMNS")
    Columns = ClampToInt(value.AsInteger());
  else if (key == "COLUMNS")
    Columns = ClampToInt(value.AsInteger());
  else if (key == "COLUMNGAP")
    ColumnGap = ClampToInt(value.AsInteger());
  else if (key == "COLUMNWIDTH")
    ColumnWidth = ClampToInt(value.AsInteger());
  else if (key == "NEWCOLUMNAFTER")
    NewColumnAfter = static_cast<std::uint32_t>(value.AsInteger());
  else
    for (const FlagKey& f : kBandFlags)
      if (key == f.key)
        Flags = value.AsBoolean() ? std::uint16_t(Flags | f.bit) : std::uint16_t(Flags & ~f.bit);
  if (key == "BREAKED" && forming) forming->SetSplit(value.AsBoolean());
}

Variant TfrBandView::ReadProperty(const std::string& name) {
  const std::string key = UpperCase(name);
  FormingBand* forming = FormingOf(*this);
  if (FormingBand::Edge edge; forming && EdgeOf(key, edge)) return Variant(forming->Geometry(edge));
  if (forming && key == "VISIBLE") return Variant(forming->IsShown());
  Variant v = TfrView::ReadProperty(name);
  if (!v.IsNull()) return v;
  if (forming && key == "BREAKED") return Variant(forming->IsSplit());
  // Without a data set there is no end of data to tell.
  if (TfrDataset* data = forming ? forming->BandDataset() : nullptr; data && key == "EOF")
    return Variant(data->Eof());
  if (key == "CHILDBAND") return Variant(ChildBand);
  if (key == "MASTER") return Variant(Master);
  if (key == "CONDITION") return Variant(FormatText);
  if (key == "COLUMNS") return Variant(Columns);
  if (key == "COLUMNGAP") return Variant(ColumnGap);
  if (key == "COLUMNWIDTH") return Variant(ColumnWidth);
  if (key == "NEWCOLUMNAFTER") return Variant(std::int64_t(NewColumnAfter));
  for (const FlagKey& f : kBandFlags)
    if (key == f.key) return Variant((Flags & f.bit) != 0);
  return v;
}

Variant TfrBandView::CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                                const Variant& a3) {
  Variant result = TfrView::CallMethod(name, a1, a2, a3);
  FormingBand* forming = FormingOf(*this);
  if (TfrDataset* data = forming ? forming->BandDataset() : nullptr) {
    if (name == "NEXT")
      data->Next();
    else if (name == "PRIOR")
      data->Prior();
    else if (name == "FIRST")
      data->First();
  }
  return result;
}

}  // namespace quillet
