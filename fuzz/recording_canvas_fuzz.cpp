// The recording canvas's bytes: any input loads or raises StreamReadError,
// and what loads replays and saves again.
#include <cstddef>
#include <cstdint>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "platform/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillet::MemoryStream in(std::vector<std::uint8_t>(data, data + size));
  quillet::RecordingCanvas rec;
  try {
    rec.Load(in);
  } catch (const quillet::StreamReadError&) {
    return 0;
  }
  quillet::RecordingCanvas copy;
  rec.ReplayOn(copy, 3, -3);
  quillet::MemoryStream out;
  rec.Save(out);
  return 0;
}
