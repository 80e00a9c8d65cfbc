// Template streams from outside: any bytes load (bad ones are reported to
// the user, never thrown), the "ReportForm" reader takes the same bytes or
// raises StreamReadError, and whatever loaded saves to bytes that load
// back to the same template.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/silent_host.h"
#include "platform/errors.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/printer/printer.h"
#include "report/template/report_template.h"
#include "report/views/view_registry.h"

namespace {

std::vector<std::uint8_t> Saved(quillet::TfrTemplate& t) {
  quillet::MemoryStream out;
  t.SaveTemplate(out);
  return out.Bytes();
}

// Loading lets each page take the printer's paper, and the printer keeps
// the paper the last page left (a size within a tenth of a millimetre of
// it passes for it). Every load therefore starts from the same printer, so
// the second load sees what the first one saw.
void ResetPrinter() {
  quillet::StartEnginePrinter(quillet::Engine(), nullptr);
}

void CheckRoundTrip(quillet::TfrTemplate& t) {
  const std::vector<std::uint8_t> first = Saved(t);
  ResetPrinter();
  quillet::TfrTemplate again;
  quillet::MemoryStream in(first);
  again.LoadTemplate(in);
  if (Saved(again) != first) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  quillet::fuzz::StartSilentEngine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  quillet::Engine().SerialCounter = 0;
  {
    ResetPrinter();
    quillet::TfrTemplate t;
    quillet::MemoryStream in(bytes);
    t.LoadTemplate(in);
    CheckRoundTrip(t);
  }
  {
    ResetPrinter();
    quillet::TfrTemplate t;
    t.StoreInDFM = true;
    quillet::MemoryStream in(bytes);
    try {
      t.ReadReportForm(in);
    } catch (const quillet::StreamReadError&) {
      return 0;
    }
    t.LoadEmbeddedTemplate();
    CheckRoundTrip(t);
  }
  return 0;
}
