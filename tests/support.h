// Shared test helpers: output files, and the engine state every test starts from.
#pragma once

#include <functional>
#include <string>

namespace quillet {
class EngineHost;
class PlatformPrinter;
}  // namespace quillet

namespace quillet::test {

// Path of a file in the build tree's test-output folder (created on demand).
std::string OutputPath(const std::string& name);

// Puts the engine in the state a new run starts from: the printer `obtain`
// gives (the virtual printer when empty), `host` answering messages (none
// when null), no preparation state and no global variables.
void StartFreshEngine(const std::function<PlatformPrinter*()>& obtain = nullptr,
                      EngineHost* host = nullptr);
// Leaves the engine as a test found it: no host, no preparation state, no printer.
void StopFreshEngine();

// The two around a scope.
class FreshEngine {
 public:
  explicit FreshEngine(const std::function<PlatformPrinter*()>& obtain = nullptr,
                       EngineHost* host = nullptr) {
    StartFreshEngine(obtain, host);
  }
  ~FreshEngine() { StopFreshEngine(); }
  FreshEngine(const FreshEngine&) = delete;
  FreshEngine& operator=(const FreshEngine&) = delete;
};

}  // namespace quillet::test
