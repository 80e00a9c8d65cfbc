// Shared test helpers: the Qt application, the measuring canvas, output files.
#pragma once

#include <string>

namespace quillet::test {

// Path of a file in the build tree's test-output folder (created on demand).
std::string OutputPath(const std::string& name);

}  // namespace quillet::test
