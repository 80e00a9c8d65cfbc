#include "cli/report_input.h"

#include "cli/data_options.h"
#include "cli/input_file.h"
#include "cli/template_loading.h"
#include "report/script/report_interpretator.h"

namespace quillet::cli {

ReportInput::ReportInput(const Options& options, std::string path)
    : options_(options), path_(CheckedInputFile(path)) {}

ReportInput::~ReportInput() = default;

bool ReportInput::IsTemplate() const {
  return IsTemplateFile(path_);
}

void ReportInput::Load() {
  data_ = std::make_unique<DataOptions>(options_);
  LoadTemplateAnyForm(report_, path_);
}

void ReportInput::LoadTemplate() {
  Load();
  if (DataOptions::Given(options_)) DataOptions::CheckTemplate(report_);
}

void ReportInput::LoadTemplateUnchecked() { Load(); }

bool ReportInput::Prepare() {
  // Each script the report runs may take this many lines.
  if (const auto steps = options_.Value("max-steps")) {
    if (steps->empty() || steps->find_first_not_of("0123456789") != std::string::npos ||
        steps->size() > 15 || std::stoull(*steps) == 0)
      throw UsageError("--max-steps wants a whole number of at least 1, not '" + *steps + "'");
    ReportInterpreter().MaxSteps = std::stoull(*steps);
  }
  Load();
  if (report_.Template.Pages.empty()) throw UsageError(path_ + " holds no page to prepare");
  DataOptions::CheckTemplate(report_);
  return report_.Prepare();
}

bool ReportInput::LoadPages() {
  if (IsTemplate()) return Prepare();
  if (DataOptions::Given(options_))
    throw UsageError("the data options apply to a template; " + path_ +
                     " is a prepared-report file");
  report_.LoadPrepared(path_);
  return true;
}

void ReportInput::MoveDataSetsToFirstRecord() {
  if (data_) data_->MoveToFirstRecords();
}

}  // namespace quillet::cli
