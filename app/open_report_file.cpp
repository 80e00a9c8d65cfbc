#include "app/open_report_file.h"

#include <QString>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/engine_host.h"
#include "preview/recent_files.h"
#include "report/component/report.h"
#include "report/template/report_file_kind.h"
#include "report/template/template_json.h"

namespace quillet {
namespace {

int Fail(const std::string& utf8Text) {
  std::cerr << "quillet: " << utf8Text << "\n";
  Host().ShowMessage(utf8Text, "Error", MessageIcon::Error, MessageButtons::Ok);
  return 1;
}

}  // namespace

int OpenReportFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return Fail("no such file: " + path);
  TfrReport report;
  // The preview's caption and the print job carry the file's name.
  report.Title = std::filesystem::path(path).filename().string();
  try {
    const ReportFileKind kind = KindOfReportFile(path);
    if (kind == ReportFileKind::PreparedReport) {
      report.LoadPrepared(path);
    } else {
      if (kind == ReportFileKind::TemplateStream) {
        // Load errors of a template stream are shown by the loader itself.
        report.LoadTemplateFile(path);
      } else {
        std::ifstream in(path, std::ios::binary);
        ReadTemplateJson(std::string(std::istreambuf_iterator<char>(in), {}), report.Template);
        report.SelectPrinterByName(report.Template.PrinterName);
      }
      if (report.Template.Pages.empty()) return Fail(path + " holds no page to prepare");
      if (!report.Prepare()) return 1;
    }
  } catch (const TemplateJsonError& e) {
    return Fail("cannot read " + path + ":" + std::to_string(e.Line()) + ":" +
                std::to_string(e.Column()) + ": " + (e.Path().empty() ? "" : e.Path() + ": ") +
                e.Message());
  } catch (const std::exception& e) {
    return Fail("cannot read " + path + ": " + e.what());
  }
  if (report.PreparedPages.Count() == 0) return Fail(path + " holds no page");
  RecentFiles::Add(QString::fromStdString(path));
  report.ShowPrepared();
  return 0;
}

}  // namespace quillet
