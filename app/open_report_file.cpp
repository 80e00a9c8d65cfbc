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

int Fail(EngineGlobals& engine, const std::string& utf8Text) {
  std::cerr << "quillet: " << utf8Text << "\n";
  engine.Host().ShowMessage(utf8Text, "Error", MessageIcon::Error, MessageButtons::Ok);
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
void WithPreviewHook(EngineGlobals& engine, const std::function<void(TfrPreviewForm&)>& more,
                     Show show) {
  auto* windows = dynamic_cast<QtEngineHost*>(&engine.Host());
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

int OpenReportFile(EngineGlobals& engine, const std::string& path) {
  return OpenReportFile(engine, path, cli::Options({}, {}, {}), false);
}

int OpenReportFile(EngineGlobals& engine, const std::string& path, const cli::Options& options,
                   bool watch) {
  std::shared_ptr<cli::ReportInput> input;
  // A template not watched opens on its first page while the rest forms;
  // a prepared-report file, or a template a live preview follows, is read
  // whole first.
  bool whole = true;
  try {
    input = std::make_shared<cli::ReportInput>(options, path);
    if (watch && !input->IsTemplate())
      throw cli::UsageError("--watch follows a template; " + path + " is a prepared-report file");
    whole = watch || !input->IsTemplate();
    if (whole && !input->LoadPages()) return 1;
  } catch (const cli::AlreadyReported&) {
    return 1;  // the loader has shown why
  } catch (const cli::UsageError& e) {
    return Fail(engine, e.what());
  } catch (const std::exception& e) {
    return Fail(engine, Reason(path, e.what()));
  }
  // The report shares the life of the input that holds its data sets.
  const std::shared_ptr<TfrReport> report(input, &input->Report());
  if (whole && report->PreparedPages.Count() == 0) return Fail(engine, path + " holds no page");
  // The preview's caption and the print job carry the file's name.
  report->Title = std::filesystem::path(path).filename().string();
  const auto prepare = [options](const std::string& file) {
    return cli::ReportInput::PreparedTemplate(options, file);
  };
  const auto opened = [&](TfrPreviewForm& form) {
    RecentFiles::Add(QString::fromStdString(path));
    form.PrepareTemplate = prepare;
    if (watch) new LivePreview(form, prepare, path, cli::DataOptions::FilesRead(options));
  };
  if (whole) {
    WithPreviewHook(engine, opened, [&] { report->ShowPrepared(); });
    return 0;
  }
  TfrReport::PreviewRun run;
  try {
    WithPreviewHook(engine, opened, [&] { run = input->PrepareAndPreview(); });
  } catch (const cli::AlreadyReported&) {
    return 1;
  } catch (const cli::UsageError& e) {
    return Fail(engine, e.what());
  } catch (const std::exception& e) {
    return Fail(engine, Reason(path, e.what()));
  }
  if (run.Shown) return 0;
  // A failed or stopped preparation has been reported by the host.
  return run.Prepared ? Fail(engine, path + " holds no page") : 1;
}

}  // namespace quillet
