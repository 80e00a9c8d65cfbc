#include <map>

#include "cli/commands.h"
#include "quillet_version.h"

// Where the package installs the documentation and the examples.
#ifndef QUILLET_DOC_DIR
#define QUILLET_DOC_DIR "/usr/share/doc/quillet"
#endif

namespace quillet::cli {
namespace {

// The data options of every command that loads a template.
const char* const kDataOptions = R"(
Data options: a data band whose data source is NAME runs over the data set
of that name; a missing file, a bad query or a band over a data set no option
names is one line on standard error and exit code 1, with nothing written.
  --csv NAME=FILE.csv       a CSV file with a header row (repeatable); a pipe
                            such as /dev/stdin is read once into a temporary
                            file. Every row must have the header's number of
                            fields; two columns of one name, a UTF-16 file
                            and a device are refused
  --csv-delimiter C         the CSV delimiter: one character or "tab" (,)
  --csv-text NAME=COL,COL   keep these columns of a --csv data set as text,
                            never numbers or dates (repeatable); a cell with
                            a leading zero (007, 02134) stays text anyway
  --db CONNECTION           an SQLite file, or a PostgreSQL server as
                            "driver=QPSQL;host=H;port=P;dbname=D;user=U"
                            (the password is read from QUILLET_DB_PASSWORD,
                            never from the command line)
  --dataset NAME=SELECT ... the rows of a query over --db (repeatable); :MASTER.FIELD
                            in it takes that data set's current value, so a detail
                            band's query can hold only its master record's rows.
                            One reading statement (SELECT, WITH, VALUES) only,
                            run in a read-only session; anything else is refused.
                            A data set name may be given only once.
  --max-steps N             stop any script of the report that runs more than N
                            lines, as a calculation error naming its object
                            (10000000)
  --page-memory MIB         keep at most MIB MiB of packed prepared pages in
                            memory (2); further pages wait in a temporary
                            file that nothing outlives, so a report of any
                            length forms in flat memory. 0 keeps none.
  --sort NAME=KEYS          sorts the --csv data set NAME before the report is
                            formed (repeatable): KEYS are columns separated by
                            commas, each with ASC (the default) or DESC after it,
                            as in --sort "Items=Category,Name DESC". Numbers sort
                            by value, dates by time, texts alphabetically with
                            letter case ignored; empty cells come first. A group
                            repeats wherever its rows are apart, so sort a grouped
                            report's data by its group conditions first.
)";

}  // namespace

std::string ProgramHelp() {
  return R"(Usage: quillet-cli COMMAND [OPTIONS]

Commands:
  sheet       lay out and prepare the shapes sheet, write it as PDF, PNG or .frp, or print it
  prepare     prepare a template file (.frf or .json) into a prepared-report file (.frp)
  render      draw the pages of a .frp file or a prepared template into PDF, PNG or SVG files
  print       print a .frp file or a prepared template
  info        list the pages and objects of a .frp or .frf file
  printers    list the printers and the current one
  template    turn a template file into its JSON text and back
  eval        evaluate an expression as a report's bracket would
  run-script  translate and run a script file as a report's interpreter would
  check       find the mistakes of a template before it runs
  preview     open the preview window on a .frp file or a prepared template
  diff        compare two prepared reports (or prepared templates) page by page

Run 'quillet-cli COMMAND --help' for the options of a command. Every command
that loads a template (prepare, render, print, preview, check, eval, diff) takes
the data options --csv, --csv-delimiter, --csv-text, --db, --dataset,
--max-steps, --page-memory and --sort.

Options:
  -h, --help     show this help and exit
      --version  show the version and exit
Progress lines go to standard error on a terminal; elsewhere only with
--progress (given after the command).

Documentation: )" QUILLET_DOC_DIR R"(/template-format.md describes the
template format; )" QUILLET_DOC_DIR R"(/writing-reports.md walks through
writing a report and lists the expressions, functions and format codes;
)" QUILLET_DOC_DIR R"(/examples/ holds example reports with their data, and
its README.md gives the command that prepares each.
)";
}

