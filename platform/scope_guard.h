// Scope guards: an action that runs when a scope ends, also when an error
// passes through it. Actions must not throw.
#pragma once

#include <utility>

namespace quillet {

template <typename Action>
class [[nodiscard]] ScopeGuard {
 public:
  explicit ScopeGuard(Action action) : action_(std::move(action)) {}
  ~ScopeGuard() { action_(); }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

 private:
  Action action_;
};

// Puts a variable back to the value it had when the guard was made.
template <typename T>
class [[nodiscard]] KeepValue {
 public:
  explicit KeepValue(T& variable) : variable_(variable), saved_(variable) {}
  ~KeepValue() { variable_ = std::move(saved_); }
  KeepValue(const KeepValue&) = delete;
  KeepValue& operator=(const KeepValue&) = delete;

 private:
  T& variable_;
  T saved_;
};

}  // namespace quillet
