#include "session/report_input.h"

#include "report/prepared/page_stream.h"
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

void ReportInput::ApplyLimits() const {
  const auto whole = [](const std::string& text, std::size_t digits) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos &&
           text.size() <= digits;
  };
  // Each script the report runs may take this many lines.
  if (const auto steps = options_.Value("max-steps")) {
    if (!whole(*steps, 15) || std::stoull(*steps) == 0)
      throw UsageError("--max-steps wants a whole number of at least 1, not '" + *steps + "'");
    ReportInterpreter(report_.Globals()).MaxSteps = std::stoull(*steps);
  }
  // Prepared pages past this many MiB wait in a temporary file.
  if (const auto mib = options_.Value("page-memory")) {
    if (!whole(*mib, 7))
      throw UsageError("--page-memory wants a whole number of MiB from 0 to 9999999, not '" + *mib +
                       "'");
    PageStream::MemoryBudget = std::size_t(std::stoull(*mib)) << 20;
  }
}

void ReportInput::LoadForPreparing() {
  ApplyLimits();
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
  ApplyLimits();
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
