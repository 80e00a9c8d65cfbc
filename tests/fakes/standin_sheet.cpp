#include "tests/fakes/standin_sheet.h"

#include "platform/engine_host.h"
#include "platform/numeric.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/views/shape_view.h"

namespace quillet {
namespace {

// A one-line caption in Arial 8 pt, drawn at its position.
class CaptionStandIn : public TfrView {
 public:
  CaptionStandIn() {
    ObjectType = gtMemo;
    NamePrefix = "Memo";
  }
  std::unique_ptr<TfrView> Create() const override { return std::make_unique<CaptionStandIn>(); }
  std::string ClassName() const override { return "TfrMemoView"; }
  void Draw(Canvas& canvas) override {
    AttachCanvas(&canvas);
    WorkText = Memo;
    PrepareDraw();
    Font f;
    f.height = Round(11 * DeviceScaleY);
    canvas.SetFont(f);
    canvas.SetBkMode(BkMode::Transparent);
    if (!WorkText.empty()) canvas.TextOut(Left + GapX, Top + GapY, WorkText.front());
    RestoreCoords();
  }
};

void NotBuiltYet(const char* what) {
  Engine().Host().ShowMessage(std::string(what) + " is not available yet.", "Quillet",
                              MessageIcon::Information, MessageButtons::Ok);
}

}  // namespace

StandInSheet::StandInSheet() {
  for (int i = 1; i <= kSheetSlots; ++i) {
    auto shape = std::make_unique<TfrShapeView>();
    shape->Name = "Shape" + std::to_string(i);
    shape->Tag = "0;0;0;0;0;0";
    objects_.push_back(std::move(shape));
  }
  for (const char* prefix : {"Width", "Height"})
    for (int i = 1; i <= kSheetSlots; ++i) {
      auto cap = std::make_unique<CaptionStandIn>();
      cap->Name = prefix + std::to_string(i);
      cap->SetGeometry(0, 0, 77, 16);
      objects_.push_back(std::move(cap));
    }
}

TfrView* StandInSheet::FindView(std::string_view name) {
  for (auto& v : objects_)
    if (EqualsIgnoreCase(v->Name, name)) return v.get();
  return nullptr;
}

void StandInSheet::PrepareAndPreview() {
  NotBuiltYet("The preview");
}
void StandInSheet::Prepare() {}
void StandInSheet::PrintPrepared(const std::string&, int, bool, int) {
  NotBuiltYet("Printing");
}

void StandInSheet::DrawPage(Canvas& canvas, double scale, int dx, int dy) {
  const bool render = Prep().RenderActive;
  Prep().RenderActive = true;
  for (auto& v : objects_) {
    if (!v->Visible) continue;
    v->DeviceScaleX = v->DeviceScaleY = scale;
    v->DeviceOffsetX = dx;
    v->DeviceOffsetY = dy;
    v->Draw(canvas);
  }
  Prep().RenderActive = render;
}

}  // namespace quillet
