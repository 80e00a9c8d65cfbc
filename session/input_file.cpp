#include "session/input_file.h"

#include <filesystem>
#include <system_error>

#include "session/command_options.h"

namespace quillet::cli {

const std::string& CheckedInputFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec && ec != std::errc::no_such_file_or_directory)
    throw UsageError("cannot read " + path + ": " + ec.message());
  if (!fs::exists(status)) throw UsageError("no such file: " + path);
  if (fs::is_directory(status)) throw UsageError("cannot read " + path + ": it is a folder");
  // A pipe or device would be read until someone writes to it.
  if (!fs::is_regular_file(status))
    throw UsageError("cannot read " + path + ": not a regular file (a pipe, device or socket)");
  if (fs::file_size(path, ec) == 0 && !ec)
    throw UsageError("cannot read " + path + ": the file is empty (0 bytes)");
  return path;
}

}  // namespace quillet::cli
