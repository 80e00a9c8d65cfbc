// quillet-cli run-script: a script file translated and run as a report's
// interpreter runs it, then every user variable printed.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/cli_values.h"
#include "cli/commands.h"
#include "platform/errors.h"
#include "report/component/report.h"
#include "report/expr/expression_globals.h"
#include "report/script/report_interpretator.h"
#include "session/command_options.h"
#include "session/template_loading.h"

namespace quillet::cli {
namespace {

struct RunScriptRequest {
  std::string scriptPath;
  std::string templatePath;
  std::vector<std::pair<std::string, Variant>> variables;
  std::uint64_t maxSteps = TfrInterpretator::kDefaultMaxSteps;
  bool json = false;
};

RunScriptRequest ParseRequest(const Args& args) {
  RunScriptRequest r;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto valueOf = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError("option " + a + " needs a value");
      return args[++i];
    };
    if (a == "--json") {
      r.json = true;
    } else if (a == "--template") {
      r.templatePath = valueOf();
    } else if (a == "--var") {
      r.variables.push_back(NamedValue(valueOf()));
    } else if (a == "--max-steps") {
      const std::string& n = valueOf();
      if (n.empty() || n.find_first_not_of("0123456789") != std::string::npos || n.size() > 15 ||
          std::stoull(n) == 0)
        throw UsageError("--max-steps wants a whole number of at least 1, not '" + n + "'");
      r.maxSteps = std::stoull(n);
    } else if (a.rfind("--", 0) == 0) {
      throw UsageError("unknown option " + a);
    } else if (r.scriptPath.empty()) {
      r.scriptPath = a;
    } else {
      throw UsageError("give exactly one script file");
    }
  }
  if (r.scriptPath.empty()) throw UsageError("give the script file to run");
  return r;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileOpenError("Cannot open file \"" + path + "\"");
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void PrintVariables(const TfrVariables& variables, bool json) {
  if (json) std::cout << "{";
  for (int i = 0; i < variables.Count(); ++i) {
    const Variant value = variables.ValueAt(i);
    if (json)
      std::cout << (i ? ", " : "") << JsonString(variables.NameAt(i))
                << ": {\"type\": " << JsonString(TypeName(value))
                << ", \"text\": " << JsonString(ValueText(value)) << "}";
    else
      std::cout << variables.NameAt(i) << "=" << ValueText(value) << "\n";
  }
  if (json) std::cout << "}\n";
}

}  // namespace

int RunScriptFile(const Args& args) {
  const RunScriptRequest r = ParseRequest(args);
  const std::vector<std::string> source = ReadLines(r.scriptPath);
  TfrReport report;
  if (!r.templatePath.empty()) {
    if (!std::filesystem::exists(r.templatePath))
      throw UsageError("no such file: " + r.templatePath);
    LoadTemplateStream(report, r.templatePath);
  }
  TfrVariables& variables = Expressions(report.Globals()).GlobalVariables;
  variables.SetSorted(true);
  for (const auto& [name, value] : r.variables) variables.SetValue(name, value);
  report.StartEvaluation();

  TInterpretator& interpreter = ReportInterpreter(report.Globals());
  CodeLines code;
  std::vector<std::string> errors;
  interpreter.Translate(source, code, errors);
  if (!errors.empty()) {
    std::cerr << errors.front() << "\n";
    return 1;
  }
  interpreter.MaxSteps = r.maxSteps;
  interpreter.StepsRun = 0;
  try {
    report.RunCode(code);
  } catch (const std::exception& e) {
    interpreter.MaxSteps = TfrInterpretator::kDefaultMaxSteps;
    std::cerr << e.what() << "\n";
    return 2;
  }
  interpreter.MaxSteps = TfrInterpretator::kDefaultMaxSteps;
  PrintVariables(variables, r.json);
  return 0;
}

}  // namespace quillet::cli
