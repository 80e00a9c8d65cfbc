// What the quillet program is asked to do by its command line: the main
// window when no argument is given, the preview of one report file (with the
// data options and --watch of quillet-cli preview), or the version or help
// text (answered without opening a display).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "session/command_options.h"

namespace quillet {

struct ProgramRequest {
  enum Kind { ShowMainWindow, OpenFile, PrintVersion, PrintHelp, BadUsage };
  Kind What = ShowMainWindow;
  std::string File;     // OpenFile: the path as given
  std::string Message;  // BadUsage: one line for standard error
  // OpenFile: the data options and --watch, as quillet-cli preview reads
  // them (never null for OpenFile).
  std::shared_ptr<const cli::Options> Options;
  bool Watch = false;
};

// `args` are the arguments after the program name, once Qt took its own
// options (-platform, -style, ...) out of them. After "--" every argument
// is a file name.
ProgramRequest ParseProgramArguments(const std::vector<std::string>& args);

// "quillet 1.0" and the --help text, each ending in a newline.
std::string ProgramVersionText();
std::string ProgramHelpText();

}  // namespace quillet
