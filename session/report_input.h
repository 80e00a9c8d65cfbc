// The one road from a file on the command line to a report. Every command
// that loads a template (prepare, render, print, preview, check, eval
// --template) comes through here with the same data options: the data sets
// they name are opened first, the template is read in either form, and its
// data bands are checked against the data sets before anything is prepared
// or written.
#pragma once

#include <memory>
#include <string>

#include "report/component/report.h"
#include "session/command_options.h"

namespace quillet::cli {

class DataOptions;

class ReportInput {
 public:
  // Checks that `path` names a readable file (UsageError otherwise); opens
  // nothing yet.
  ReportInput(const Options& options, std::string path);
  ~ReportInput();
  ReportInput(const ReportInput&) = delete;
  ReportInput& operator=(const ReportInput&) = delete;

  // True for a template file: a .frf name, or JSON text whatever the name.
  bool IsTemplate() const;

  // Opens the data sets, then loads the template. When data options were
  // given, every data band must run over a count or one of their data sets
  // (EngineError naming the band and the data set otherwise).
  void LoadTemplate();
  // The same without checking the data bands (check lists them itself).
  void LoadTemplateUnchecked();
  // Loads the template and prepares it; here every data band must run over
  // a count or a data set the options name, since a band over nothing would
  // be left out without a word. False when the preparation failed or was
  // stopped (the host has said why).
  bool Prepare();
  // The same checks, then the report's PrepareAndPreview: the host may open
  // the preview on the first page while the rest forms. Nothing is shown
  // when the preparation failed or was stopped (not Prepared: the host has
  // said why) or formed no page.
  TfrReport::PreviewRun PrepareAndPreview();
  // For the commands that take either file: a prepared-report file is read
  // as it stands, a template is prepared (see Prepare). Data options given
  // with a prepared-report file are a UsageError: it has no data bands left
  // to run.
  bool LoadPages();

  // Moves every data set to its first record, as a band starting over it
  // would (eval reads fields of that record).
  void MoveDataSetsToFirstRecord();

  // A template at `path` prepared with the data options, as a report that
  // keeps its data sets open while it lives (the window's Open button and
  // a live preview use it); nullptr when the preparation failed or was
  // stopped (the host has said why). Errors propagate as from Prepare.
  static std::shared_ptr<TfrReport> PreparedTemplate(const Options& options,
                                                     const std::string& path);

  TfrReport& Report() { return report_; }
  // The data sets the options opened, once loaded; none before.
  const DataOptions* Data() const { return data_.get(); }
  const std::string& Path() const { return path_; }

 private:
  // The data sets, then the template.
  void Load();
  // Sets the limits the options give: --max-steps, --page-memory.
  void ApplyLimits() const;
  // The limits set, the template loaded and its data bands checked: what
  // Prepare and PrepareAndPreview do before forming.
  void LoadForPreparing();

  Options options_;
  std::string path_;
  std::unique_ptr<DataOptions> data_;  // freed after the report that reads it
  TfrReport report_;
};

}  // namespace quillet::cli
