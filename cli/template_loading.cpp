#include "cli/template_loading.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/cli_options.h"
#include "cli/console_host.h"
#include "platform/engine_host.h"
#include "platform/errors.h"
#include "report/component/report.h"
#include "report/template/report_template.h"
#include "report/template/template_json.h"

namespace quillet::cli {
namespace {

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileOpenError("Cannot open file \"" + path + "\"");
  return {std::istreambuf_iterator<char>(in), {}};
}

// The first bytes are enough to tell the forms apart.
std::string FileStart(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string start(256, '\0');
  in.read(start.data(), std::streamsize(start.size()));
  start.resize(std::size_t(in.gcount()));
  return start;
}

// Runs `load`; raises AlreadyReported when the loader showed an error.
template <typename Load>
void LoadWhole(Load load) {
  auto* console = dynamic_cast<ConsoleHost*>(&Host());
  const int before = console ? console->errors : 0;
  load();
  if (console && console->errors > before) throw AlreadyReported();
}

}  // namespace

bool IsJsonTemplateFile(const std::string& path) {
  const std::string start = FileStart(path);
  // A file of blanks only longer than the sample reads as not JSON; it is
  // no template either way.
  return LooksLikeTemplateJson(start);
}

bool IsTemplateFile(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".frf" || IsJsonTemplateFile(path);
}

void LoadTemplateAnyForm(TfrTemplate& target, const std::string& path) {
  if (!IsJsonTemplateFile(path)) {
    LoadWhole([&] { target.LoadTemplateFile(path); });
    return;
  }
  try {
    ReadTemplateJson(FileText(path), target);
  } catch (const TemplateJsonError& e) {
    throw EngineError(path + ":" + std::to_string(e.Line()) + ":" + std::to_string(e.Column()) +
                      ": " + (e.Path().empty() ? "" : e.Path() + ": ") + e.Message());
  }
}

void LoadTemplateAnyForm(TfrReport& report, const std::string& path) {
  if (!IsJsonTemplateFile(path)) {
    LoadTemplateStream(report, path);
    return;
  }
  LoadTemplateAnyForm(report.Template, path);
  report.SelectPrinterByName(report.Template.PrinterName);
}

void LoadTemplateStream(TfrReport& report, const std::string& path) {
  LoadWhole([&] { report.LoadTemplateFile(path); });
}

}  // namespace quillet::cli
