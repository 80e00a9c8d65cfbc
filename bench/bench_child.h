// Work a benchmark runs in a child process of its own program, so that the
// child's peak memory and CPU time are those of that work alone (a floor to
// compare a quillet-cli child with, say). `PROGRAM --child NAME ARGS...`
// runs the task registered under NAME with ARGS and exits with its result.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quillet::bench {

using ChildTask = std::function<int(const std::vector<std::string>& args)>;

// Registers `task` under `name`; returns true so that a namespace-scope
// constant can register at start-up.
bool RegisterChildTask(const std::string& name, ChildTask task);

}  // namespace quillet::bench
