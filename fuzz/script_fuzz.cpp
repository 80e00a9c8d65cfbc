// A hostile script translated and run. The bytes are the script's lines
// (split at line feeds). Translation may only report errors; running may
// fail only with the engine's errors, and ends after a bounded number of
// lines. Names are a small list of variables; functions are the standard
// library's, whose dialogs a silent host answers.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/silent_host.h"
#include "platform/errors.h"
#include "report/component/engine_library.h"
#include "report/expr/expression_globals.h"
#include "report/functions/function_library.h"
#include "report/script/interpretator.h"

namespace {

using namespace quillet;

class FuzzInterpreter : public TfrInterpretator {
 public:
  void ValueOf(const std::string& name, Variant& value) override {
    if (int i = vars.IndexOfName(name); i >= 0)
      value = vars.ValueAt(i);
    else if (int c = Expressions(Engine()).NamedConstants.IndexOfName(name); c >= 0)
      value = Expressions(Engine()).NamedConstants.ValueAt(c);
  }
  void Assign(const std::string& name, const Variant& value) override {
    // Doubling a text in a loop would exhaust memory long before the step
    // bound; a real report runs such a script only as far as memory lasts.
    if (const std::string* text = value.IfText(); text && text->size() > (1u << 16))
      throw EngineError("text too long");
    if (vars.Count() > 256) vars.Clear();
    vars.SetValue(name, value);
  }
  void InvokeFunction(const std::string& name, const Variant& p1, const Variant& p2,
                      const Variant& p3, Variant& value) override {
    value = Variant("0");
    for (const auto& library : FunctionLibraries(Engine()))
      if (library->HandleCall(name, p1, p2, p3, value)) return;
  }
  TfrVariables vars;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static quillet::fuzz::SilentHost host;
  static const bool started = [] {
    Engine().SetHost(&host);
    StartEngineLibrary(Engine());
    return true;
  }();
  (void)started;
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n')
      lines.emplace_back();
    else
      lines.back() += static_cast<char>(data[i]);
  }
  FuzzInterpreter in;
  in.MaxSteps = 20000;
  CodeLines code;
  std::vector<std::string> errors;
  in.Translate(lines, code, errors);
  if (errors.size() > 1) std::abort();
  for (const std::string& line : code)
    if (line.empty()) std::abort();
  try {
    in.Run(code);
  } catch (const EngineError&) {
  }
  if (in.StepsRun > in.MaxSteps + 1) std::abort();
  return 0;
}
