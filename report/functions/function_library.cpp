#include "report/functions/function_library.h"

#include <algorithm>

#include "platform/errors.h"
#include "report/base/text_format.h"

namespace quillet {

bool TfrFunctionLibrary::HandleCall(const std::string& name, const Variant& p1, const Variant& p2,
                                    const Variant& p3, Variant& result) {
  for (std::size_t i = 0; i < FunctionNames.size(); ++i)
    if (EqualsIgnoreCase(FunctionNames[i], name)) {
      RunFunction(static_cast<int>(i), p1, p2, p3, result);
      return true;
    }
  return false;
}

void EngineObjectDeleter::operator()(TfrFunctionLibrary* library) const {
  delete library;
}

std::span<const EngineOwned<TfrFunctionLibrary>> FunctionLibraries(const EngineGlobals& engine) {
  return {engine.FunctionLibraries.data(), static_cast<std::size_t>(engine.FunctionLibraryCount)};
}

void RegisterFunctionLibrary(EngineGlobals& engine, std::unique_ptr<TfrFunctionLibrary> library) {
  if (!library) return;
  for (const auto& registered : FunctionLibraries(engine))
    if (registered->ClassName() == library->ClassName()) return;
  if (engine.FunctionLibraryCount >= EngineGlobals::kMaxFunctionLibraries)
    throw EngineError("No room to register the function library " + library->ClassName() + ": " +
                      std::to_string(EngineGlobals::kMaxFunctionLibraries) + " are registered");
  engine.FunctionLibraries[std::size_t(engine.FunctionLibraryCount++)].reset(library.release());
}

void UnregisterFunctionLibrary(EngineGlobals& engine, const std::string& className) {
  auto first = engine.FunctionLibraries.begin();
  auto last = first + engine.FunctionLibraryCount;
  auto found =
      std::find_if(first, last, [&](const auto& l) { return l->ClassName() == className; });
  if (found == last) return;
  // Moved out first, so the library is freed with the registry consistent.
  EngineOwned<TfrFunctionLibrary> removed = std::move(*found);
  std::move(found + 1, last, found);
  --engine.FunctionLibraryCount;
  removed.reset();
}

}  // namespace quillet
