// quillet-cli check: every script of a template translated and every
// bracketed expression, highlight and group condition converted, without
// preparing the template; each problem listed on its own line. With data
// options the data bands are checked against the data sets too.
#include <iostream>

#include "cli/commands.h"
#include "cli/group_order.h"
#include "cli/missing_fields.h"
#include "platform/errors.h"
#include "report/component/report.h"
#include "report/expr/brackets.h"
#include "report/expr/expression_globals.h"
#include "report/script/report_interpretator.h"
#include "report/script/script_translator.h"
#include "report/template/page.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"
#include "session/command_options.h"
#include "session/data_options.h"
#include "session/report_input.h"

namespace quillet::cli {
namespace {

class Checker {
 public:
  void Script(const std::string& owner, const StringList& script) {
    if (script.empty()) return;
    CodeLines code;
    std::vector<std::string> errors;
    ReportInterpreter().Translate(script, code, errors);
    for (const std::string& e : errors) Problem(owner + ": " + e);
    if (!errors.empty()) return;
    const std::string unread = TranslateScript(script).unreadFrom;
    if (!unread.empty())
      Problem(owner + ": " + unread +
              ": only the first statement runs; put the statements in begin ... end");
  }

  void Expression(const std::string& owner, const std::string& expression) {
    try {
      Expressions().Parser.ToPostfix(expression);
    } catch (const std::exception& e) {
      Problem(owner + ": " + expression + ": " + e.what());
    }
  }

  // Every bracketed expression of the lines, without its format suffix.
  void Brackets(const std::string& owner, const StringList& lines) {
    for (const std::string& line : lines) {
      std::size_t i = 0;
      while ((i = line.find('[', i)) != std::string::npos) {
        const BracketMatch m = FindBracket(line, i);
        if (!m.found) break;
        std::string expression = m.inner;
        if (const auto suffix = expression.find(" #"); suffix != std::string::npos)
          expression.resize(suffix);
        Expression(owner, expression);
        i = m.end + 1;
      }
    }
  }

  int problems = 0;

 private:
  void Problem(const std::string& line) {
    std::cout << line << "\n";
    ++problems;
  }
};

}  // namespace

int RunCheck(const Args& args) {
  const Options options(args, {}, DataOptions::Names());
  if (options.Positional().size() != 1) throw UsageError("give exactly one template file");
  ReportInput input(options, options.Positional().front());
  input.LoadTemplate();
  TfrReport& report = input.Report();

  Checker check;
  int pageNumber = 0;
  for (const auto& page : report.Template.Pages) {
    ++pageNumber;
    check.Script("Page" + std::to_string(pageNumber), page->ScriptLines);
    for (const auto& view : page->Objects) {
      check.Script(view->Name, view->ScriptLines);
      if (auto* memo = dynamic_cast<TfrMemoView*>(view.get())) {
        check.Brackets(view->Name, memo->Memo);
        if (!memo->HighlightCondition.empty())
          check.Expression(view->Name, memo->HighlightCondition);
      }
      auto* band = dynamic_cast<TfrBandView*>(view.get());
      if (band && band->FrameTyp == btGroupHeader && !band->FormatText.empty())
        check.Expression(view->Name, band->FormatText);
    }
  }
  // Data out of group order is a warning: the report forms, only its groups
  // come apart.
  std::vector<std::string> warnings;
  if (DataOptions::Given(options)) {
    warnings = MissingFieldWarnings(report);
    for (std::string& line : UnsortedGroupWarnings(report)) warnings.push_back(std::move(line));
  }
  for (const std::string& line : warnings) std::cout << line << "\n";
  if (check.problems == 0)
    std::cout << (warnings.empty() ? "no problems\n"
                                   : "no problems; " + std::to_string(warnings.size()) +
                                         (warnings.size() == 1 ? " warning\n" : " warnings\n"));
  return check.problems == 0 ? 0 : 1;
}

}  // namespace quillet::cli
