#include "session/template_loading.h"

#include <fstream>
#include <iterator>

#include "platform/engine_host.h"
#include "platform/errors.h"
#include "report/component/report.h"
#include "report/template/report_file_kind.h"
#include "report/template/report_template.h"
#include "report/template/template_json.h"
#include "session/command_options.h"
#include "session/message_catcher.h"

namespace quillet::cli {
namespace {

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileOpenError("Cannot open file \"" + path + "\"");
  return {std::istreambuf_iterator<char>(in), {}};
}

// Runs `load`; raises AlreadyReported when the loader showed an error.
template <typename Load>
void LoadWhole(EngineGlobals& engine, Load load) {
  const MessageCatcher catcher(engine, MessageCatcher::PassOn);
  load();
  if (!catcher.Errors().empty()) throw AlreadyReported();
}

}  // namespace

bool IsJsonTemplateFile(const std::string& path) {
  return KindOfReportFile(path) == ReportFileKind::TemplateJson;
}

bool IsTemplateFile(const std::string& path) {
  return KindOfReportFile(path) != ReportFileKind::PreparedReport;
}

void LoadTemplateAnyForm(TfrTemplate& target, const std::string& path) {
  if (!IsJsonTemplateFile(path)) {
    LoadWhole(target.Globals(), [&] { target.LoadTemplateFile(path); });
    return;
  }
  try {
    ReadTemplateJson(FileText(path), target, FolderOfTemplateFile(path));
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
  report.FileName = path;
  report.SelectPrinterByName(report.Template.PrinterName);
}

void LoadTemplateStream(TfrReport& report, const std::string& path) {
  LoadWhole(report.Globals(), [&] { report.LoadTemplateFile(path); });
}

}  // namespace quillet::cli
