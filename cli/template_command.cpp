// quillet-cli template dump|build: template files between their stream
// form (.frf) and their JSON text. A conversion carries the template as it
// is stored: the printer name and paper the template names stay, whatever
// printers this machine has.
#include <iostream>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "platform/engine_host.h"
#include "platform/stream.h"
#include "report/template/report_template.h"
#include "report/template/template_json.h"
#include "session/command_options.h"
#include "session/template_loading.h"

namespace quillet::cli {
namespace {

int ErrorsShown(EngineGlobals& engine) {
  auto* console = dynamic_cast<ConsoleHost*>(&engine.Host());
  return console ? console->errors : 0;
}

// Loads the input of a conversion; a template stream the engine could not
// load completely (the loader said so on standard error) stops it.
void LoadForConversion(TfrTemplate& t, const std::string& path) {
  const int before = ErrorsShown(t.Globals());
  t.KeepStoredPaper = true;
  LoadTemplateAnyForm(t, path);
  if (ErrorsShown(t.Globals()) != before)
    throw EngineError(path + " did not load completely; nothing written");
}

int Dump(const Options& o) {
  if (o.Positional().size() != 2) throw UsageError("give exactly one template file to dump");
  TfrTemplate t;
  LoadForConversion(t, o.Positional()[1]);
  const std::string json = WriteTemplateJson(t);
  if (auto out = o.Value("output")) {
    WriteFileAtomically(*out, [&](Stream& s) { s.WriteBytes(json); });
  } else {
    std::cout << json;
  }
  return 0;
}

int Build(const Options& o) {
  if (o.Positional().size() != 2) throw UsageError("give exactly one JSON template to build");
  const auto out = o.Value("output");
  if (!out) throw UsageError("give the template file to write with -o OUT.frf");
  TfrTemplate t;
  LoadForConversion(t, o.Positional()[1]);
  t.SaveTemplateFile(*out);
  return 0;
}

}  // namespace

int RunTemplate(const Args& args) {
  const Options o(args, {}, {"output"});
  const std::string action = o.Positional().empty() ? "" : o.Positional()[0];
  if (action == "dump") return Dump(o);
  if (action == "build") return Build(o);
  throw UsageError("say 'template dump TEMPLATE' or 'template build TEMPLATE.json -o OUT.frf'");
}

}  // namespace quillet::cli