std::string VersionText() {
  return std::string("quillet-cli ") + kQuilletVersion + "\n";
}

std::string CommandHelp(const std::string& command) {
  static const std::map<std::string, std::string> help = {
      {"sheet",
       R"(Usage: quillet-cli sheet [SETTINGS] (--pdf FILE | --png FILE | --frp FILE | --print [--printer NAME])

Lays out the sheet exactly as the Print button of the main window does,
prepares it, and writes the prepared page (or prints page 1 once). Printed
to "Print to PDF", the path of the PDF is written on standard output.

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
      {"prepare", R"(Usage: quillet-cli prepare TEMPLATE.frf|TEMPLATE.json -o OUT.frp [data options]

Prepares the template without a window; progress goes to standard error
(on a terminal, or with --progress). A template in JSON text is recognised
by its content (it starts with '{'). A picture that cannot be drawn (too
large, bad data) is kept in the output and named in a warning.
)" + std::string(kDataOptions)},
      {"render",
       R"(Usage: quillet-cli render FILE.frp|TEMPLATE.frf|TEMPLATE.json (--pdf FILE | --png DIR | --png-file FILE | --svg DIR) [--pages RANGE] [--scale S | --size N] [--title T] [--author A] [--subject S] [data options]

Draws the pages through the same page drawing as the preview and the printer.
A template is prepared first, as prepare would, over the data options.
  --pages RANGE   pages such as 1,3,5-12 (all pages when left out)
  --title T, --author A, --subject S
                  the PDF's document information, over the template's own
                  (a .frp file keeps none; give them here)
  --scale S       report pixels to image pixels for PNG and SVG (0.05..20, 1)
  --size N        instead of --scale: the longer side of each PNG page, in pixels (8..4096)
  --png-file FILE one PNG page (choose it with --pages) written to FILE
PNG and SVG pages are written as DIR/page-001.png, DIR/page-002.png, ...
A PNG page image may take at most 1 GiB (4 bytes a pixel) and 32767 pixels
a side; a larger page or scale is refused before drawing.
A PDF labels each page with its number in the report (so --pages 3-5 gives
pages labelled 3, 4 and 5) and, for a prepared template, has a bookmark for
each group header shown; a .frp file keeps no bookmarks.
)" + std::string(kDataOptions)},
      {"print",
       R"(Usage: quillet-cli print FILE.frp|TEMPLATE.frf|TEMPLATE.json [--printer NAME] [--range TEXT] [--copies N] [--collate] [--odd|--even] [data options]

Prints the prepared pages ("quillet-cli printers" lists the printer names);
a template is prepared first, as prepare would, over the data options.
Printed to "Print to PDF", the path of each PDF made goes to
standard output, one a line.
)" + std::string(kDataOptions)},
      {"info", R"(Usage: quillet-cli info FILE.frp|TEMPLATE.frf|TEMPLATE.json [--json]

One line for the file, one per page, one per object (kind, name, geometry,
colours, Tag and text); --json gives the same as one JSON document.
)"},
      {"template", R"(Usage: quillet-cli template dump TEMPLATE.frf [-o OUT.json]
       quillet-cli template build TEMPLATE.json -o OUT.frf

dump writes the template as JSON text (to standard output without -o);
build writes the template file a JSON text describes. Converting a .frf to
JSON and back gives the same bytes; the printer name and paper stay as the
template names them. docs/template-format.md describes the JSON text.
A JSON error is reported as FILE:LINE:COLUMN: JSON-POINTER: problem, and
nothing is written.
)"},
      {"eval",
       R"help(Usage: quillet-cli eval EXPRESSION [--template FILE.frf|FILE.json [data options]] [--var NAME=VALUE ...] [--json]
       quillet-cli eval --postfix EXPRESSION

Evaluates EXPRESSION as a report preparing the template would evaluate a
bracketed expression (no template: an empty report) and prints its value as
text on one line. Errors go to standard error as one line, exit code 1.

  --template FILE       names, objects ("Memo1.Left", "PAGE1.Name") and the
                        data dictionary come from this template (.frf, or
                        JSON text whatever its name); with data options a
                        field such as [Items.Price] reads the data set's
                        first record
  --var NAME=VALUE      presets a user variable (repeatable); VALUE is an
                        integer when it is digits with an optional minus, a
                        float with one decimal point, otherwise text
  --json                prints {"type": "integer|float|text|boolean|date|null",
                        "text": "..."}
  --postfix             prints the postfix form instead, operator codes as \xNN

Expressions: numbers (2.5 or 2,5), 'quoted text' ('' is one quote), names,
[bracketed names], + - * / MOD, < = > <> <= >=, AND OR NOT, INT FRAC ROUND
STR, IF(c, a, b), COPY(text, from, count), STRTODATE, STRTOTIME, SETARRAY,
GETARRAY, name[index]. Comparisons bind more loosely than AND and OR:
write (a > 1) AND (b < 2). A minus, plus or NOT right after another
operator applies to the operand that follows it: 2 * -3 is -6.

Examples:
  quillet-cli eval "2+3*4"                          14
  quillet-cli eval "A * 1.5" --var A=4              6
  quillet-cli eval "IF(A > 1, 'big', 'small')" --var A=3
  quillet-cli eval "COPY('abcdef', 2, 3)"           bcd
  quillet-cli eval --postfix "a+b*c"                a b c *+
)help" + std::string(kDataOptions)},
      {"run-script",
       R"(Usage: quillet-cli run-script FILE [--template FILE.frf] [--var NAME=VALUE ...] [--max-steps N] [--json]

Translates the script in FILE and runs it as a report's interpreter runs an
object's script, then prints every user variable as NAME=VALUE, sorted by
name. A translation error prints "Line l/c: message" on standard error and
exits 1 without running anything; an error while running prints its message
and exits 2.

  --template FILE.frf   objects ("Memo1.Visible := False"), the data
                        dictionary and the names of this template
  --var NAME=VALUE      presets a user variable (repeatable), typed as for eval
  --max-steps N         ends a script that runs more than N lines with an
                        error (default 10000000)
  --json                prints {"NAME": {"type": "...", "text": "..."}, ...}

Example:
  quillet-cli run-script total.pas --var N=3
)"},
      {"check", R"(Usage: quillet-cli check TEMPLATE.frf|TEMPLATE.json [--json] [data options]

Finds the mistakes of a template before it runs, without preparing it. Each
finding is one line,

  FILE[:LINE:COLUMN]: error|warning: OBJECT (POINTER): message

naming the object (or page) and the JSON pointer of the member at fault in
the template's JSON form (/pages/0/objects/3/text/1); LINE and COLUMN are
given for a JSON template. The last line is "no problems" or the counts.

Errors (the report fails, or prints a blank or 0 where a value was meant):
  a script that does not translate; an expression that does not convert,
  such as a "[" never closed; a call of a function that does not exist
  (SUMM(...)); an aggregate over a band its page does not have
  (COUNT(LineBnd)); a member the JSON reader does not know, or any other
  JSON mistake; with data options, a data band over a data set none of
  them gives.
Warnings (the report runs, but may not print as meant):
  a script of more than one statement outside begin ... end (only the
  first runs); TOTALPAGES in a report that is not two-pass (it is 0); an
  object outside its page, or on a page with bands but in none of them
  (it does not print); a data band with no data source, or, without data
  options, over a data set yet to be given.
With data options, also warnings for: a data reference ([Items."Price"])
to a field its data set lacks or to a data set that is not given, with
the nearest existing name suggested; a group whose condition takes a value
again after other values came between (data not sorted by it).

Exit code 0 when there is nothing, 1 with warnings only, 2 with any error
(also when the template or its data cannot be read at all: then the reason
is one line on standard error).

  --json   the findings as a JSON list instead: each an object with
           "severity", "object", "pointer", "file", "line", "column" (0 when
           not known) and "message".
)" + std::string(kDataOptions)},
      {"preview",
       R"(Usage: quillet-cli preview FILE.frp|TEMPLATE.frf|TEMPLATE.json [data options] [--watch]

Opens the preview window on the pages of a prepared-report file, or of a
template prepared first as prepare would, over the data options. The window
pages, zooms, finds text, saves and prints as the program's preview does;
the command ends when it is closed (exit code 0). A file that cannot be read
or prepared is one line on standard error and exit code 1, and no window
opens. Once the window is shown, standard error says how many pages it holds.
A template opened with the window's Open button is prepared over the same
data options.
The window needs a display (DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM).

  --watch   prepare the template again whenever it, a --csv file or the
            SQLite --db file changes on disk: the window keeps its page and
            zoom and shows the new pages. A template that fails to load or
            prepare keeps the last good pages, and the window's status line
            shows the error (line and column of bad JSON; the object of a
            failing expression or script) until a fixed save clears it.
            Needs a template, not a .frp file.
)" + std::string(kDataOptions)},
      {"diff",
       R"(Usage: quillet-cli diff A B [--tolerance PX] [--json] [--png DIR [--scale S]] [data options] [--b-csv NAME=FILE.csv ...]

Compares two reports page by page: A and B are prepared-report files (.frp)
or templates (.frf or JSON text), a template prepared first as prepare would.
It compares the page count, each page's paper and, per object, its text,
geometry, font, frame and fill colours and a picture's bytes. Objects of a
page pair by name: the third "Price" of page 2 in A with the third "Price" of
page 2 in B. Each difference is one line on standard output, such as
  page 3, memo Total: text "1,204.50" → "1,204.05"
  page 2, memo Price #7: geometry 320,140 80x18 → 320,160 80x18
(#7: the seventh object of that name on its page), then a count. Exit code
0 when they are the same, 1 when they differ, 2 on an error.

  --tolerance PX  geometry differs only when an edge moved by more than PX
                  report pixels (0)
  --json          one JSON document: {"same", "pages": {"a", "b"},
                  "differences": [{"page", "kind", "name", "occurrence",
                  "property", "a", "b", "rect", "summary"}], "png": [files]};
                  "rect" ({"side", "left", "top", "width", "height"} in
                  report pixels) places an object's difference on the
                  page of side "a" or "b"
  --png DIR       one picture per page with a difference, DIR/page-003.png,
                  ...: page B drawn, changed and added objects outlined in
                  red, removed ones (where A had them) in dashed blue
  --scale S       report pixels to image pixels for --png (0.05..20, 1)

The data options apply to every template among A and B. A --b-NAME option
(--b-csv, --b-csv-text, --b-db, --b-dataset, --b-sort, --b-csv-delimiter,
--b-max-steps) replaces --NAME's values for B alone, as in
  quillet-cli diff price_list.json price_list.json --csv Items=old.csv --b-csv Items=new.csv
)" + std::string(kDataOptions)},
      {"printers", R"(Usage: quillet-cli printers [--json]

Lists the installed printers, "Print to PDF" and "Virtual printer"; the
current one is marked with '*'. Each printer shows its state as its print
server reports it now (idle, printing, stopped, not accepting jobs,
unreachable) and its default paper. CUPS_SERVER chooses the CUPS server.
--json writes one array of {"name", "current", "state", "paper"} objects
(and "message" when the printer has one).
)"},
  };
  auto it = help.find(command);
  return it == help.end() ? ProgramHelp() : it->second;
}

}  // namespace quillet::cli
