// TfrCompressor: the compression hook of prepared-report files. This
// system compresses nothing: the flag stays false and both operations
// write nothing, so a file marked compressed loads with empty pages.
#pragma once

namespace quillet {

class Stream;
struct EngineGlobals;

class TfrCompressor {
 public:
  virtual ~TfrCompressor() = default;
  // Writes the compressed form of `source` (from its position) to `dest`.
  virtual void Compress(Stream& source, Stream& dest);
  // Writes the expanded form of `source` (from its position) to `dest`.
  virtual void Decompress(Stream& source, Stream& dest);

  bool CompressionEnabled = false;
};

// The engine-wide compressor (a member of the engine globals).
TfrCompressor& Compressor(EngineGlobals& engine);

}  // namespace quillet
