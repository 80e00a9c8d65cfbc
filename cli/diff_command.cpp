// quillet-cli diff: two prepared reports (or templates prepared over data
// options) compared page by page; a summary line per difference, or JSON,
// and with --png the differing pages of B with the differences marked.
// Exit code 0 when they are the same, 1 when they differ, 2 on an error.
#include <iostream>
#include <memory>
#include <set>

#include "cli/cli_values.h"
#include "cli/commands.h"
#include "cli/diff_compare.h"
#include "cli/diff_facts.h"
#include "cli/diff_marks.h"
#include "session/command_options.h"
#include "session/data_options.h"
#include "session/input_file.h"
#include "session/report_input.h"
#include "session/template_loading.h"

namespace quillet::cli {
namespace {

constexpr char kSidePrefix[] = "b-";

// The options one side is read with: its file, and for a template the data
// options. Side B takes a --b-NAME option's values in place of --NAME's.
Options SideOptions(const Options& all, const std::string& path, bool sideB) {
  Args args{path};
  if (IsTemplateFile(path)) {
    for (const std::string& name : DataOptions::Names()) {
      const std::string own = kSidePrefix + name;
      for (const std::string& value : sideB&& all.Has(own) ? all.Values(own) : all.Values(name)) {
        args.push_back("--" + name);
        args.push_back(value);
      }
    }
  }
  return Options(args, {}, DataOptions::Names());
}

// Reads one side's pages into facts; its report and data sets are gone
// again when this returns unless `keep` takes them (side B, for --png).
std::vector<PageFacts> ReadSide(const Options& options, std::unique_ptr<ReportInput>* keep) {
  auto input = std::make_unique<ReportInput>(options, options.Positional()[0]);
  if (!input->LoadPages()) throw AlreadyReported();
  std::vector<PageFacts> facts = ReadPageFacts(input->Report().PreparedPages);
  if (keep) *keep = std::move(input);
  return facts;
}

void PrintJson(const std::vector<Difference>& differences, std::size_t pagesA, std::size_t pagesB,
               const std::vector<std::string>& pictures) {
  std::cout << "{\"same\":" << (differences.empty() ? "true" : "false")
            << ",\"pages\":{\"a\":" << pagesA << ",\"b\":" << pagesB << "},\"differences\":[";
  for (std::size_t i = 0; i < differences.size(); ++i) {
    const Difference& d = differences[i];
    std::cout << (i ? "," : "") << "{\"page\":" << d.page << ",\"kind\":" << JsonString(d.kind)
              << ",\"name\":" << JsonString(d.name) << ",\"occurrence\":" << d.occurrence
              << ",\"property\":" << JsonString(d.property) << ",\"a\":" << JsonString(d.before)
              << ",\"b\":" << JsonString(d.after);
    if (d.marked)
      std::cout << ",\"rect\":{\"side\":\"" << (d.inB ? "b" : "a") << "\",\"left\":" << d.left
                << ",\"top\":" << d.top << ",\"width\":" << d.width << ",\"height\":" << d.height
                << "}";
    std::cout << ",\"summary\":" << JsonString(SummaryLine(d)) << "}";
  }
  std::cout << "],\"png\":[";
  for (std::size_t i = 0; i < pictures.size(); ++i)
    std::cout << (i ? "," : "") << JsonString(pictures[i]);
  std::cout << "]}\n";
}

std::string Pages(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " page" : " pages");
}

int Diff(const Args& args) {
  std::set<std::string> valued = DataOptions::With({"tolerance", "png", "scale"});
  for (const std::string& name : DataOptions::Names()) valued.insert(kSidePrefix + name);
  const Options o(args, {"json"}, valued);
  if (o.Positional().size() != 2)
    throw UsageError("give two files to compare: prepared reports (.frp) or templates");
  const std::string pathA = CheckedInputFile(o.Positional()[0]);
  const std::string pathB = CheckedInputFile(o.Positional()[1]);
  bool sideBOptions = false;
  for (const std::string& name : DataOptions::Names()) sideBOptions |= o.Has(kSidePrefix + name);
  if (!IsTemplateFile(pathA) && !IsTemplateFile(pathB) && (DataOptions::Given(o) || sideBOptions))
    throw UsageError("the data options apply to templates; both files are prepared reports");
  if (sideBOptions && !IsTemplateFile(pathB))
    throw UsageError("the --b- data options apply to B, and " + pathB +
                     " is a prepared-report file");
  const double tolerance = o.Number("tolerance", 0, 1 << 24, 0);
  if (tolerance != static_cast<int>(tolerance))
    throw UsageError("--tolerance: a whole number of pixels is needed");
  const double scale = o.Number("scale", 0.05, 20, 1.0);
  if (o.Has("scale") && !o.Has("png")) throw UsageError("--scale applies to the --png pictures");

  // One side at a time: both may name data sets of the same names.
  const std::vector<PageFacts> a = ReadSide(SideOptions(o, pathA, false), nullptr);
  std::unique_ptr<ReportInput> inputB;
  const std::vector<PageFacts> b = ReadSide(SideOptions(o, pathB, true), &inputB);
  const std::vector<Difference> differences = ComparePages(a, b, static_cast<int>(tolerance));

  std::vector<std::string> pictures;
  if (const auto folder = o.Value("png"); folder && !differences.empty())
    pictures = WriteMarkedPages(inputB->Report().PreparedPages, differences, scale, *folder);
  if (o.Has("json")) {
    PrintJson(differences, a.size(), b.size(), pictures);
  } else {
    for (const Difference& d : differences) std::cout << SummaryLine(d) << "\n";
    if (differences.empty())
      std::cout << "same: " << Pages(a.size()) << "\n";
    else
      std::cout << differences.size() << (differences.size() == 1 ? " difference" : " differences")
                << " (A: " << Pages(a.size()) << ", B: " << Pages(b.size()) << ")\n";
  }
  if (!pictures.empty())
    std::cerr << "quillet-cli: " << pictures.size()
              << (pictures.size() == 1 ? " marked page" : " marked pages") << " written to "
              << *o.Value("png") << "\n";
  return differences.empty() ? 0 : 1;
}

}  // namespace

int RunDiff(const Args& args) {
  // Exit code 1 means "different" here, so every failure is 2.
  try {
    return Diff(args);
  } catch (const UsageError&) {
    throw;  // 2, with the usual line
  } catch (const AlreadyReported&) {
    return 2;  // the loader has said why
  } catch (const std::exception& e) {
    std::string line = e.what();
    for (char& c : line)
      if (c == '\n' || c == '\r') c = ' ';
    std::cerr << "quillet-cli diff: " << line << "\n";
    return 2;
  }
}

}  // namespace quillet::cli
