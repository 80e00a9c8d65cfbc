#include "app/open_report_file.h"

#include <QString>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>

#include "platform/engine_host.h"
#include "preview/preview_form.h"
#include "preview/qt_engine_host.h"
#include "preview/recent_files.h"
#include "report/component/report.h"
#include "session/data_options.h"
#include "session/input_file.h"
#include "session/live_preview.h"
#include "session/report_input.h"

namespace quillet {
namespace {

int Fail(const std::string& utf8Text) {
  std::cerr << "quillet: " << utf8Text << "\n";
  Host().ShowMessage(utf8Text, "Error", MessageIcon::Error, MessageButtons::Ok);
  return 1;
}

// The reason a file failed, naming the file once.
std::string Reason(const std::string& path, const std::string& what) {
  if (what.rfind(path, 0) == 0) return what;
  return "cannot read " + path + ": " + what;
}

// Runs `show` with the Qt host's preview hook extended by `more`; the hook
// comes back as it was afterwards.
template <typename Show>
void WithPreviewHook(const std::function<void(TfrPreviewForm&)>& more, Show show) {
  auto* windows = dynamic_cast<QtEngineHost*>(&Host());
  if (!windows) {
    show();
    return;
  }
  const auto before = windows->PreviewOpened;
  windows->PreviewOpened = [&](TfrPreviewForm& form) {
    if (before) before(form);
    more(form);
  };
  show();
  windows->PreviewOpened = before;
}

}  // namespace

int OpenReportFile(const std::string& path) {
  return OpenReportFile(path, cli::Options({}, {}, {}), false);
}

int OpenReportFile(const std::string& path, const cli::Options& options, bool watch) {
  std::shared_ptr<TfrReport> report;
  try {
    auto input = std::make_shared<cli::ReportInput>(options, path);
    if (watch && !input->IsTemplate())
      throw cli::UsageError("--watch follows a template; " + path + " is a prepared-report file");
    if (!input->LoadPages()) return 1;
    report = std::shared_ptr<TfrReport>(input, &input->Report());
  } catch (const cli::AlreadyReported&) {
    return 1;  // the loader has shown why
  } catch (const cli::UsageError& e) {
    return Fail(e.what());
  } catch (const std::exception& e) {
    return Fail(Reason(path, e.what()));
  }
  if (report->PreparedPages.Count() == 0) return Fail(path + " holds no page");
  // The preview's caption and the print job carry the file's name.
  report->Title = std::filesystem::path(path).filename().string();
  RecentFiles::Add(QString::fromStdString(path));
  const auto prepare = [options](const std::string& file) {
    return cli::ReportInput::PreparedTemplate(options, file);
  };
  WithPreviewHook(
      [&](TfrPreviewForm& form) {
        form.PrepareTemplate = prepare;
        if (watch) new LivePreview(form, prepare, path, cli::DataOptions::FilesRead(options));
      },
      [&] { report->ShowPrepared(); });
  return 0;
}

}  // namespace quillet
