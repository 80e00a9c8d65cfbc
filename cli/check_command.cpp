// quillet-cli check: the mistakes of a template found before it runs.
// Every script is translated and every bracketed expression, highlight and
// group condition converted and its calls looked up; objects are placed on
// their pages and bands; with data options, data bands and data references
// are checked against the data sets, and groups against the order of
// their rows. Nothing is prepared.
#include <fstream>
#include <iostream>
#include <iterator>

#include "cli/check_expressions.h"
#include "cli/check_findings.h"
#include "cli/check_layout.h"
#include "cli/commands.h"
#include "cli/group_order.h"
#include "cli/missing_fields.h"
#include "report/component/engine_library.h"
#include "report/component/report.h"
#include "report/template/template_json.h"
#include "session/command_options.h"
#include "session/data_options.h"
#include "session/report_input.h"
#include "session/template_loading.h"

namespace quillet::cli {
namespace {

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A JSON template the reader refuses is one finding at the member it
// refused; false then, as nothing else can be checked.
bool JsonReadable(const std::string& text, Findings& findings) {
  TfrTemplate scratch;
  try {
    ReadTemplateJson(text, scratch);
    return true;
  } catch (const TemplateJsonError& e) {
    Finding f;
    f.pointer = e.Path();
    f.message = e.Message();
    f.line = e.Line();
    f.column = e.Column();
    findings.Add(std::move(f));
    return false;
  }
}

void Print(const Options& options, const Findings& findings, const std::string& file,
           const std::string& jsonText) {
  if (options.Has("json"))
    PrintFindingsJson(std::cout, findings, file, jsonText);
  else
    PrintFindings(std::cout, findings, file, jsonText);
}

int Check(const Options& options, const std::string& file) {
  ReportInput input(options, file);
  StartEngineLibrary(input.Report().Globals());  // the standard functions are known from here on
  const std::string jsonText = IsJsonTemplateFile(file) ? FileText(file) : std::string();
  Findings findings;
  if (!jsonText.empty() && !JsonReadable(jsonText, findings)) {
    Print(options, findings, file, jsonText);
    return findings.ExitCode();
  }
  input.LoadTemplateUnchecked();
  TfrReport& report = input.Report();
  const TemplatePlaces places(report.Template);
  const bool dataGiven = DataOptions::Given(options);

  CheckScriptsAndExpressions(report.Template, places, findings);
  CheckObjectPlaces(report.Template, places, findings);
  CheckDataSources(report.Template, places, dataGiven, findings);
  if (dataGiven && input.Data()) {
    CheckDataReferences(report.Template, places, input.Data()->GivenDataSets(), findings);
    // Data out of group order forms, only its groups come apart.
    for (const GroupWarning& w : UnsortedGroupWarnings(report))
      findings.Add(Severity::Warning, w.band->Name, places.Of(*w.band), w.message);
  }
  Print(options, findings, file, jsonText);
  return findings.ExitCode();
}

}  // namespace

int RunCheck(const Args& args) {
  const Options options(args, {"json"}, DataOptions::Names());
  if (options.Positional().size() != 1) throw UsageError("give exactly one template file");
  const std::string& file = options.Positional().front();
  // A template or data that cannot be read at all is an error like any
  // other finding: exit code 2, the reason on standard error.
  try {
    return Check(options, file);
  } catch (const UsageError&) {
    throw;
  } catch (const AlreadyReported&) {
    return 2;
  } catch (const std::exception& e) {
    std::string line = e.what();
    for (char& c : line)
      if (c == '\r' || c == '\n') c = ' ';
    std::cerr << "quillet-cli check: " << line << "\n";
    return 2;
  }
}

}  // namespace quillet::cli
