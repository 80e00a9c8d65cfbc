// `quillet FILE`: the preview window on a report file named on the command
// line, as a file manager starts the program for a .frp, .frf or JSON
// template file, or as `quillet T.json --csv Items=items.csv --watch` asks.
#pragma once

#include <string>

#include "session/command_options.h"

namespace quillet {

struct EngineGlobals;

// Reads the file (a template is prepared first, over the data sets the
// options name, as quillet-cli prepares it) and opens the preview on its
// pages through the engine host; returns once the preview closed. Templates
// opened from the preview's Open button are prepared with the same options.
// With `watch` the template is prepared again whenever it or a data file
// changes (session/live_preview.h).
// Returns the program's exit code: 0 after the preview, 1 when the file
// could not be read, holds no page, or its preparation was cancelled or
// failed. The reason goes to a message box captioned "Error" and to
// standard error, in the words quillet-cli uses. The message box comes
// from the host of `engine`, in which the report runs.
int OpenReportFile(EngineGlobals& engine, const std::string& path, const cli::Options& options,
                   bool watch);
// The same without data options.
int OpenReportFile(EngineGlobals& engine, const std::string& path);

}  // namespace quillet
