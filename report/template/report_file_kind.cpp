#include "report/template/report_file_kind.h"

#include <cctype>
#include <filesystem>
#include <fstream>

#include "report/template/template_json.h"

namespace quillet {
namespace {

// The first bytes are enough to tell JSON from the binary forms.
std::string FileStart(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string start(256, '\0');
  in.read(start.data(), std::streamsize(start.size()));
  start.resize(std::size_t(in.gcount()));
  return start;
}

}  // namespace

ReportFileKind KindOfReportFile(const std::string& path) {
  // A file of blanks only longer than the sample reads as not JSON; it is no
  // template either way.
  if (LooksLikeTemplateJson(FileStart(path))) return ReportFileKind::TemplateJson;
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".frf" ? ReportFileKind::TemplateStream : ReportFileKind::PreparedReport;
}

}  // namespace quillet
