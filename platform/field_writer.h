// Gathers the small fields of a record and hands them to a stream in few
// writes.
//
// A record is dozens of two- and four-byte fields; writing each on its own
// costs a stream call per field, which shows when a page holds thousands of
// records. The bytes are the same as writing field by field: little-endian,
// in the order put. Call Flush() once the record is complete; what is still
// held when the writer goes away is lost.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/stream.h"

namespace quillet {

class FieldWriter {
 public:
  explicit FieldWriter(Stream& out) : out_(out) {}
  FieldWriter(const FieldWriter&) = delete;
  FieldWriter& operator=(const FieldWriter&) = delete;

  void U8(std::uint8_t v) {
    Reserve(1);
    held_[size_++] = v;
  }
  void U16(std::uint16_t v) {
    Reserve(2);
    held_[size_++] = std::uint8_t(v);
    held_[size_++] = std::uint8_t(v >> 8);
  }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) {
    Reserve(4);
    held_[size_++] = std::uint8_t(v);
    held_[size_++] = std::uint8_t(v >> 8);
    held_[size_++] = std::uint8_t(v >> 16);
    held_[size_++] = std::uint8_t(v >> 24);
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void Bytes(std::string_view bytes) {
    if (bytes.size() > kCapacity - size_) {
      Flush();
      // Longer than the whole buffer: straight through, after what was held.
      if (bytes.size() > kCapacity) {
        out_.Write(bytes.data(), bytes.size());
        return;
      }
    }
    if (!bytes.empty()) std::memcpy(held_.data() + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
  }

  // Writes what is held to the stream.
  void Flush() {
    if (size_) out_.Write(held_.data(), size_);
    size_ = 0;
  }

 private:
  static constexpr std::size_t kCapacity = 512;

  void Reserve(std::size_t n) {
    if (kCapacity - size_ < n) Flush();
  }

  Stream& out_;
  std::array<std::uint8_t, kCapacity> held_;
  std::size_t size_ = 0;
};

}  // namespace quillet
