// Reading and writing the records of template streams and prepared pages.
//
// A stream's version decides its layout and how its texts are coded:
//   21, 22  texts end with a zero byte; no names, scripts or tags
//   23      texts are counted; templates keep scripts and visibility
//   24      names, record versions, restrictions, tags, gaps and spacing
//   25      version 24's layout with every text in UTF-8
//   26      version 25, with PNG and SVG pictures and pictures taken from a
//           file (docs/stream-versions.md)
//   27      version 26, with the template's title, author and subject
// Before version 25 a text is bytes of the code page that its object's font
// character set chooses (1252 for everything without a font). The engine's
// texts are UTF-8 throughout; the reader decodes and the writer encodes.
//
// The version travels in the RecordReader or RecordWriter that every record
// reader and writer receives. Both forward the stream calls records need.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stream.h"

namespace quillet {

class FieldWriter;

inline constexpr int kOldestStreamVersion = 21;
inline constexpr int kCountedTextsVersion = 23;  // counted texts, template scripts
inline constexpr int kNamedRecordsVersion = 24;  // names, tags, record versions
inline constexpr int kUtf8TextsVersion = 25;     // every text in UTF-8
inline constexpr int kPictureFilesVersion = 26;  // PNG, SVG, pictures from files
inline constexpr int kDocumentInfoVersion = 27;  // template title, author, subject
inline constexpr int kNewestStreamVersion = kDocumentInfoVersion;
inline constexpr int kDefaultCodePage = 1252;

class RecordReader {
 public:
  RecordReader(Stream& in, int version) : in_(in), version_(version) {}

  Stream& In() { return in_; }
  int Version() const { return version_; }
  bool AtLeast(int version) const { return version_ >= version; }

  // The code page texts read from here on are decoded from (streams before
  // version 25), and whether a text since the last call needed it: a text
  // that is not seven-bit. An object whose font chooses another code page
  // than the one its record was read with is read again.
  void UseCodePage(int codePage) {
    codePage_ = codePage;
    decodedCodePageText_ = false;
  }
  int CodePage() const { return codePage_; }
  bool DecodedCodePageText() const { return decodedCodePageText_; }
  // Stored bytes as engine text. In UTF-8 streams a byte that starts no
  // well-formed character reads as U+FFFD.
  std::string Decoded(std::string stored);

  std::uint8_t ReadU8() { return in_.ReadU8(); }
  std::uint16_t ReadU16() { return in_.ReadU16(); }
  std::int16_t ReadI16() { return in_.ReadI16(); }
  std::uint32_t ReadU32() { return in_.ReadU32(); }
  std::int32_t ReadI32() { return in_.ReadI32(); }
  std::string ReadBytes(std::size_t n) { return in_.ReadBytes(n); }
  void ReadExact(void* buffer, std::size_t n) { in_.ReadExact(buffer, n); }
  std::uint64_t Position() const { return in_.Position(); }
  std::uint64_t Size() const { return in_.Size(); }
  std::uint64_t Remaining() const { return in_.Remaining(); }
  bool AtEnd() const { return in_.AtEnd(); }
  void Seek(std::uint64_t pos) { in_.Seek(pos); }

 private:
  Stream& in_;
  int version_;
  int codePage_ = kDefaultCodePage;
  bool decodedCodePageText_ = false;
};

class RecordWriter {
 public:
  RecordWriter(Stream& out, int version) : out_(out), version_(version) {}

  Stream& Out() { return out_; }
  int Version() const { return version_; }
  bool AtLeast(int version) const { return version_ >= version; }

  // The code page texts written from here on are encoded in (streams
  // before version 25).
  void UseCodePage(int codePage) { codePage_ = codePage; }
  int CodePage() const { return codePage_; }
  // The bytes `text` is stored as. A text the code page cannot hold is
  // stored as it is and noted: the caller writes the stream again as
  // version 25, so nothing is ever replaced.
  std::string_view Stored(const std::string& text);
  // Notes that a record holds what only streams of `version` on can hold
  // (a PNG picture needs 26); the caller writes the stream again in
  // NeededVersion().
  void Require(int version) { required_ = std::max(required_, version); }
  // Whether the stream must be written again in a newer version.
  bool Unfit() const { return NeededVersion() > version_; }
  int NeededVersion() const {
    return std::max({version_, required_, unfit_ ? kUtf8TextsVersion : 0});
  }
  void ForgetUnfit() {
    unfit_ = false;
    required_ = 0;
  }

  void WriteU8(std::uint8_t v) { out_.WriteU8(v); }
  void WriteU16(std::uint16_t v) { out_.WriteU16(v); }
  void WriteI16(std::int16_t v) { out_.WriteI16(v); }
  void WriteU32(std::uint32_t v) { out_.WriteU32(v); }
  void WriteI32(std::int32_t v) { out_.WriteI32(v); }
  void Write(const void* buffer, std::size_t n) { out_.Write(buffer, n); }
  std::uint64_t Position() const { return out_.Position(); }
  void Seek(std::uint64_t pos) { out_.Seek(pos); }

 private:
  Stream& out_;
  int version_;
  int codePage_ = kDefaultCodePage;
  bool unfit_ = false;
  int required_ = 0;
  std::string encoded_;  // the last text encoded, which Stored() points into
};

// Counted texts (version 23 on) and zero-ended ones (21 and 22).
std::string ReadCountedString(RecordReader& r);
void WriteCountedString(RecordWriter& w, const std::string& text);
// Lines: counted from version 23 on, else one zero-ended text with
// carriage returns between the lines.
std::vector<std::string> ReadStringList(RecordReader& r);
void WriteStringList(RecordWriter& w, const std::vector<std::string>& lines);
// The same, gathered into a record being written to `w`'s stream.
void WriteCountedString(FieldWriter& out, RecordWriter& w, const std::string& text);
void WriteStringList(FieldWriter& out, RecordWriter& w, const std::vector<std::string>& lines);

}  // namespace quillet
