#include "app/open_report_file.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <iostream>

#include "platform/codepage.h"
#include "platform/engine_host.h"
#include "report/component/report.h"

namespace quillet {
namespace {

// Engine texts are Windows-1252 bytes; file names are UTF-8.
std::string EngineText(const std::string& utf8) {
  return EncodeCodePage(QString::fromStdString(utf8).toStdU16String(), 1252);
}

int Fail(const std::string& utf8Text) {
  std::cerr << "quillet: " << utf8Text << "\n";
  Host().ShowMessage(EngineText(utf8Text), "Error", MessageIcon::Error, MessageButtons::Ok);
  return 1;
}

}  // namespace

bool IsTemplateFileName(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".frf";
}

int OpenReportFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return Fail("no such file: " + path);
  TfrReport report;
  // The preview's caption and the print job carry the file's name.
  report.Title = EngineText(std::filesystem::path(path).filename().string());
  try {
    if (IsTemplateFileName(path)) {
      // Load errors of a template are shown by the loader itself.
      report.LoadTemplateFile(path);
      if (report.Template.Pages.empty()) return Fail(path + " holds no page to prepare");
      if (!report.Prepare()) return 1;
    } else {
      report.LoadPrepared(path);
    }
  } catch (const std::exception& e) {
    return Fail("cannot read " + path + ": " + e.what());
  }
  if (report.PreparedPages.Count() == 0) return Fail(path + " holds no page");
  report.ShowPrepared();
  return 0;
}

}  // namespace quillet
