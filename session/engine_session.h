// The engine's start-up on the Qt side, the same for the program,
// quillet-cli, the benchmarks and the tests: Arial served by Liberation Sans,
// the object kinds registered, the 96-dpi measuring canvas, the PNG and SVG
// picture codecs, the engine host and the engine printer. Make one after the
// Qt application and keep it while the engine runs; its end undoes the start
// in reverse order.
#pragma once

#include <memory>

namespace quillet {

class EngineHost;
struct EngineGlobals;
class QtImageCanvas;
class QtPlatformPrinter;

// What the engine printer sees of the machine.
enum class SessionPrinters {
  Machine,      // the installed printers, through Qt's printer support
  VirtualOnly,  // no printer service: the virtual printer alone
  NotStarted,   // no engine printer; whoever needs one starts it (tests)
};

class EngineSession {
 public:
  // `host` answers the engine's messages and runs its progress window; it
  // is not owned and outlives the session. nullptr keeps the engine's
  // built-in headless host.
  EngineSession(EngineHost* host, SessionPrinters printers);
  ~EngineSession();
  EngineSession(const EngineSession&) = delete;
  EngineSession& operator=(const EngineSession&) = delete;

  // The engine the session started.
  EngineGlobals& Globals() const { return engine_; }

 private:
  EngineGlobals& engine_;
  std::unique_ptr<QtImageCanvas> measuring_;
  std::unique_ptr<QtPlatformPrinter> printer_;  // only with SessionPrinters::Machine
  bool printerStarted_ = false;
};

}  // namespace quillet
