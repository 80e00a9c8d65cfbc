// JSON templates from outside: any text is either refused with
// TemplateJsonError or read into a template; what was read writes to JSON
// that reads back to the same JSON, and saves to a template stream that
// loads back to the same JSON.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/silent_host.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/template/report_template.h"
#include "report/template/template_json.h"
#include "report/views/view_registry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static quillet::fuzz::SilentHost host;
  quillet::Engine().SetHost(&host);
  quillet::RegisterEngineKinds(quillet::Engine());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  quillet::Engine().SerialCounter = 0;
  quillet::TfrTemplate t;
  try {
    quillet::ReadTemplateJson(text, t);
  } catch (const quillet::TemplateJsonError&) {
    return 0;
  }
  const std::string json = quillet::WriteTemplateJson(t);
  quillet::TfrTemplate again;
  quillet::ReadTemplateJson(json, again);  // raises (and so fails) if the writer's JSON is refused
  if (quillet::WriteTemplateJson(again) != json) std::abort();

  quillet::MemoryStream stream;
  t.SaveTemplate(stream);
  stream.Seek(0);
  quillet::TfrTemplate loaded;
  loaded.KeepStoredPaper = true;
  loaded.LoadTemplate(stream);
  if (quillet::WriteTemplateJson(loaded) != json) std::abort();
  return 0;
}
