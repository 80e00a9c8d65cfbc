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
#include "report/expr/dataset_components.h"
#include "report/template/missing_data.h"
#include "report/template/page.h"
#include "report/template/report_file_kind.h"
#include "report/template/report_template.h"
#include "report/template/template_json.h"
#include "report/views/band_view.h"

namespace quillet {
namespace {

int Fail(const std::string& utf8Text) {
  std::cerr << "quillet: " << utf8Text << "\n";
  Host().ShowMessage(utf8Text, "Error", MessageIcon::Error, MessageButtons::Ok);
  return 1;
}

// "band B1 runs over data set 'Items', which ..." for the first data band
// whose data source is neither a count nor a registered data set; empty
// when there is none.
std::string BandOverMissingData(const TfrTemplate& t) {
  const TfrBandView* band = FirstBandWithoutData(t);
  if (!band) return {};
  return "band " + band->Name + " runs over data set '" + band->FormatText +
         "', which the window cannot open (prepare it with quillet-cli and --csv or "
         "--dataset, then open the .frp file)";
}

}  // namespace

int OpenReportFile(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (std::filesystem::is_directory(status))
    return Fail("cannot read " + path + ": it is a folder");
  if (!std::filesystem::exists(status)) return Fail("no such file: " + path);
  if (!std::filesystem::is_regular_file(status))
    return Fail("cannot read " + path + ": not a regular file (a pipe, device or socket)");
  if (std::filesystem::file_size(path, ec) == 0 && !ec)
    return Fail("cannot read " + path + ": the file is empty (0 bytes)");
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
        ReadTemplateJson(std::string(std::istreambuf_iterator<char>(in), {}), report.Template,
                         FolderOfTemplateFile(path));
        report.SelectPrinterByName(report.Template.PrinterName);
      }
      if (report.Template.Pages.empty()) return Fail(path + " holds no page to prepare");
      // The window opens no data: a band over a named data set would be
      // left out without a word.
      if (const std::string band = BandOverMissingData(report.Template); !band.empty())
        return Fail("cannot prepare " + path + ": " + band);
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
