// Template files in either form: the template stream (.frf) or its JSON
// text. The form is told by the content, not the extension: a JSON template
// starts with '{' after any white space.
#pragma once

#include <string>

namespace quillet {
class TfrReport;
class TfrTemplate;
}  // namespace quillet

namespace quillet::cli {

// Whether the file holds a JSON template (false when it cannot be read).
bool IsJsonTemplateFile(const std::string& path);
// Whether the file is a template in either form: a .frf name (any letter
// case) or JSON text. Anything else is read as a prepared-report file.
bool IsTemplateFile(const std::string& path);

// Loads the file into `target`. A template stream loads as the engine loads
// it; when the loader shows an error (a truncated or damaged file), what
// loaded is not used: AlreadyReported is raised, so nothing is prepared or
// written from half a template. Bad JSON raises EngineError
// "PATH:LINE:COLUMN: ..." and leaves `target` alone.
void LoadTemplateAnyForm(TfrTemplate& target, const std::string& path);
// The same for a report, which then selects the template's printer.
void LoadTemplateAnyForm(TfrReport& report, const std::string& path);
// A template stream loaded into a report as the engine loads it, with the
// same rule for errors.
void LoadTemplateStream(TfrReport& report, const std::string& path);

}  // namespace quillet::cli
