#include "report/prepared/page_stream.h"

#include <lz4.h>

#include <limits>

#include "platform/errors.h"

namespace quillet {
namespace {

// Packs `bytes` into `packed`; false when LZ4 cannot make them smaller (or
// they pass what one LZ4 block can take), `packed` then being left empty.
bool Pack(const std::uint8_t* bytes, std::size_t size, std::vector<std::uint8_t>& packed) {
  packed.clear();
  if (size == 0 || size > std::size_t(LZ4_MAX_INPUT_SIZE)) return false;
  // One scratch buffer of the largest packed size seen, so that each page
  // gets an allocation of exactly its packed size.
  thread_local std::vector<char> scratch;
  const int bound = LZ4_compressBound(static_cast<int>(size));
  if (scratch.size() < std::size_t(bound)) scratch.resize(std::size_t(bound));
  const int n = LZ4_compress_default(reinterpret_cast<const char*>(bytes), scratch.data(),
                                     static_cast<int>(size), bound);
  if (n <= 0 || std::size_t(n) >= size) return false;
  packed.assign(scratch.begin(), scratch.begin() + n);
  return true;
}

}  // namespace

MemoryStream& PageStream::Open() {
  if (closed_) {
    plain_ = MemoryStream(Bytes());
    packed_ = {};
    plainSize_ = 0;
    closed_ = false;
    packedIsPlain_ = false;
  }
  plain_.Seek(plain_.Size());
  return plain_;
}

void PageStream::Close() {
  if (closed_) return;
  const std::vector<std::uint8_t>& bytes = plain_.Bytes();
  plainSize_ = bytes.size();
  firstByte_ = bytes.empty() ? 0 : bytes.front();
  packedIsPlain_ = !Pack(bytes.data(), bytes.size(), packed_);
  if (packedIsPlain_) packed_.assign(bytes.begin(), bytes.end());
  plain_ = MemoryStream();
  closed_ = true;
}

void PageStream::Assign(std::string_view bytes) {
  plain_ = MemoryStream();
  plainSize_ = bytes.size();
  firstByte_ = bytes.empty() ? 0 : static_cast<std::uint8_t>(bytes.front());
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  packedIsPlain_ = !Pack(data, bytes.size(), packed_);
  if (packedIsPlain_) packed_.assign(data, data + bytes.size());
  closed_ = true;
}

std::vector<std::uint8_t> PageStream::Bytes() const {
  if (!closed_) return plain_.Bytes();
  if (packedIsPlain_) return packed_;
  std::vector<std::uint8_t> bytes(plainSize_);
  const int n = LZ4_decompress_safe(reinterpret_cast<const char*>(packed_.data()),
                                    reinterpret_cast<char*>(bytes.data()),
                                    static_cast<int>(packed_.size()), static_cast<int>(plainSize_));
  // Only this class packs these bytes: a mismatch means memory was damaged.
  if (n < 0 || std::size_t(n) != plainSize_)
    throw EngineError("A prepared page held in memory does not unpack to its " +
                      std::to_string(plainSize_) + " bytes");
  return bytes;
}

void PageStream::WriteTo(Stream& out) const {
  if (!closed_) {
    out.Write(plain_.Bytes().data(), plain_.Bytes().size());
    return;
  }
  const std::vector<std::uint8_t> bytes = Bytes();
  out.Write(bytes.data(), bytes.size());
}

std::size_t PageStream::HeldBytes() const {
  return closed_ ? packed_.capacity() : plain_.Bytes().capacity();
}

}  // namespace quillet
