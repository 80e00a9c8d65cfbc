// What check finds in a template. Each finding names the object (or page)
// it is about and the JSON pointer of the member at fault in the template's
// JSON form ("/pages/0/objects/3/text/1"), and is an error (the report
// fails, or prints a blank or 0 where a value was meant) or a warning (it
// may not print as meant). The exit code tells the worst: 0 clean, 1 with
// warnings, 2 with errors.
#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {
class TfrTemplate;
class TfrView;
}  // namespace quillet

namespace quillet::cli {

enum class Severity { Warning, Error };

struct Finding {
  Severity severity = Severity::Error;
  std::string object;   // the object's or page's name; may be empty
  std::string pointer;  // JSON pointer of the member at fault
  std::string message;
  // Where the finding lies when it is known without the pointer (a JSON
  // syntax error); 0 otherwise.
  int line = 0;
  int column = 0;
};

// The JSON pointers of a template's pages and objects: objects are listed
// in page order, as the JSON form writes them.
class TemplatePlaces {
 public:
  explicit TemplatePlaces(const TfrTemplate& t);
  // "/pages/P/objects/O", or empty for a view the template does not hold.
  std::string Of(const TfrView& view) const;
  // "/pages/P".
  static std::string Page(std::size_t page);

 private:
  std::map<const TfrView*, std::string> places_;
};

class Findings {
 public:
  void Add(Severity severity, std::string object, std::string pointer, std::string message);
  void Add(Finding finding) { all_.push_back(std::move(finding)); }
  const std::vector<Finding>& All() const { return all_; }
  int Count(Severity severity) const;
  // 0 when there is nothing, 1 with warnings only, 2 with any error.
  int ExitCode() const;

 private:
  std::vector<Finding> all_;
};

// Where a finding lies in the file: "FILE:LINE:COLUMN" when `jsonText` is
// the template's JSON text, else "FILE".
std::string FindingPlace(const Finding& finding, const std::string& file,
                         std::string_view jsonText);

// One line per finding, "PLACE: error: OBJECT (POINTER): message", then
// "no problems" or the counts ("2 errors, 1 warning").
void PrintFindings(std::ostream& out, const Findings& findings, const std::string& file,
                   std::string_view jsonText);
// The findings as a JSON list of objects with "severity", "object",
// "pointer", "file", "line" and "column" (0 when not known) and "message".
void PrintFindingsJson(std::ostream& out, const Findings& findings, const std::string& file,
                       std::string_view jsonText);

}  // namespace quillet::cli
