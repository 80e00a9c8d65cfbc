// `quillet FILE`: the preview window on a report file named on the command
// line, as a file manager starts the program for a .frp or .frf file.
#pragma once

#include <string>

namespace quillet {

// True for a template file name (.frf, in any letter case). Every other
// file is read as a prepared-report file, whose type a file manager may
// have recognised by its leading bytes rather than by its name.
bool IsTemplateFileName(const std::string& path);

// Reads the file (a template is prepared first) and opens the preview on
// its pages through the engine host; returns once the preview closed.
// Returns the program's exit code: 0 after the preview, 1 when the file
// could not be read, holds no page, or its preparation was cancelled or
// failed. The reason goes to a message box captioned "Error" and to
// standard error.
int OpenReportFile(const std::string& path);

}  // namespace quillet
