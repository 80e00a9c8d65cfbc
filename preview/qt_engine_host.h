// The engine host of the program: message boxes, the input box and the
// progress window as Qt widgets. Install it with SetHost() once the
// QApplication exists.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <functional>

#include "platform/engine_host.h"

class QWidget;

namespace quillet {

class TfrPreviewForm;

class QtEngineHost : public EngineHost {
 public:
  using EngineHost::RunWithProgress;

  // Texts are UTF-8; boxes are modal over the active window.
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  bool InputBox(const std::string& caption, const std::string& prompt, std::string& value) override;
  void ProcessPendingMessages() override;
  // Runs through the process's one TfrProgressForm.
  int RunWithProgress(const ProgressRequest& request, const ProgressStep& step) override;
  // Opens the preview window on the report's prepared pages (modal when the
  // report's ModalPreview is set), or connects the report's TfrPreview
  // panel when it has one. Nothing when there are no pages. A window opened
  // while the pages formed is finished instead: modal, it runs until
  // closed; closed while forming, it goes.
  void ShowPrepared(TfrReport& report) override;
  // Opens the preview window once the first page is whole (not for a report
  // with a TfrPreview panel), then keeps it and the event loop up to date
  // at most every RefreshMs milliseconds.
  bool PagesFormed(TfrReport& report, int formed, int total) override;
  void FormationEnded(TfrReport& report, const std::string& error, int formed) override;
  int RefreshMs = 100;
  // Called with each new preview window before it is shown (the program
  // installs the print dialog's hook here; tests look at the window).
  std::function<void(TfrPreviewForm&)> PreviewOpened;

 private:
  // Makes a preview window captioned after the report, told to PreviewOpened.
  TfrPreviewForm* NewPreviewForm(TfrReport& report);

  // The window opened on pages that are still forming, and its report.
  QPointer<TfrPreviewForm> forming_;
  TfrReport* formingReport_ = nullptr;
  QElapsedTimer sinceRefresh_;
};

}  // namespace quillet
