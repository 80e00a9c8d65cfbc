// The subcommands of quillet-cli. Each takes the arguments after its name,
// returns the exit code, and raises UsageError (bad options) or the engine's
// errors (bad files), which main turns into one line on standard error.
#pragma once

#include <string>
#include <vector>

namespace quillet::cli {

using Args = std::vector<std::string>;

int RunSheet(const Args& args);
int RunPrepare(const Args& args);
int RunRender(const Args& args);
int RunPrint(const Args& args);
int RunInfo(const Args& args);
int RunPrinters(const Args& args);
int RunTemplate(const Args& args);
int RunEval(const Args& args);
int RunScriptFile(const Args& args);
int RunCheck(const Args& args);
int RunPreview(const Args& args);
int RunDiff(const Args& args);

// Help texts: the program's, and each subcommand's.
std::string ProgramHelp();
std::string CommandHelp(const std::string& command);
// "quillet-cli 1.0", for --version.
std::string VersionText();

}  // namespace quillet::cli
