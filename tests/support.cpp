#include "tests/support.h"

#include <filesystem>

namespace quillet::test {

std::string OutputPath(const std::string& name) {
  std::filesystem::path dir(QUILLET_TEST_OUTPUT);
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

}  // namespace quillet::test
