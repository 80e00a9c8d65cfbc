// PageStream: the object records of one prepared page (the version byte,
// then one record per object), held compact once the page is finished.
//
// A page is open while records are appended to it; closing it packs its
// bytes with LZ4 and frees the plain copy. The records of a page repeat the
// same font, frame, flags and names with only places and texts differing,
// so a closed page holds a few kilobytes where its plain bytes take tens.
// Readers get the plain bytes back whether the page is open or closed; the
// bytes themselves (what files store) never change.
//
// Closed pages are held in memory up to a budget shared by all pages of the
// process; past it, a page's packed bytes move to a temporary file
// (SpillFile) and are read back from it when needed, so a report of any
// length forms, shows and saves in flat memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/stream.h"

namespace quillet {

class SpillFile;

// Packed bytes of closed pages held in memory before further pages move to
// a temporary file. A page of a table takes about 2.3 KB packed, so this
// keeps some 900 pages at hand; pages read back from the file cost little.
constexpr std::size_t kDefaultPageMemoryBudget = std::size_t(2) << 20;

class PageStream {
 public:
  PageStream() = default;
  ~PageStream();
  PageStream(const PageStream&) = delete;
  PageStream& operator=(const PageStream&) = delete;

  // The budget of packed bytes held in memory by the closed pages of the
  // whole process (kDefaultPageMemoryBudget unless an option sets it); 0
  // moves every closed page to the temporary file.
  static inline std::size_t MemoryBudget = kDefaultPageMemoryBudget;
  // Packed bytes the closed pages of the process hold in memory now.
  static std::size_t HeldInMemory();

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
  // Bytes of memory the page's data takes (room kept for growth included);
  // 0 for a page moved to the temporary file.
  std::size_t HeldBytes() const;
  // True when the closed bytes are in the temporary file.
  bool IsSpilled() const { return spill_ != nullptr; }

  // Where a closed page's bytes lie in the temporary file: all a page list
  // keeps of a page it has put aside (parked), 24 bytes.
  struct Place {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;       // packed bytes
    std::uint32_t plainSize = 0;  // plain bytes
    std::uint8_t firstByte = 0;
    bool packedIsPlain = false;
  };
  // For a closed page whose bytes are in `file`: their place, the page
  // being left empty; nothing for any other page (kept as it is).
  std::optional<Place> Park(const SpillFile& file);
  // Makes this (empty) page the closed page at `place` in `file`.
  void Unpark(const Place& place, std::shared_ptr<SpillFile> file);

 private:
  // Keeps the packed bytes in memory while the budget allows, else moves
  // them to the temporary file.
  void Keep();
  // Forgets the closed bytes wherever they are.
  void DropPacked();
  // The packed bytes, read back from the temporary file when they are there.
  std::vector<std::uint8_t> Packed() const;

  MemoryStream plain_;                // the bytes while open
  std::vector<std::uint8_t> packed_;  // the bytes while closed and held in memory
  std::shared_ptr<SpillFile> spill_;  // the file holding them otherwise
  std::uint64_t spillOffset_ = 0;     // where they start in it
  std::size_t spillSize_ = 0;         // how many there are
  std::size_t plainSize_ = 0;         // size of the plain bytes while closed
  std::uint8_t firstByte_ = 0;        // the first plain byte while closed
  bool closed_ = false;
  bool packedIsPlain_ = false;  // closed bytes that did not pack smaller
};

}  // namespace quillet
