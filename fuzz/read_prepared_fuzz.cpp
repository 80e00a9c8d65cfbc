// Reads arbitrary bytes as a prepared-report file and draws every page that
// was read onto a recording canvas. Engine errors are the expected answer
// to bad input; anything else (a crash, a sanitizer report, another
// exception) is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/silent_host.h"
#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/prepared/prepared_pages.h"
#include "report/printer/printer.h"
#include "report/views/view_registry.h"

namespace {

void DrawAll(quillet::TfrEMFPages& pages) {
  for (int i = 0; i < pages.Count(); ++i) {
    quillet::PreparedPage& page = pages[i];
    page.InUse = 1;
    quillet::RecordingCanvas canvas;
    try {
      pages.DrawPage(i, canvas, {0, 0, 758, 1071});
      pages.DrawPage(i, canvas, {5, 7, 5 + 1895, 7 + 2678});
    } catch (const quillet::EngineError&) {
    }
    page.InUse = 0;
    pages.DrawPage(i, canvas, {});  // releases the rebuilt page
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  quillet::fuzz::StartSilentEngine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Every input starts from the same printer (its paper is engine-wide
  // state), so that a finding reproduces on its own.
  quillet::StartEnginePrinter(quillet::Engine(), nullptr);
  quillet::Prep() = quillet::PreparationState{};
  quillet::TfrEMFPages pages{quillet::Engine()};
  quillet::MemoryStream file(std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    pages.ReadPreparedFile(file);
  } catch (const quillet::EngineError&) {
    // The pages read before the failure remain, and must draw.
  }
  DrawAll(pages);
  return 0;
}
