// quillet-cli prepare, render, print and printers: templates and
// prepared-report files through the report component.
#include <filesystem>
#include <iostream>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/data_options.h"
#include "cli/page_output.h"
#include "cli/printer_choice.h"
#include "report/printer/page_range.h"
#include "report/printer/printer.h"
#include "report/component/report.h"

namespace quillet::cli {
namespace {

std::string OnlyFile(const Options& o, const std::string& what) {
  if (o.Positional().size() != 1) throw UsageError("give exactly one " + what);
  const std::string& path = o.Positional()[0];
  if (!std::filesystem::exists(path)) throw UsageError("no such file: " + path);
  return path;
}

}  // namespace

int RunPrepare(const Args& args) {
  const Options o(args, {}, DataOptions::With({"output"}));
  const std::string path = OnlyFile(o, "template file (.frf)");
  const auto out = o.Value("output");
  if (!out) throw UsageError("give the prepared-report file to write with -o OUT.frp");
  const DataOptions data(o);
  TfrReport report;
  report.LoadTemplateFile(path);
  if (report.Template.Pages.empty()) throw UsageError(path + " holds no page to prepare");
  DataOptions::CheckTemplate(report);
  if (!report.Prepare()) return 1;
  report.SavePrepared(*out);
  std::cerr << "quillet-cli: " << report.PreparedPages.Count() << " pages written to " << *out << "\n";
  return 0;
}

int RunRender(const Args& args) {
  const Options o(args, {}, {"pdf", "png", "svg", "pages", "scale"});
  const std::string path = OnlyFile(o, "prepared-report file (.frp)");
  const std::string kind = OneOf(o, {"pdf", "png", "svg"});
  const double scale = o.Number("scale", 0.05, 20, 1.0);
  TfrReport report;
  report.LoadPrepared(path);
  TfrEMFPages& pages = report.PreparedPages;
  const PageSelection wanted = ParsePageRange(o.Value("pages").value_or(""), pages.Count());
  std::vector<int> indexes;
  for (int i = 0; i < pages.Count(); ++i)
    if (wanted.Wants(i + 1)) indexes.push_back(i);
  if (indexes.empty()) throw UsageError("the page range selects no page of " + path);
  const std::string target = *o.Value(kind);
  if (kind == "pdf")
    WritePdf(pages, indexes, target);
  else if (kind == "png")
    WritePngPages(pages, indexes, scale, target);
  else
    WriteSvgPages(pages, indexes, scale, target);
  return 0;
}

int RunPrint(const Args& args) {
  const Options o(args, {"collate", "odd", "even"}, {"printer", "range", "copies"});
  const std::string path = OnlyFile(o, "prepared-report file (.frp)");
  if (o.Has("odd") && o.Has("even")) throw UsageError("give only one of --odd, --even");
  const double copies = o.Number("copies", 1, 9999, 1);
  if (copies != static_cast<int>(copies)) throw UsageError("--copies: a whole number is needed");
  TfrReport report;
  report.LoadPrepared(path);
  if (auto name = o.Value("printer")) SelectPrinterNamed(*name);
  const int selection = o.Has("odd") ? 1 : o.Has("even") ? 2 : 0;
  report.PrintPrepared(o.Value("range").value_or(""), static_cast<int>(copies), o.Has("collate"),
                       selection);
  return 0;
}

int RunPrinters(const Args& args) {
  const Options o(args, {}, {});
  if (!o.Positional().empty()) throw UsageError("printers takes no arguments");
  const TfrPrinter& printer = EnginePrinter();
  for (std::size_t i = 0; i < printer.PrinterNames.size(); ++i)
    std::cout << (int(i) == printer.SelectedPrinterIndex ? "* " : "  ") << printer.PrinterNames[i]
              << "\n";
  return 0;
}

}  // namespace quillet::cli
