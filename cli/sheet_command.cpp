// quillet-cli sheet: the main window's settings as options, the same layout
// and preparation as the Print button, and the result written out.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <iostream>
#include <map>

#include "cli/commands.h"
#include "cli/page_output.h"
#include "cli/printer_choice.h"
#include "report/base/text_format.h"
#include "report/printer/printer.h"
#include "session/command_options.h"
#include "sheet/sheet_controls.h"
#include "sheet/sheet_layout.h"
#include "sheet/sheet_report.h"

namespace quillet::cli {
namespace {

// Options that stand for a spin edit of the window, with its bounds.
struct SpinOption {
  const char* name;
  SpinId id;
  void (*set)(SheetSettings&, double);
};

const SpinOption kSpinOptions[] = {
    {"width", spnWidth, [](SheetSettings& s, double v) { s.Width = v; }},
    {"height", spnHeight, [](SheetSettings& s, double v) { s.Height = v; }},
    {"count", spnCount, [](SheetSettings& s, double v) { s.Count = v; }},
    {"gap", spnGap, [](SheetSettings& s, double v) { s.Gap = v; }},
    {"line-thickness", spnLineThickness, [](SheetSettings& s, double v) { s.LineThickness = v; }},
    {"ppm", spnPPM, [](SheetSettings& s, double v) { s.PPM = v; }},
    {"page-width", spnPageWidth, [](SheetSettings& s, double v) { s.PageWidth = v; }},
    {"page-height", spnPageHeight, [](SheetSettings& s, double v) { s.PageHeight = v; }},
    {"top", spnTop, [](SheetSettings& s, double v) { s.Top = v; }},
    {"left", spnLeft, [](SheetSettings& s, double v) { s.Left = v; }},
    {"corner-radius", spnRndCnr, [](SheetSettings& s, double v) { s.RndCnr = v; }},
    {"adjust", spnAdjust, [](SheetSettings& s, double v) { s.Adjust = v; }},
    {"sides", spnSides, [](SheetSettings& s, double v) { s.Sides = v; }},
    {"angle", spnAngle, [](SheetSettings& s, double v) { s.Angle = static_cast<int>(v); }},
    {"inner-percent", spnInnerPc,
     [](SheetSettings& s, double v) { s.InnerPc = static_cast<int>(v); }},
    {"skew", spnSkew, [](SheetSettings& s, double v) { s.Skew = static_cast<int>(v); }},
    {"triangle-fix", spnTriAngle, [](SheetSettings& s, double v) { s.TriAngle = v; }},
};

const std::vector<std::string> kShapes = {"rectangle", "rounded-rectangle", "ellipse",
                                          "triangle",  "polygon",           "star"};

const std::map<std::string, Color> kNamedColors = {
    {"black", 0x000000},  {"maroon", 0x000080},  {"green", 0x008000}, {"olive", 0x008080},
    {"navy", 0x800000},   {"purple", 0x800080},  {"teal", 0x808000},  {"gray", 0x808080},
    {"silver", 0xC0C0C0}, {"red", 0x0000FF},     {"lime", 0x00FF00},  {"yellow", 0x00FFFF},
    {"blue", 0xFF0000},   {"fuchsia", 0xFF00FF}, {"aqua", 0xFFFF00},  {"white", 0xFFFFFF},
};

// "#RRGGBB" or a standard colour name, as 0x00BBGGRR.
Color ParseColor(const std::string& option, const std::string& text) {
  const std::string lower = [&] {
    std::string s = text;
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  }();
  if (auto it = kNamedColors.find(lower); it != kNamedColors.end()) return it->second;
  if (lower.size() == 7 && lower[0] == '#') {
    try {
      const int rgb = static_cast<int>(StrToInt("$" + lower.substr(1)));
      return MakeColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    } catch (const std::exception&) {
    }
  }
  throw UsageError("--" + option + ": '" + text +
                   "' is not a colour (#RRGGBB or a name such as red)");
}

SheetSettings SettingsFrom(const Options& o) {
  SheetSettings s;
  // Bounds are the window's; a spin edit whose bounds are equal has none
  // above (the corner radius), and integer spin edits take whole numbers.
  for (const SpinOption& opt : kSpinOptions) {
    const SpinBounds& bounds = kSpins[opt.id];
    if (!o.Has(opt.name)) {
      opt.set(s, bounds.initial);
      continue;
    }
    const double maximum = bounds.maximum > bounds.minimum ? bounds.maximum : 1e6;
    const double v = o.Number(opt.name, bounds.minimum, maximum, bounds.initial);
    if (bounds.integer && v != std::trunc(v))
      throw UsageError(std::string("--") + opt.name + ": a whole number is needed");
    opt.set(s, v);
  }
  if (auto shape = o.Value("shape")) {
    auto it = std::find(kShapes.begin(), kShapes.end(), *shape);
    if (it == kShapes.end())
      throw UsageError(
          "--shape: '" + *shape +
          "' is not one of rectangle, rounded-rectangle, ellipse, triangle, polygon, star");
    s.ShapeIndex = static_cast<int>(it - kShapes.begin());
  }
  if (auto brush = o.Value("brush")) {
    if (*brush == "solid")
      s.BrushIndex = 0;
    else if (*brush == "clear")
      s.BrushIndex = 1;
    else
      throw UsageError("--brush: '" + *brush + "' is not solid or clear");
  }
  if (auto c = o.Value("frame-color")) s.FrameColor = ParseColor("frame-color", *c);
  if (auto c = o.Value("fill-color")) s.FillColor = ParseColor("fill-color", *c);
  s.Centre = o.Has("centre");
  s.AdjustTriangle = o.Has("adjust-triangle");
  s.Preview = o.Has("preview-corner");
  return s;
}

}  // namespace

int RunSheet(const Args& args) {
  std::set<std::string> valued = {"shape", "brush", "frame-color", "fill-color",
                                  "pdf",   "png",   "frp",         "printer"};
  for (const SpinOption& opt : kSpinOptions) valued.insert(opt.name);
  const Options o(args, {"centre", "adjust-triangle", "preview-corner", "print"}, valued);
  if (!o.Positional().empty())
    throw UsageError("sheet takes no file name: '" + o.Positional()[0] + "'");
  const std::string output = OneOf(o, {"pdf", "png", "frp", "print"});
  if (o.Has("printer") && output != "print") throw UsageError("--printer goes with --print");
  const SheetSettings settings = SettingsFrom(o);

  SheetReportComponent sheet;
  LayOutSheet(settings, sheet);
  TfrReport& report = sheet.Report();
  if (!report.Prepare()) return 1;
  if (output == "frp") {
    report.SavePrepared(*o.Value("frp"));
  } else if (output == "pdf") {
    WritePdf(report.PreparedPages, {0}, *o.Value("pdf"), report.Template.Info);
  } else if (output == "png") {
    WritePng(report.PreparedPages, 0, 1.0, *o.Value("png"));
  } else {
    if (auto name = o.Value("printer")) SelectPrinterNamed(EnginePrinter(report.Globals()), *name);
    PrintAndTellFiles(
        EnginePrinter(report.Globals()), [&] { report.PrintPrepared("1", 1, false, 0); },
        std::cout);
  }
  return 0;
}

}  // namespace quillet::cli
