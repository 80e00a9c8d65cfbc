#include <map>

#include "cli/commands.h"

namespace quillet::cli {

std::string ProgramHelp() {
  return R"(Usage: quillet-cli COMMAND [OPTIONS]

Commands:
  sheet      lay out and prepare the shapes sheet, write it as PDF, PNG or .frp, or print it
  prepare    prepare a template file (.frf) into a prepared-report file (.frp)
  render     draw the pages of a prepared-report file into PDF, PNG or SVG files
  print      print a prepared-report file
  info       list the pages and objects of a .frp or .frf file
  printers   list the printers and the current one

Run 'quillet-cli COMMAND --help' for the options of a command.
Progress lines go to standard error on a terminal; elsewhere only with
--progress (given after the command).
)";
}

std::string CommandHelp(const std::string& command) {
  static const std::map<std::string, std::string> help = {
      {"sheet", R"(Usage: quillet-cli sheet [SETTINGS] (--pdf FILE | --png FILE | --frp FILE | --print [--printer NAME])

Lays out the sheet exactly as the Print button of the main window does,
prepares it, and writes the prepared page (or prints page 1 once).

Settings (defaults and bounds are the main window's):
  --shape rectangle|rounded-rectangle|ellipse|triangle|polygon|star  (ellipse)
  --width MM (10..500, 50)        --height MM (10..500, 50)
  --count N (1..7, 2)             --gap PIXELS (5..200, 20)
  --line-thickness PIXELS (1..10, 1)
  --ppm PIXELS_PER_MM (1..10, 3.62)
  --page-width PIXELS (300..1200, 756)   --page-height PIXELS (300..1200, 1073)
  --centre                        use width centering
  --top PIXELS (0..1069, 16)      --left PIXELS (0..350, 27)
  --corner-radius MM (0)          --adjust FACTOR (-10..10, 0)
  --sides N (3..50, 5)            --angle DEG (-359..359, 0)
  --inner-percent PC (-100..100, 50)     --skew DEG (-100..100, 0)
  --adjust-triangle               --triangle-fix FACTOR (0.5..2, 0.86)
  --frame-color COLOR (black)     --fill-color COLOR (white)   #RRGGBB or a name
  --brush solid|clear (clear)
  --preview-corner                round corners by the preview's rule, not the printer's
)"},
      {"prepare", R"(Usage: quillet-cli prepare TEMPLATE.frf -o OUT.frp

Prepares the template without a window; progress goes to standard error
(on a terminal, or with --progress). A picture that cannot be drawn (too
large, bad data) is kept in the output and named in a warning.
)"},
      {"render", R"(Usage: quillet-cli render FILE.frp (--pdf FILE | --png DIR | --svg DIR) [--pages RANGE] [--scale S]

Draws the pages through the same page drawing as the preview and the printer.
  --pages RANGE   pages such as 1,3,5-12 (all pages when left out)
  --scale S       report pixels to image pixels for PNG and SVG (0.05..20, 1)
PNG and SVG pages are written as DIR/page-001.png, DIR/page-002.png, ...
A PNG page image may take at most 1 GiB (4 bytes a pixel) and 32767 pixels
a side; a larger page or scale is refused before drawing.
)"},
      {"print", R"(Usage: quillet-cli print FILE.frp [--printer NAME] [--range TEXT] [--copies N] [--collate] [--odd|--even]

Prints the prepared pages ("quillet-cli printers" lists the printer names).
)"},
      {"info", R"(Usage: quillet-cli info FILE.frp|TEMPLATE.frf [--json]

One line for the file, one per page, one per object (kind, name, geometry,
colours, Tag and text); --json gives the same as one JSON document.
)"},
      {"printers", R"(Usage: quillet-cli printers

Lists the installed printers, "Print to PDF" and "Virtual printer"; the
current one is marked with '*'.
)"},
  };
  auto it = help.find(command);
  return it == help.end() ? ProgramHelp() : it->second;
}

}  // namespace quillet::cli
