// Templates from outside, prepared: whatever loads must form into prepared
// pages without crashing, leave the template exactly as it was, and give
// pages whose records read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/silent_host.h"
#include "platform/recording_canvas.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/prepared/prepared_pages.h"
#include "report/printer/printer.h"
#include "report/views/view_registry.h"

namespace {

std::vector<std::uint8_t> Saved(quillet::TfrReport& r) {
  quillet::MemoryStream out;
  r.SaveTemplate(out);
  return out.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  quillet::fuzz::StartSilentEngine();
  // A page per record of a huge count is refused at this many pages as it
  // is at the program's million, only sooner.
  quillet::TfrEMFPages::PageLimit = 2000;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Every input starts from the same printer (its paper is engine-wide
  // state), so that a finding reproduces on its own.
  quillet::StartEnginePrinter(quillet::Engine(), nullptr);
  quillet::Engine().SerialCounter = 0;
  quillet::Prep() = quillet::PreparationState{};
  quillet::TfrReport report;
  report.ShowProgress = false;
  quillet::MemoryStream in(std::vector<std::uint8_t>(data, data + size));
  report.LoadTemplate(in);
  const std::vector<std::uint8_t> before = Saved(report);
  report.Prepare();
  if (Saved(report) != before) std::abort();
  for (int i = 0; i < report.PreparedPages.Count(); ++i) report.PreparedPages.RebuildPage(i);
  return 0;
}
