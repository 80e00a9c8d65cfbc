// The one main of every benchmark program: a Qt application on the offscreen
// platform and the engine's session with the virtual printer, then the
// benchmarks the command line selects, or the child task `--child NAME`
// names (bench_child.h).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>

#include "bench/bench_child.h"
#include "session/engine_session.h"

namespace quillet::bench {
namespace {

std::map<std::string, ChildTask>& ChildTasks() {
  static std::map<std::string, ChildTask> tasks;
  return tasks;
}

}  // namespace

bool RegisterChildTask(const std::string& name, ChildTask task) {
  ChildTasks()[name] = std::move(task);
  return true;
}

}  // namespace quillet::bench

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  quillet::EngineSession session(nullptr, quillet::SessionPrinters::VirtualOnly);
  if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
    const auto& tasks = quillet::bench::ChildTasks();
    const auto task = tasks.find(argv[2]);
    if (task == tasks.end()) {
      std::cerr << argv[0] << ": no child task " << argv[2] << "\n";
      return 2;
    }
    try {
      return task->second(std::vector<std::string>(argv + 3, argv + argc));
    } catch (const std::exception& e) {
      std::cerr << argv[0] << " --child " << argv[2] << ": " << e.what() << "\n";
      return 1;
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
