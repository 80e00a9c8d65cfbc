// quillet-cli prepare, render and print: templates and
// prepared-report files through the report component. render and print
// take a template too, prepared first with the data options.
#include <filesystem>
#include <iostream>

#include "cli/commands.h"
#include "cli/page_output.h"
#include "cli/pdf_document_info.h"
#include "cli/printer_choice.h"
#include "cli/refused_pictures.h"
#include "report/component/report.h"
#include "report/printer/page_range.h"
#include "report/printer/printer.h"
#include "session/command_options.h"
#include "session/data_options.h"
#include "session/report_input.h"

namespace quillet::cli {
namespace {

std::string OnlyFile(const Options& o, const std::string& what) {
  if (o.Positional().size() != 1) throw UsageError("give exactly one " + what);
  return o.Positional()[0];
}

// --size N: the longer side of each PNG page in whole pixels, or 0 when
// absent (the pages then follow --scale).
int LongerSideOption(const Options& o, const std::string& kind) {
  if (!o.Has("size")) return 0;
  if (o.Has("scale")) throw UsageError("give --size or --scale, not both");
  if (kind != "png" && kind != "png-file") throw UsageError("--size applies to PNG pages only");
  const double size = o.Number("size", 8, 4096, 0);
  if (size != static_cast<int>(size)) throw UsageError("--size: a whole number is needed");
  return static_cast<int>(size);
}

// The template's document information with --title, --author and
// --subject put over it (an empty option clears that text).
DocumentInfo DocumentInfoWithOptions(const DocumentInfo& fromTemplate, const Options& o) {
  DocumentInfo info = fromTemplate;
  if (auto v = o.Value("title")) info.Title = *v;
  if (auto v = o.Value("author")) info.Author = *v;
  if (auto v = o.Value("subject")) info.Subject = *v;
  return info;
}

}  // namespace

int RunPrepare(const Args& args) {
  const Options o(args, {}, DataOptions::With({"output"}));
  const std::string path = OnlyFile(o, "template file (.frf or .json)");
  const auto out = o.Value("output");
  if (!out) throw UsageError("give the prepared-report file to write with -o OUT.frp");
  ReportInput input(o, path);
  if (!input.Prepare()) return 1;
  TfrReport& report = input.Report();
  report.SavePrepared(*out);
  const int count = report.PreparedPages.Count();
  std::cerr << "quillet-cli: " << count << (count == 1 ? " page" : " pages") << " written to "
            << *out << "\n";
  // Refused pictures keep their bytes in the prepared file: warned, not lost.
  WarnRefusedPictures(report.Template, path);
  return 0;
}

int RunRender(const Args& args) {
  const Options o(args, {},
                  DataOptions::With({"pdf", "png", "png-file", "svg", "pages", "scale", "size",
                                     "title", "author", "subject"}));
  const std::string path = OnlyFile(o, "prepared-report file (.frp) or template");
  const std::string kind = OneOf(o, {"pdf", "png", "png-file", "svg"});
  const double scale = o.Number("scale", 0.05, 20, 1.0);
  const int size = LongerSideOption(o, kind);
  if (kind != "pdf" && (o.Has("title") || o.Has("author") || o.Has("subject")))
    throw UsageError("--title, --author and --subject go with --pdf");
  ReportInput input(o, path);
  if (!input.LoadPages()) return 1;
  TfrEMFPages& pages = input.Report().PreparedPages;
  const PageSelection wanted = ParsePageRange(o.Value("pages").value_or(""), pages.Count());
  std::vector<int> indexes;
  for (int i = 0; i < pages.Count(); ++i)
    if (wanted.Wants(i + 1)) indexes.push_back(i);
  if (indexes.empty()) throw UsageError("the page range selects no page of " + path);
  const std::string target = *o.Value(kind);
  const auto scaleOf = [&](int i) { return size ? ScaleForLongerSide(pages, i, size) : scale; };
  // Refused pictures are noted as each page is drawn and warned about after.
  RefusedPictureNotes refused(path);
  const PageDrawn note = [&refused](int i, const RebuiltPage& page) { refused.NotePage(i, page); };
  std::vector<std::string> others;  // page files of an earlier run
  if (kind == "pdf")
    WritePdf(pages, indexes, target, DocumentInfoWithOptions(input.Report().Template.Info, o),
             note);
  else if (kind == "png")
    others = WritePngPages(pages, indexes, scaleOf, target, note);
  else if (kind == "png-file" && indexes.size() != 1)
    throw UsageError("--png-file writes one page: choose it with --pages");
  else if (kind == "png-file")
    WritePng(pages, indexes[0], scaleOf(indexes[0]), target, note);
  else
    others = WriteSvgPages(pages, indexes, scale, target, note);
  std::cerr << "quillet-cli: " << indexes.size() << (indexes.size() == 1 ? " page" : " pages")
            << " written to " << target << " (largest paper " << LargestPaper(pages, indexes)
            << ")\n";
  if (!others.empty()) {
    std::cerr << "quillet-cli: " << target << " also holds " << others.size()
              << (others.size() == 1 ? " page file" : " page files")
              << " not of this run, left as they were: " << others.front();
    if (others.size() > 1) std::cerr << " ... " << others.back();
    std::cerr << "\n";
  }
  // A picture missing from the output is content lost: the exit says so.
  return refused.Warn() > 0 ? 1 : 0;
}

int RunPrint(const Args& args) {
  const Options o(args, {"collate", "odd", "even"},
                  DataOptions::With({"printer", "range", "copies"}));
  const std::string path = OnlyFile(o, "prepared-report file (.frp) or template");
  if (o.Has("odd") && o.Has("even")) throw UsageError("give only one of --odd, --even");
  const double copies = o.Number("copies", 1, 9999, 1);
  if (copies != static_cast<int>(copies)) throw UsageError("--copies: a whole number is needed");
  ReportInput input(o, path);
  if (!input.LoadPages()) return 1;
  TfrReport& report = input.Report();
  if (auto name = o.Value("printer")) SelectPrinterNamed(EnginePrinter(report.Globals()), *name);
  const int selection = o.Has("odd") ? 1 : o.Has("even") ? 2 : 0;
  PrintAndTellFiles(
      EnginePrinter(report.Globals()),
      [&] {
        report.PrintPrepared(o.Value("range").value_or(""), static_cast<int>(copies),
                             o.Has("collate"), selection);
      },
      std::cout);
  return 0;
}

}  // namespace quillet::cli
