// Files given to quillet-cli to read: checked before any reading starts, so
// that a folder, a pipe or an empty file gives one clear line at once
// instead of an empty result or a wait.
#pragma once

#include <string>

namespace quillet::cli {

// Returns `path` when it names a regular, non-empty file; otherwise raises
// UsageError naming the file and what it is (missing, a folder, a pipe or
// device, empty).
const std::string& CheckedInputFile(const std::string& path);

}  // namespace quillet::cli
