// What a report file named on a command line holds. Both programs tell the
// forms apart the same way: by content for JSON, by name for a template
// stream, and anything else is a prepared report.
#pragma once

#include <string>

namespace quillet {

enum class ReportFileKind { TemplateStream, TemplateJson, PreparedReport };

// A JSON template when the file's first bytes are '{' after any white space
// (whatever its name); else a template stream when it is named .frf, in any
// letter case; else a prepared-report file, whose type a file manager may
// have recognised by its leading bytes rather than its name. A file that
// cannot be read is judged by its name alone.
ReportFileKind KindOfReportFile(const std::string& path);

}  // namespace quillet
