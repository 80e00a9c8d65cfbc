#include "preview/engine_session.h"

#include "platform/engine_host.h"
#include "platform/qt/qt_canvas.h"
#include "preview/qt_engine_host.h"
#include "report/engine_state.h"
#include "report/view_registry.h"

namespace quillet {

EngineSession::EngineSession()
    : measuring_(std::make_unique<QtImageCanvas>(4, 4)), host_(std::make_unique<QtEngineHost>()) {
  InstallFontSubstitutions();
  RegisterEngineKinds();
  Engine().MeasuringCanvas = measuring_.get();
  SetHost(host_.get());
}

EngineSession::~EngineSession() {
  SetHost(nullptr);
  Engine().MeasuringCanvas = nullptr;
}

}  // namespace quillet
