// quillet-cli eval: one expression evaluated as a report preparing a
// template would evaluate a bracket, with preset user variables.
#include <iostream>
#include <optional>
#include <stdexcept>

#include "cli/cli_values.h"
#include "cli/commands.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/component/report.h"
#include "report/expr/expression_globals.h"
#include "session/command_options.h"
#include "session/data_options.h"
#include "session/report_input.h"

namespace quillet::cli {
namespace {

struct EvalRequest {
  std::string expression;
  std::string templatePath;
  std::vector<std::pair<std::string, Variant>> variables;  // typed as given
  Args dataArgs;                                           // the data options, as given
  bool json = false;
  bool postfix = false;
};

// A mistake of this command is an error line and exit code 1; a malformed
// --var is a usage error (exit code 2), as for every command that takes one.
std::runtime_error Mistake(const std::string& what) {
  return std::runtime_error(what);
}

// "--csv", "--db=shop.sqlite", ...: the options every command that loads a
// template takes.
bool IsDataOption(const std::string& arg) {
  if (arg.rfind("--", 0) != 0) return false;
  return DataOptions::Names().count(arg.substr(2, arg.find('=') - 2)) > 0;
}

EvalRequest ParseRequest(const Args& args) {
  EvalRequest r;
  bool haveExpression = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto valueOf = [&](const std::string& option) {
      if (i + 1 >= args.size()) throw Mistake("option " + option + " needs a value");
      return args[++i];
    };
    if (a == "--json") {
      r.json = true;
    } else if (a == "--postfix") {
      r.postfix = true;
    } else if (a == "--template") {
      r.templatePath = valueOf(a);
    } else if (a == "--var") {
      r.variables.push_back(NamedValue(valueOf(a)));
    } else if (IsDataOption(a)) {
      r.dataArgs.push_back(a);
      if (a.find('=') == std::string::npos) r.dataArgs.push_back(valueOf(a));
    } else if (a.rfind("--", 0) == 0 && a.size() > 2) {
      throw Mistake("unknown option " + a);
    } else if (!haveExpression) {
      r.expression = a;
      haveExpression = true;
    } else {
      throw Mistake("give exactly one expression (quote it if it has spaces)");
    }
  }
  if (!haveExpression) throw Mistake("give the expression to evaluate");
  if (!r.dataArgs.empty() && r.templatePath.empty())
    throw UsageError("the data options need a template: give --template FILE");
  return r;
}

}  // namespace

int RunEval(const Args& args) {
  const EvalRequest r = ParseRequest(args);
  // Without --template the expression is evaluated in an empty report.
  TfrReport empty;
  TfrParser& parser = Expressions(empty.Globals()).Parser;
  if (r.postfix) {
    std::cout << EscapePostfix(parser.ToPostfix(r.expression)) << "\n";
    return 0;
  }
  std::optional<ReportInput> input;
  if (!r.templatePath.empty()) {
    input.emplace(Options(r.dataArgs, {}, DataOptions::Names()), r.templatePath);
    input->LoadTemplate();
    input->MoveDataSetsToFirstRecord();
  }
  TfrReport& report = input ? input->Report() : empty;
  for (const auto& [name, value] : r.variables)
    Expressions(report.Globals()).GlobalVariables.SetValue(name, value);
  report.StartEvaluation();
  Variant value;
  report.ResolveName(r.expression, value);
  const std::string text = ValueText(value);
  if (r.json)
    std::cout << "{\"type\": " << JsonString(TypeName(value)) << ", \"text\": " << JsonString(text)
              << "}\n";
  else
    std::cout << text << "\n";
  return 0;
}

}  // namespace quillet::cli
