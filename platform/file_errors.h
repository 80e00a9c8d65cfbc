// Errors met while reading a user's file, told with the file's name, so a
// message such as "Stream read error" says which file it is about.
#pragma once

#include <string>

namespace quillet {

// "Cannot open 'x.frp': " followed by `reason`, the engine's own message.
std::string CannotOpenText(const std::string& path, const std::string& reason);

// Call inside a catch block: raises the error being handled again with its
// message naming the file (CannotOpenText). Stream read, conversion,
// class-not-found and range errors keep their kind; any other engine error
// comes out as an EngineError. A FileOpenError, which names its file
// already, and errors that are not the engine's pass unchanged.
[[noreturn]] void RethrowNamingFile(const std::string& path);

}  // namespace quillet
