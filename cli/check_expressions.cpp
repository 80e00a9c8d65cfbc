#include "cli/check_expressions.h"

#include <exception>

#include "cli/check_names.h"
#include "report/base/text_format.h"
#include "report/component/function_names.h"
#include "report/expr/brackets.h"
#include "report/expr/expression_globals.h"
#include "report/expr/function_splitter.h"
#include "report/expr/text_routines.h"
#include "report/script/aggregate_splitter.h"
#include "report/script/report_interpretator.h"
#include "report/script/script_translator.h"
#include "report/template/page.h"
#include "report/template/report_template.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"

namespace quillet::cli {
namespace {

bool IsAggregate(std::string_view name) {
  for (std::string_view a : {"SUM", "AVG", "MIN", "MAX", "COUNT"})
    if (EqualsIgnoreCase(name, a)) return true;
  return false;
}

std::string Trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Whether `name` stands as a name of its own in `expression`, outside
// quoted texts.
bool MentionsName(std::string_view expression, std::string_view name) {
  auto isNamePart = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '#';
  };
  bool quoted = false;
  for (std::size_t i = 0; i < expression.size(); ++i) {
    if (expression[i] == '\'') quoted = !quoted;
    if (quoted || i + name.size() > expression.size()) continue;
    if (!EqualsIgnoreCase(expression.substr(i, name.size()), name)) continue;
    const bool startsName = i == 0 || !isNamePart(expression[i - 1]);
    const std::size_t after = i + name.size();
    if (startsName && (after == expression.size() || !isNamePart(expression[after]))) return true;
  }
  return false;
}

// The checks of one page's scripts and expressions.
class PageChecker {
 public:
  PageChecker(const TfrTemplate& t, const TfrPage& page, Findings& findings)
      : template_(t), page_(page), findings_(findings) {
    for (const auto& view : page.Objects)
      if (dynamic_cast<const TfrBandView*>(view.get())) bandNames_.push_back(view->Name);
  }

  void Script(const std::string& owner, const std::string& pointer, const StringList& script) {
    if (script.empty()) return;
    CodeLines code;
    std::vector<std::string> errors;
    ReportInterpreter(template_.Globals()).Translate(script, code, errors);
    for (const std::string& e : errors) Error(owner, pointer, "script: " + e);
    if (!errors.empty()) return;
    const ScriptTranslation translation = TranslateScript(script);
    if (!translation.unreadFrom.empty())
      Warning(owner, pointer,
              "script: " + translation.unreadFrom +
                  ": only the first statement runs; put the statements in begin ... end");
    TfrFunctionSplitter calls({}, nullptr);
    calls.MatchAll = true;
    SplitCodeLines(calls, translation.code);
    for (const std::string& call : calls.FoundCalls) Call(owner, pointer, "script", call);
    for (const std::string& line : script)
      if (MentionsName(line, "TOTALPAGES")) {
        TotalPages(owner, pointer, "script");
        break;
      }
  }

  // Every bracketed expression of the lines, without its format suffix.
  void Brackets(const std::string& owner, const std::string& pointer, const StringList& lines) {
    for (std::size_t n = 0; n < lines.size(); ++n) {
      const std::string& line = lines[n];
      const std::string at = pointer + "/" + std::to_string(n);
      std::size_t i = 0;
      while ((i = line.find('[', i)) != std::string::npos) {
        const BracketMatch m = FindBracket(line, i);
        if (!m.closed) {
          Error(owner, at,
                "\"[\" at character " + std::to_string(i + 1) +
                    " is never closed: " + line.substr(i));
          break;
        }
        std::string expression = m.inner;
        if (const auto suffix = expression.find(" #"); suffix != std::string::npos)
          expression.resize(suffix);
        Expression(owner, at, expression, "[" + m.inner + "]");
        i = m.end + 1;
      }
    }
  }

  // One expression: converted, its calls looked up, TOTALPAGES weighed.
  void Expression(const std::string& owner, const std::string& pointer,
                  const std::string& expression, const std::string& shown) {
    try {
      Expressions(template_.Globals()).Parser.ToPostfix(expression);
    } catch (const std::exception& e) {
      Error(owner, pointer, shown + ": " + e.what());
      return;
    }
    TfrFunctionSplitter calls({}, nullptr);
    calls.MatchAll = true;
    calls.Split(expression);
    for (const std::string& call : calls.FoundCalls) Call(owner, pointer, shown, call);
    if (MentionsName(expression, "TOTALPAGES")) TotalPages(owner, pointer, shown);
  }

 private:
  void Call(const std::string& owner, const std::string& pointer, const std::string& shown,
            const std::string& call) {
    std::size_t i = 0;
    const std::string name = ReadToken(call, i);
    if (!IsKnownFunction(template_.Globals(), name)) {
      Error(owner, pointer, shown + ": unknown function " + name);
      return;
    }
    if (!IsAggregate(name) || i >= call.size()) return;
    const CallArguments args = ReadArguments(call, i);
    const std::string band = Trimmed(EqualsIgnoreCase(name, "COUNT") ? args.p1 : args.p2);
    if (band.empty()) return;
    for (const std::string& known : bandNames_)
      if (EqualsIgnoreCase(known, band)) return;
    Error(owner, pointer,
          shown + ": " + UpperCase(name) + " over band \"" + band + "\", which page " + page_.Name +
              " does not have" + Suggestion(band, bandNames_));
  }

  void TotalPages(const std::string& owner, const std::string& pointer, const std::string& shown) {
    if (template_.TwoPass) return;
    Warning(owner, pointer,
            shown + ": TOTALPAGES is 0 in a report formed once; set \"twoPass\": true");
  }

  void Error(const std::string& owner, const std::string& pointer, std::string message) {
    findings_.Add(Severity::Error, owner, pointer, std::move(message));
  }
  void Warning(const std::string& owner, const std::string& pointer, std::string message) {
    findings_.Add(Severity::Warning, owner, pointer, std::move(message));
  }

  const TfrTemplate& template_;
  const TfrPage& page_;
  Findings& findings_;
  std::vector<std::string> bandNames_;
};

}  // namespace

void CheckScriptsAndExpressions(const TfrTemplate& t, const TemplatePlaces& places,
                                Findings& findings) {
  for (std::size_t p = 0; p < t.Pages.size(); ++p) {
    const TfrPage& page = *t.Pages[p];
    PageChecker check(t, page, findings);
    check.Script(page.Name, TemplatePlaces::Page(p) + "/script", page.ScriptLines);
    for (const auto& view : page.Objects) {
      const std::string at = places.Of(*view);
      check.Script(view->Name, at + "/script", view->ScriptLines);
      if (auto* memo = dynamic_cast<const TfrMemoView*>(view.get())) {
        if (!(memo->Flags & flTextOnly)) check.Brackets(view->Name, at + "/text", memo->Memo);
        if (!memo->HighlightCondition.empty())
          check.Expression(view->Name, at + "/highlight/condition", memo->HighlightCondition,
                           memo->HighlightCondition);
      }
      auto* band = dynamic_cast<const TfrBandView*>(view.get());
      if (band && band->FrameTyp == btGroupHeader && !band->FormatText.empty())
        check.Expression(view->Name, at + "/condition", band->FormatText, band->FormatText);
    }
  }
}

}  // namespace quillet::cli
