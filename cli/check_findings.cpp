#include "cli/check_findings.h"

#include "cli/cli_values.h"
#include "report/template/json_position.h"
#include "report/template/page.h"
#include "report/template/report_template.h"

namespace quillet::cli {
namespace {

const char* SeverityName(Severity severity) {
  return severity == Severity::Error ? "error" : "warning";
}

std::string Counted(int n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// Line and column of the finding's member, or {0, 0} without a JSON text.
TextPosition PositionOf(const Finding& finding, std::string_view jsonText) {
  if (finding.line > 0) return {finding.line, finding.column};
  if (jsonText.empty() || finding.pointer.empty()) return {0, 0};
  return PositionOfOffset(jsonText, OffsetOfPointer(jsonText, finding.pointer));
}

}  // namespace

TemplatePlaces::TemplatePlaces(const TfrTemplate& t) {
  for (std::size_t p = 0; p < t.Pages.size(); ++p) {
    const auto& objects = t.Pages[p]->Objects;
    for (std::size_t o = 0; o < objects.size(); ++o)
      places_[objects[o].get()] = Page(p) + "/objects/" + std::to_string(o);
  }
}

std::string TemplatePlaces::Of(const TfrView& view) const {
  const auto it = places_.find(&view);
  return it == places_.end() ? std::string() : it->second;
}

std::string TemplatePlaces::Page(std::size_t page) {
  return "/pages/" + std::to_string(page);
}

void Findings::Add(Severity severity, std::string object, std::string pointer,
                   std::string message) {
  all_.push_back({severity, std::move(object), std::move(pointer), std::move(message), 0, 0});
}

int Findings::Count(Severity severity) const {
  int n = 0;
  for (const Finding& f : all_) n += f.severity == severity ? 1 : 0;
  return n;
}

int Findings::ExitCode() const {
  if (Count(Severity::Error) > 0) return 2;
  return all_.empty() ? 0 : 1;
}

std::string FindingPlace(const Finding& finding, const std::string& file,
                         std::string_view jsonText) {
  const TextPosition at = PositionOf(finding, jsonText);
  if (at.line == 0) return file;
  return file + ":" + std::to_string(at.line) + ":" + std::to_string(at.column);
}

void PrintFindings(std::ostream& out, const Findings& findings, const std::string& file,
                   std::string_view jsonText) {
  for (const Finding& f : findings.All()) {
    std::string about = f.object;
    if (!f.pointer.empty()) about += (about.empty() ? "(" : " (") + f.pointer + ")";
    out << FindingPlace(f, file, jsonText) << ": " << SeverityName(f.severity) << ": "
        << (about.empty() ? "" : about + ": ") << f.message << "\n";
  }
  const int errors = findings.Count(Severity::Error);
  const int warnings = findings.Count(Severity::Warning);
  if (errors == 0 && warnings == 0)
    out << "no problems\n";
  else
    out << Counted(errors, "error") << ", " << Counted(warnings, "warning") << "\n";
}

void PrintFindingsJson(std::ostream& out, const Findings& findings, const std::string& file,
                       std::string_view jsonText) {
  out << "[";
  bool first = true;
  for (const Finding& f : findings.All()) {
    const TextPosition at = PositionOf(f, jsonText);
    out << (first ? "\n" : ",\n") << "  {\"severity\": \"" << SeverityName(f.severity)
        << "\", \"object\": " << JsonString(f.object) << ", \"pointer\": " << JsonString(f.pointer)
        << ", \"file\": " << JsonString(file) << ", \"line\": " << at.line
        << ", \"column\": " << at.column << ", \"message\": " << JsonString(f.message) << "}";
    first = false;
  }
  out << (first ? "]\n" : "\n]\n");
}

}  // namespace quillet::cli
