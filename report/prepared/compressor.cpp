#include "report/prepared/compressor.h"

#include "report/base/engine_state.h"

namespace quillet {

// No compressor is plugged into this system; these write nothing.
void TfrCompressor::Compress(Stream&, Stream&) {}
void TfrCompressor::Decompress(Stream&, Stream&) {}

void EngineObjectDeleter::operator()(TfrCompressor* compressor) const {
  delete compressor;
}

TfrCompressor& Compressor(EngineGlobals& engine) {
  auto& compressor = engine.Compressor;
  if (!compressor) compressor.reset(new TfrCompressor());
  return *compressor;
}

}  // namespace quillet
