// How the engine reaches the user interface: message boxes, the input box,
// pending window messages, the progress window and the preview.
//
// The program plugs in a Qt host at start; tests and command-line tools use
// HeadlessHost. The engine never includes a window header.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/geometry.h"

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
  // Ends the modal run with `result` once the step returns (1 done, 2
  // cancelled); the last value set wins, a Cancel press sets 2.
  virtual void SetModalResult(int result) = 0;
  // A dialog shown during the step hides the window and restores it after.
  // Hosts without a window keep these defaults.
  virtual bool Visible() const { return true; }
  virtual void SetVisible(bool) {}
};

// What the caller sets before the progress window runs a step.
struct ProgressRequest {
  std::string caption;    // window caption ("Preparing report")
  std::string firstLine;  // first line shown from the start ("Processing page:  1")
  // Called once per Cancel press (button or Escape), before the step sees
  // StopRequested(); the engine sets the report's stop request here. May be empty.
  std::function<void()> onCancel;
};

using ProgressStep = std::function<void(ProgressControl&)>;

// The hidden window that parents the controls of dialog pages; freeing it
// closes the window.
class DialogParent {
 public:
  virtual ~DialogParent() = default;
};

class EngineHost {
 public:
  virtual ~EngineHost() = default;

  // Texts are UTF-8, as all engine text is.
  virtual MessageResult ShowMessage(const std::string& text, const std::string& caption,
                                    MessageIcon icon, MessageButtons buttons) = 0;
  // Returns false when the user cancelled; `value` holds the default on entry.
  virtual bool InputBox(const std::string& caption, const std::string& prompt,
                        std::string& value) = 0;
  virtual void ProcessPendingMessages() = 0;
  // Shows the progress window and runs `step` once it is on screen; returns
  // the modal result (0 when neither the step nor a Cancel press set one).
  // An exception thrown by the step ends the window and propagates from here.
  virtual int RunWithProgress(const ProgressRequest& request, const ProgressStep& step) = 0;
  int RunWithProgress(const std::string& caption, const ProgressStep& step) {
    return RunWithProgress(ProgressRequest{caption, {}, {}}, step);
  }
  // Opens the preview on the report's prepared pages. After PagesFormed
  // answered true for the report, it finishes the preview opened then.
  virtual void ShowPrepared(TfrReport& report) = 0;
  // While TfrReport::PrepareAndPreview forms the final (or only) pass: at
  // every progress step, with the count of pages formed whole so far (the
  // report's PreparedPages may hold one more, still forming) and the page
  // count of the counting pass (0 when there was none). A host that opens
  // the preview early answers true; it then reads the growing PreparedPages
  // only through their own calls, never takes them before FormationEnded,
  // and sets the report's StopRequested when the user cancels. The default
  // waits for ShowPrepared.
  virtual bool PagesFormed(TfrReport& /*report*/, int /*formed*/, int /*total*/) { return false; }
  // Formation of a report whose preview PagesFormed opened has ended:
  // `error` is the calculation error that stopped it (empty when none), and
  // `formed` the pages whole before it (those after were cut short); the
  // report's StopRequested tells a cancelled run. Called before the error
  // is shown and the report discards its pages, so the preview may take
  // them now.
  virtual void FormationEnded(TfrReport& /*report*/, const std::string& /*error*/, int /*formed*/) {
  }
  // Makes the hidden window named `name` at `bounds` that dialog pages
  // place their controls on. Dialog pages host no controls yet, so no host
  // makes one: the default gives none.
  virtual std::unique_ptr<DialogParent> CreateDialogParent(const std::string& /*name*/,
                                                           const Rect& /*bounds*/) {
    return nullptr;
  }
};

}  // namespace quillet
