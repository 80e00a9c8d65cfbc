// Function libraries: named functions that expressions call. The report
// offers every call to the registered libraries in registration order
// before its own procedures. The standard library is registered by the
// engine globals, which arrive later; until then the registry is empty.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "report/base/engine_state.h"
#include "report/base/variant.h"

namespace quillet {

class TfrFunctionLibrary {
 public:
  virtual ~TfrFunctionLibrary() = default;
  virtual std::string ClassName() const = 0;
  // When `name` is one of FunctionNames (letter case ignored), runs it and
  // answers true. Arguments are the raw argument texts.
  virtual bool HandleCall(const std::string& name, const Variant& p1, const Variant& p2,
                          const Variant& p3, Variant& result);
  virtual void RunFunction(int index, const Variant& p1, const Variant& p2, const Variant& p3,
                           Variant& result) = 0;

  std::vector<std::string> FunctionNames;
};

// The registered libraries in registration order: the engine's 32 slots,
// as far as they are filled.
std::span<const EngineOwned<TfrFunctionLibrary>> FunctionLibraries(const EngineGlobals& engine);
// Appends the library unless one of its class name is registered. A 33rd
// library raises EngineError: its functions would be missing silently.
void RegisterFunctionLibrary(EngineGlobals& engine, std::unique_ptr<TfrFunctionLibrary> library);
// Frees the library of that class name; the later ones move up one slot.
void UnregisterFunctionLibrary(EngineGlobals& engine, const std::string& className);

}  // namespace quillet
