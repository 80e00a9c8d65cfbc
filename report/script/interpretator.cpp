#include "report/script/interpretator.h"

#include "report/base/locale_case.h"
#include "report/script/script_translator.h"

namespace quillet {
namespace {

// "EXIT(0)", the line a bare Exit becomes, ends the script.
bool IsExitLine(std::string_view expression) {
  while (!expression.empty() && expression.back() == ' ') expression.remove_suffix(1);
  return expression.size() == 7 && LocaleUpperCase(expression) == "EXIT(0)";
}

}  // namespace

TfrInterpretator::TfrInterpretator() {
  Parser.ValueHook = [this](const std::string& name, Variant& value) { ValueOf(name, value); };
  Parser.FunctionHook = [this](const std::string& name, const Variant& p1, const Variant& p2,
                               const Variant& p3,
                               Variant& value) { InvokeFunction(name, p1, p2, p3, value); };
}

void TfrInterpretator::ValueOf(const std::string&, Variant&) {}
void TfrInterpretator::Assign(const std::string&, const Variant&) {}
void TfrInterpretator::InvokeFunction(const std::string&, const Variant&, const Variant&,
                                      const Variant&, Variant&) {}

bool IsZeroValue(const Variant& value) {
  switch (value.GetType()) {
    case Variant::Type::Boolean: return !value.AsBoolean();
    case Variant::Type::Empty:
    case Variant::Type::Null: return false;  // Null equals nothing
    default: return value.AsFloat() == 0;
  }
}

void TfrInterpretator::Translate(const std::vector<std::string>& source, CodeLines& code,
                                 std::vector<std::string>& errors) {
  ScriptTranslation translation = TranslateScript(
      source, [this](std::string_view expression) { return Parser.ToPostfix(expression); });
  code = std::move(translation.code);
  errors = std::move(translation.errors);
}

void TfrInterpretator::Run(const CodeLines& code) {
  std::size_t i = 0;
  while (i < code.size()) {
    if (++StepsRun % kStopCheckInterval == 0 && StopRequested()) return;
    if (MaxSteps != 0 && StepsRun > MaxSteps)
      throw ScriptStepLimitError("Script stopped after " + std::to_string(MaxSteps) +
                                 " steps: it may loop for ever");
    const std::string& line = code[i];
    if (line.empty()) {
      ++i;
      continue;
    }
    switch (line[0]) {
      case kCodeCondJump: {
        const Variant condition = Parser.CalcPostfix(std::string_view(line).substr(3));
        i = IsZeroValue(condition) ? DecodeTarget(line) : i + 1;
        break;
      }
      case kCodeJump:
        if (line.size() != 3)
          throw EngineError("Undefined label \"" + line.substr(3) + "\" in goto");
        i = DecodeTarget(line);
        break;
      case kCodeExpression: {
        const std::string_view expression = std::string_view(line).substr(1);
        if (IsExitLine(expression)) return;
        Parser.CalcPostfix(expression);
        ++i;
        break;
      }
      default: {
        std::size_t nameEnd = line.find(' ');
        if (nameEnd == std::string::npos) nameEnd = line.size();
        std::size_t from = nameEnd;
        while (from < line.size() && line[from] == ' ') ++from;
        const Variant value = Parser.CalcPostfix(std::string_view(line).substr(from));
        Assign(line.substr(0, nameEnd), value);
        ++i;
      }
    }
  }
}

}  // namespace quillet
