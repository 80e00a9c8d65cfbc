#include "session/engine_session.h"

#include "platform/engine_host.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_locale_formats.h"
#include "platform/qt/qt_picture_codecs.h"
#include "platform/qt/qt_platform_printer.h"
#include "report/base/engine_state.h"
#include "report/component/engine_library.h"
#include "report/printer/printer.h"
#include "report/views/view_registry.h"

namespace quillet {

// The process has one engine: the session starts it and stops it.
EngineSession::EngineSession(EngineHost* host, SessionPrinters printers)
    : engine_(Engine()), measuring_(std::make_unique<QtImageCanvas>(4, 4)) {
  InstallFontSubstitutions();
  RegisterEngineKinds(engine_);
  engine_.MeasuringCanvas = measuring_.get();
  static QtLocaleFormats locale;  // the user's locale for long dates
  SetLocaleFormats(&locale);
  static const QtPictureCodecs codecs;  // PNG and SVG pictures
  SetPictureCodecs(&codecs);
  engine_.SetHost(host);
  switch (printers) {
    case SessionPrinters::Machine:
      printer_ = std::make_unique<QtPlatformPrinter>();
      StartEnginePrinter(engine_, [this] { return static_cast<PlatformPrinter*>(printer_.get()); });
      printerStarted_ = true;
      break;
    case SessionPrinters::VirtualOnly:
      StartEnginePrinter(engine_, nullptr);
      printerStarted_ = true;
      break;
    case SessionPrinters::NotStarted: break;
  }
  StartEngineLibrary(engine_);
}

EngineSession::~EngineSession() {
  StopEngineLibrary();
  if (printerStarted_) StopEnginePrinter(engine_);
  engine_.SetHost(nullptr);
  engine_.MeasuringCanvas = nullptr;
  SetLocaleFormats(nullptr);
  SetPictureCodecs(nullptr);
}

}  // namespace quillet
