#include "report/component/function_names.h"

#include <array>

#include "report/base/text_format.h"
#include "report/functions/function_library.h"

namespace quillet {
namespace {

// Calls the parser answers itself (functions, and operators written as
// calls: INT(x), NOT(a)), the report's procedures, the interpreter's EXIT,
// and the methods views answer without an object before them.
constexpr std::array<std::string_view, 29> kBuiltInCalls = {
    "COPY",     "IF",    "STRTODATE", "STRTOTIME",  "INT",         "FRAC",
    "STR",      "ROUND", "NOT",       "MOD",        "AND",         "OR",
    "TRUE",     "FALSE", "EXIT",      "STOPREPORT", "NEWPAGE",     "NEWCOLUMN",
    "SHOWBAND", "INC",   "DEC",       "SETARRAY",   "GETARRAY",    "HIDE",
    "SHOW",     "NEXT",  "PRIOR",     "FIRST",      "LOADFROMFILE"};

}  // namespace

bool IsKnownFunction(const EngineGlobals& engine, std::string_view name) {
  if (name.find('.') != std::string_view::npos) return true;
  for (std::string_view known : kBuiltInCalls)
    if (EqualsIgnoreCase(name, known)) return true;
  for (const auto& library : FunctionLibraries(engine))
    for (const std::string& known : library->FunctionNames)
      if (EqualsIgnoreCase(name, known)) return true;
  return false;
}

ParserError UnknownFunction(std::string_view name) {
  return ParserError("Unknown function \"" + std::string(name) + "\"");
}

}  // namespace quillet
