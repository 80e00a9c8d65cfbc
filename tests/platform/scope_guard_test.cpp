// Scope guards run their action when the scope ends, also when an error
// passes through it.
#include "platform/scope_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace quillet {
namespace {

TEST(ScopeGuard, RunsOnceOnNormalExitAndWhenAnErrorPassesThrough) {
  int runs = 0;
  {
    const ScopeGuard guard([&runs] { ++runs; });
    EXPECT_EQ(runs, 0);
  }
  EXPECT_EQ(runs, 1);
  EXPECT_THROW(
      {
        const ScopeGuard guard([&runs] { ++runs; });
        throw std::runtime_error("boom");
      },
      std::runtime_error);
  EXPECT_EQ(runs, 2);
}

TEST(KeepValue, PutsTheValueBackWhateverHappenedMeanwhile) {
  std::string text = "template";
  {
    const KeepValue<std::string> keep(text);
    text = "changed";
  }
  EXPECT_EQ(text, "template");
  EXPECT_THROW(
      {
        const KeepValue<std::string> keep(text);
        text.clear();
        throw std::runtime_error("boom");
      },
      std::runtime_error);
  EXPECT_EQ(text, "template");
}

}  // namespace
}  // namespace quillet
