// The names a call in an expression reaches while a report prepares: the
// parser's own functions and operators, the registered function libraries,
// the report's procedures, and the methods an object answers by its bare
// name. A call of any other name is a mistake that would otherwise print 0.
#pragma once

#include <string>
#include <string_view>

#include "platform/errors.h"

namespace quillet {

struct EngineGlobals;

// Whether a call of `name` (letter case ignored) reaches a function. A
// name with a dot calls an object's method and counts as known. Libraries
// are looked up as registered now (the standard one once the engine
// library started).
bool IsKnownFunction(const EngineGlobals& engine, std::string_view name);

// The error a call of an unknown function raises: Unknown function "SUMM".
ParserError UnknownFunction(std::string_view name);

}  // namespace quillet
