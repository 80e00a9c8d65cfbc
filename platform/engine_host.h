// How the engine reaches the user interface: message boxes, the input box,
// pending window messages, the progress window and the preview.
//
// The program plugs in a Qt host at start; tests and command-line tools use
// HeadlessHost. The engine never includes a window header.
#pragma once

#include <functional>
#include <string>

namespace quillet {

class TfrReport;  // the report component, defined by the report engine

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageResult { Ok, Cancel, Yes, No };

// What a long step sees of the progress window while it runs.
class ProgressControl {
 public:
  virtual ~ProgressControl() = default;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetFirstLine(const std::string& text) = 0;
  virtual void SetSecondLine(const std::string& text) = 0;
  // True once the user asked to cancel (Cancel button or Escape).
  virtual bool StopRequested() const = 0;
  // Lets the interface handle pending events (repaint, the Cancel click).
  virtual void ProcessMessages() = 0;
  // Ends the modal run with `result` once the step returns.
  virtual void SetModalResult(int result) = 0;
};

class EngineHost {
 public:
  virtual ~EngineHost() = default;

  // Text is in the engine's code page (Windows-1252 unless said otherwise).
  virtual MessageResult ShowMessage(const std::string& text, const std::string& caption,
                                    MessageIcon icon, MessageButtons buttons) = 0;
  // Returns false when the user cancelled; `value` holds the default on entry.
  virtual bool InputBox(const std::string& caption, const std::string& prompt,
                        std::string& value) = 0;
  virtual void ProcessPendingMessages() = 0;
  // Shows the progress window and runs `step` once it is on screen; returns
  // the modal result the step set (0 when it set none).
  virtual int RunWithProgress(const std::string& caption,
                              const std::function<void(ProgressControl&)>& step) = 0;
  // Opens the preview on the report's prepared pages.
  virtual void ShowPrepared(TfrReport& report) = 0;
};

// The host in force; a HeadlessHost until the program installs another.
EngineHost& Host();
// Installs `host` (not owned; nullptr restores the built-in headless host).
void SetHost(EngineHost* host);

}  // namespace quillet
