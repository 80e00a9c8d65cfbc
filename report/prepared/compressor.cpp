#include "report/prepared/compressor.h"

namespace quillet {

// No compressor is plugged into this system; these write nothing.
void TfrCompressor::Compress(Stream&, Stream&) {}
void TfrCompressor::Decompress(Stream&, Stream&) {}

TfrCompressor& Compressor() {
  static TfrCompressor compressor;
  return compressor;
}

}  // namespace quillet
