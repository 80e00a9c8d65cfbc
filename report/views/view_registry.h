// The object kinds the engine can make, and the factory that makes them.
#pragma once

#include <memory>
#include <string>

#include "report/base/engine_state.h"

namespace quillet {

class TfrView;

// Registers a class by name. Registering a name already present does
// nothing; a 33rd kind is refused with RangeError naming the class.
void RegisterObjectKind(EngineGlobals& engine, const std::string& className, ViewFactory factory,
                        RasterImage picture, const std::string& hintText);
// Registers the class made for one of the built-in kinds 0 .. 4 (text,
// picture, band, sub-report, line).
void RegisterBuiltInKind(std::uint8_t kind, ViewFactory factory);

// A new view for a kind byte: 0 .. 4 the built-in kinds, 10 the class
// registered under exactly `className`; other kinds give nullptr. Every view
// made takes the next SerialNumber. An unregistered class name is appended
// (with a carriage return) to CalcErrorText, sets CalcErrorFlag and raises
// ClassNotFoundError carrying the whole CalcErrorText.
std::unique_ptr<TfrView> CreateViewByKind(EngineGlobals& engine, std::uint8_t kind,
                                          const std::string& className);

// Registers every kind of this engine (shapes included); idempotent.
void RegisterEngineKinds(EngineGlobals& engine);

}  // namespace quillet
