#include "report/template/template_json_defaults.h"

#include <typeinfo>

#include "report/base/engine_state.h"
#include "report/views/band_view.h"
#include "report/views/line_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/picture_view.h"
#include "report/views/shape_view.h"
#include "report/views/subreport_view.h"

namespace quillet {
namespace {

constexpr std::string_view kTypeNames[] = {"memo", "picture", "band", "subReport", "line", "shape"};

// Exactly the class, not one derived from it: a derived class may store
// more than the base's fields.
template <typename View>
bool Is(const TfrView& view) {
  return typeid(view) == typeid(View);
}

}  // namespace

JsonKind JsonKindOf(const TfrView& view) {
  if (Is<TfrMemoView>(view) && view.ObjectType == gtMemo) return JsonKind::Memo;
  if (Is<TfrPictureView>(view) && view.ObjectType == gtPicture) return JsonKind::Picture;
  if (Is<TfrBandView>(view) && view.ObjectType == gtBand) return JsonKind::Band;
  if (Is<TfrSubReportView>(view) && view.ObjectType == gtSubReport) return JsonKind::SubReport;
  if (Is<TfrLineView>(view) && view.ObjectType == gtLine) return JsonKind::Line;
  if (Is<TfrShapeView>(view) && view.ObjectType == gtAddIn) return JsonKind::Shape;
  return JsonKind::Other;
}

std::string_view JsonTypeName(JsonKind kind) {
  const auto i = static_cast<std::size_t>(kind);
  return i < std::size(kTypeNames) ? kTypeNames[i] : std::string_view();
}

JsonKind JsonKindOfType(std::string_view type) {
  for (std::size_t i = 0; i < std::size(kTypeNames); ++i)
    if (type == kTypeNames[i]) return static_cast<JsonKind>(i);
  return JsonKind::Other;
}

std::unique_ptr<TfrView> DefaultViewLike(const TfrView& view) {
  std::unique_ptr<TfrView> fresh = view.Create();
  fresh->ObjectType = view.ObjectType;
  PinJsonDefaults(*fresh);
  return fresh;
}

void PinJsonDefaults(TfrView& fresh) {
  // Classes that set a format of their own (bands: 0) keep it.
  if (fresh.DisplayFormat == 512 + static_cast<unsigned char>(fresh.Globals().DecimalSeparator))
    fresh.DisplayFormat = kJsonDefaultDisplayFormat;
}

}  // namespace quillet
