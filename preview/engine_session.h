// Everything the engine needs from the Qt side while a program runs: Arial
// served by Liberation Sans, the object kinds registered, the 96-dpi
// measuring canvas, the Qt engine host for messages and progress, and the
// engine printer over the machine's printers.
// Make one after the QApplication and keep it for the program's life.
#pragma once

#include <memory>

namespace quillet {

class QtImageCanvas;
class QtEngineHost;
class QtPlatformPrinter;

class EngineSession {
 public:
  EngineSession();
  ~EngineSession();
  EngineSession(const EngineSession&) = delete;
  QtEngineHost& Host() { return *host_; }
  EngineSession& operator=(const EngineSession&) = delete;

 private:
  std::unique_ptr<QtImageCanvas> measuring_;
  std::unique_ptr<QtEngineHost> host_;
  std::unique_ptr<QtPlatformPrinter> printer_;
};

}  // namespace quillet
