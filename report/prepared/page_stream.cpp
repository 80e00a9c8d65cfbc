#include "report/prepared/page_stream.h"

#include <lz4.h>

#include <atomic>
#include <cstdint>
#include <limits>

#include "platform/errors.h"
#include "platform/spill_file.h"

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

std::atomic<std::size_t> heldInMemory{0};

}  // namespace

std::size_t PageStream::HeldInMemory() {
  return heldInMemory.load(std::memory_order_relaxed);
}

PageStream::~PageStream() {
  DropPacked();
}

void PageStream::DropPacked() {
  if (!spill_) heldInMemory.fetch_sub(packed_.capacity(), std::memory_order_relaxed);
  packed_ = std::vector<std::uint8_t>();  // "= {}" would keep the capacity
  spill_.reset();
  spillOffset_ = 0;
  spillSize_ = 0;
}

void PageStream::Keep() {
  const std::size_t size = packed_.capacity();
  // Counted first: when the move fails, the page stays in memory, counted.
  if (heldInMemory.fetch_add(size, std::memory_order_relaxed) + size <= MemoryBudget) return;
  std::shared_ptr<SpillFile> file = SpillFile::Shared();
  spillOffset_ = file->Append(packed_.data(), packed_.size());
  spillSize_ = packed_.size();
  spill_ = std::move(file);
  packed_ = std::vector<std::uint8_t>();  // "= {}" would keep the capacity
  heldInMemory.fetch_sub(size, std::memory_order_relaxed);
}

std::vector<std::uint8_t> PageStream::Packed() const {
  if (!spill_) return packed_;
  std::vector<std::uint8_t> bytes(spillSize_);
  spill_->ReadAt(spillOffset_, bytes.data(), bytes.size());
  return bytes;
}

std::optional<PageStream::Place> PageStream::Park(const SpillFile& file) {
  if (!closed_ || spill_.get() != &file || spillSize_ > UINT32_MAX || plainSize_ > UINT32_MAX)
    return std::nullopt;
  const Place place{spillOffset_, std::uint32_t(spillSize_), std::uint32_t(plainSize_), firstByte_,
                    packedIsPlain_};
  DropPacked();
  plainSize_ = 0;
  firstByte_ = 0;
  return place;
}

void PageStream::Unpark(const Place& place, std::shared_ptr<SpillFile> file) {
  plain_ = MemoryStream();
  DropPacked();
  spill_ = std::move(file);
  spillOffset_ = place.offset;
  spillSize_ = place.size;
  plainSize_ = place.plainSize;
  firstByte_ = place.firstByte;
  packedIsPlain_ = place.packedIsPlain;
  closed_ = true;
}

MemoryStream& PageStream::Open() {
  if (closed_) {
    plain_ = MemoryStream(Bytes());
    DropPacked();
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
  std::vector<std::uint8_t> packed;
  packedIsPlain_ = !Pack(bytes.data(), bytes.size(), packed);
  if (packedIsPlain_) packed.assign(bytes.begin(), bytes.end());
  plain_ = MemoryStream();
  packed_ = std::move(packed);
  closed_ = true;
  Keep();
}

void PageStream::Assign(std::string_view bytes) {
  plain_ = MemoryStream();
  DropPacked();
  plainSize_ = bytes.size();
  firstByte_ = bytes.empty() ? 0 : static_cast<std::uint8_t>(bytes.front());
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  packedIsPlain_ = !Pack(data, bytes.size(), packed_);
  if (packedIsPlain_) packed_.assign(data, data + bytes.size());
  closed_ = true;
  Keep();
}

std::vector<std::uint8_t> PageStream::Bytes() const {
  if (!closed_) return plain_.Bytes();
  if (packedIsPlain_) return Packed();
  const std::vector<std::uint8_t> packed = spill_ ? Packed() : std::vector<std::uint8_t>();
  const std::vector<std::uint8_t>& source = spill_ ? packed : packed_;
  std::vector<std::uint8_t> bytes(plainSize_);
  const int n = LZ4_decompress_safe(reinterpret_cast<const char*>(source.data()),
                                    reinterpret_cast<char*>(bytes.data()),
                                    static_cast<int>(source.size()), static_cast<int>(plainSize_));
  // Only this class packs these bytes: a mismatch means memory (or the
  // temporary file) was damaged.
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
  if (!closed_) return plain_.Bytes().capacity();
  return spill_ ? 0 : packed_.capacity();
}

}  // namespace quillet
