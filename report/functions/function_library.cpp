#include "report/functions/function_library.h"

#include <algorithm>

#include "report/base/text_format.h"

namespace quillet {

constexpr std::size_t kMaxLibraries = 32;

bool TfrFunctionLibrary::HandleCall(const std::string& name, const Variant& p1, const Variant& p2,
                                    const Variant& p3, Variant& result) {
  for (std::size_t i = 0; i < FunctionNames.size(); ++i)
    if (EqualsIgnoreCase(FunctionNames[i], name)) {
      RunFunction(static_cast<int>(i), p1, p2, p3, result);
      return true;
    }
  return false;
}

std::vector<std::unique_ptr<TfrFunctionLibrary>>& FunctionLibraries() {
  static std::vector<std::unique_ptr<TfrFunctionLibrary>> list;
  return list;
}

void RegisterFunctionLibrary(std::unique_ptr<TfrFunctionLibrary> library) {
  auto& list = FunctionLibraries();
  if (!library || list.size() >= kMaxLibraries) return;
  for (const auto& l : list)
    if (l->ClassName() == library->ClassName()) return;
  list.push_back(std::move(library));
}

void UnregisterFunctionLibrary(const std::string& className) {
  auto& list = FunctionLibraries();
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const auto& l) { return l->ClassName() == className; }),
             list.end());
}

}  // namespace quillet
