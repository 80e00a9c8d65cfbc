// `quillet FILE`: the preview window on a report file named on the command
// line, as a file manager starts the program for a .frp, .frf or JSON
// template file.
#pragma once

#include <string>

namespace quillet {

// Reads the file (a template is prepared first) and opens the preview on
// its pages through the engine host; returns once the preview closed.
// Returns the program's exit code: 0 after the preview, 1 when the file
// could not be read, holds no page, or its preparation was cancelled or
// failed. The reason goes to a message box captioned "Error" and to
// standard error.
int OpenReportFile(const std::string& path);

}  // namespace quillet
