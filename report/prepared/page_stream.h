// PageStream: the object records of one prepared page (the version byte,
// then one record per object), held compact once the page is finished.
//
// A page is open while records are appended to it; closing it packs its
// bytes with LZ4 and frees the plain copy. The records of a page repeat the
// same font, frame, flags and names with only places and texts differing,
// so a closed page holds a few kilobytes where its plain bytes take tens.
// Readers get the plain bytes back whether the page is open or closed; the
// bytes themselves (what files store) never change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/stream.h"

namespace quillet {

class PageStream {
 public:
  PageStream() = default;

  // The plain stream, positioned at its end, to append records to. A
  // closed page is unpacked (opened) first.
  MemoryStream& Open();
  // Packs the bytes and frees the plain copy; nothing when already closed.
  // Bytes that do not pack smaller are kept as they are.
  void Close();
  bool IsOpen() const { return !closed_; }

  // Replaces the bytes; the page is left closed.
  void Assign(std::string_view bytes);
  void Assign(const std::vector<std::uint8_t>& bytes) {
    Assign(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }

  // The plain bytes, unpacked when the page is closed.
  std::vector<std::uint8_t> Bytes() const;
  // A stream over the plain bytes at position 0, for reading the records.
  MemoryStream Reader() const { return MemoryStream(Bytes()); }
  // Writes the plain bytes at the position of `out`.
  void WriteTo(Stream& out) const;

  // The first plain byte (the page's version byte); 0 for an empty page.
  std::uint8_t FirstByte() const {
    if (closed_) return firstByte_;
    return plain_.Bytes().empty() ? 0 : plain_.Bytes().front();
  }
  // Number of plain bytes.
  std::uint64_t Size() const { return closed_ ? plainSize_ : plain_.Size(); }
  // Bytes of memory the page's data takes (room kept for growth included).
  std::size_t HeldBytes() const;

 private:
  MemoryStream plain_;                // the bytes while open
  std::vector<std::uint8_t> packed_;  // the bytes while closed
  std::size_t plainSize_ = 0;         // size of the plain bytes while closed
  std::uint8_t firstByte_ = 0;        // the first plain byte while closed
  bool closed_ = false;
  bool packedIsPlain_ = false;  // closed bytes that did not pack smaller
};

}  // namespace quillet
