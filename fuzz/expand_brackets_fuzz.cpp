// Bracket expansion on hostile text with an evaluator that answers every
// expression through the parser, whose hooks answer every name. Expansion
// must end, and errors may only be the parser's own.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/errors.h"
#include "report/expr/brackets.h"
#include "report/expr/function_splitter.h"
#include "report/expr/parser.h"

namespace {

using namespace quillet;

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static TfrParser parser = [] {
    TfrParser p;
    p.ValueHook = [](const std::string& name, Variant& v) { v = Variant(name + "!"); };
    p.FunctionHook = [](const std::string& name, const Variant&, const Variant&, const Variant&,
                        Variant& v) { v = Variant(static_cast<std::int64_t>(name.size())); };
    return p;
  }();
  std::size_t calls = 0;
  try {
    const std::string out = ExpandBrackets(text, [&](const std::string& inner) {
      ++calls;
      try {
        return parser.Calc(inner).AsText();
      } catch (const ParserError&) {
        return std::string("?");
      } catch (const ConversionError&) {
        return std::string("?");
      }
    });
    // Every expansion consumes at least one bracket of the input.
    Check(calls <= text.size());
  } catch (const std::exception&) {
    std::abort();
  }
  TfrVariables variables;
  variables.SetValue("A", Variant(text));
  TfrFunctionSplitter splitter({"SUM", "COUNT"}, &variables);
  try {
    splitter.Split(text);
  } catch (const ParserError&) {
  }
  return 0;
}
