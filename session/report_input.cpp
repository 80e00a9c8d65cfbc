#include "session/report_input.h"

#include "report/script/report_interpretator.h"
#include "session/data_options.h"
#include "session/input_file.h"
#include "session/template_loading.h"

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

void ReportInput::LoadTemplateUnchecked() {
  Load();
}

void ReportInput::LoadForPreparing() {
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
}

bool ReportInput::Prepare() {
  LoadForPreparing();
  return report_.Prepare();
}

TfrReport::PreviewRun ReportInput::PrepareAndPreview() {
  LoadForPreparing();
  return report_.PrepareAndPreview();
}

bool ReportInput::LoadPages() {
  if (IsTemplate()) return Prepare();
  if (DataOptions::Given(options_))
    throw UsageError("the data options apply to a template; " + path_ +
                     " is a prepared-report file");
  report_.LoadPrepared(path_);
  return true;
}

std::shared_ptr<TfrReport> ReportInput::PreparedTemplate(const Options& options,
                                                         const std::string& path) {
  auto input = std::make_shared<ReportInput>(options, path);
  if (!input->Prepare()) return nullptr;
  // The report shares the life of the input that holds its data sets.
  return {input, &input->Report()};
}

void ReportInput::MoveDataSetsToFirstRecord() {
  if (data_) data_->MoveToFirstRecords();
}

}  // namespace quillet::cli
