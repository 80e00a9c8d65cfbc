#include "report/views/view_registry.h"

#include <array>

#include "platform/errors.h"
#include "platform/stream.h"
#include "report/views/band_view.h"
#include "report/views/line_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/object_records.h"
#include "report/views/picture_view.h"
#include "report/views/shape_view.h"
#include "report/views/subreport_view.h"
#include "report/views/view.h"

namespace quillet {
namespace {

template <typename View>
std::unique_ptr<TfrView> Make() {
  return std::make_unique<View>();
}

std::array<ViewFactory, 5>& BuiltInKinds() {
  static std::array<ViewFactory, 5> kinds{};
  return kinds;
}

}  // namespace

void RegisterObjectKind(EngineGlobals& g, const std::string& className, ViewFactory factory,
                        RasterImage picture, const std::string& hintText) {
  for (int i = 0; i < g.ObjectKindCount; ++i)
    if (g.ObjectKinds[i].ClassName == className) return;
  if (g.ObjectKindCount >= EngineGlobals::kMaxObjectKinds)
    throw RangeError("Cannot register object kind \"" + className + "\": all " +
                     std::to_string(EngineGlobals::kMaxObjectKinds) + " places are taken");
  g.ObjectKinds[g.ObjectKindCount++] = {className, factory, std::move(picture), hintText};
}

void RegisterBuiltInKind(std::uint8_t kind, ViewFactory factory) {
  if (kind < BuiltInKinds().size()) BuiltInKinds()[kind] = factory;
}

std::unique_ptr<TfrView> CreateViewByKind(EngineGlobals& engine, std::uint8_t kind,
                                          const std::string& className) {
  std::unique_ptr<TfrView> view;
  if (kind < BuiltInKinds().size()) {
    if (ViewFactory make = BuiltInKinds()[kind]) view = make();
  } else if (kind == gtAddIn) {
    for (int i = 0; i < engine.ObjectKindCount && !view; ++i)
      if (engine.ObjectKinds[i].ClassName == className) view = engine.ObjectKinds[i].ViewClass();
    if (!view) {
      PreparationState& prep = engine.Run;
      prep.CalcErrorText += className + "\r";
      prep.CalcErrorFlag = true;
      throw ClassNotFoundError(prep.CalcErrorText);
    }
    view->ObjectType = gtAddIn;
  }
  if (view) view->SerialNumber = engine.SerialCounter++;
  return view;
}

namespace {

// Older picture-based prepared-report files hold one metafile per page; each
// becomes a picture object of the page's size holding those bytes (kept as
// they are even when they cannot be drawn).
void WriteOldFormatPicture(Stream& out, const std::string& metafile, int width, int height) {
  TfrPictureView picture;
  picture.PreparedMode = true;
  picture.SetGeometry(0, 0, width, height);
  picture.FrameTyp = 0;
  picture.Picture.Load(GraphicKind::Metafile,
                       std::vector<std::uint8_t>(metafile.begin(), metafile.end()));
  RecordWriter writer(out, kNamedRecordsVersion);
  WriteObjectRecord(writer, picture);
}

}  // namespace

void RegisterEngineKinds(EngineGlobals& engine) {
  engine.OldFormatPictures = &WriteOldFormatPicture;
  RegisterBuiltInKind(gtMemo, &Make<TfrMemoView>);
  RegisterBuiltInKind(gtPicture, &Make<TfrPictureView>);
  RegisterBuiltInKind(gtBand, &Make<TfrBandView>);
  RegisterBuiltInKind(gtSubReport, &Make<TfrSubReportView>);
  RegisterBuiltInKind(gtLine, &Make<TfrLineView>);
  RegisterShapeKind(engine);
}

}  // namespace quillet
