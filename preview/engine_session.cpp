#include "preview/engine_session.h"

#include "platform/engine_host.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_locale_formats.h"
#include "platform/qt/qt_platform_printer.h"
#include "preview/qt_engine_host.h"
#include "report/base/engine_state.h"
#include "report/component/engine_library.h"
#include "report/printer/printer.h"
#include "report/views/view_registry.h"

namespace quillet {

EngineSession::EngineSession()
    : measuring_(std::make_unique<QtImageCanvas>(4, 4)),
      host_(std::make_unique<QtEngineHost>()),
      printer_(std::make_unique<QtPlatformPrinter>()) {
  InstallFontSubstitutions();
  RegisterEngineKinds();
  Engine().MeasuringCanvas = measuring_.get();
  static QtLocaleFormats locale;  // the user's locale for long dates
  SetLocaleFormats(&locale);
  SetHost(host_.get());
  StartEnginePrinter([this] { return static_cast<PlatformPrinter*>(printer_.get()); });
  StartEngineLibrary();
}

EngineSession::~EngineSession() {
  StopEngineLibrary();
  StopEnginePrinter();
  SetHost(nullptr);
  Engine().MeasuringCanvas = nullptr;
  SetLocaleFormats(nullptr);
}

}  // namespace quillet
