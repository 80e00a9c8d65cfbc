#include "report/base/record_stream.h"

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/field_writer.h"
#include "platform/utf8.h"

namespace quillet {
namespace {

// Reads bytes up to (and consuming) a terminator byte 0.
std::string ReadZeroEnded(RecordReader& r) {
  std::string out;
  for (;;) {
    char c = static_cast<char>(r.ReadU8());
    if (c == 0) return out;
    out.push_back(c);
  }
}

}  // namespace

std::string RecordReader::Decoded(std::string stored) {
  if (IsSevenBit(stored)) return stored;
  // A damaged UTF-8 text reads with U+FFFD for each byte that is no
  // character, as the format says.
  if (AtLeast(kUtf8TextsVersion)) return RepairUtf8(stored);
  decodedCodePageText_ = true;
  return Utf8OfCodePage(stored, codePage_);
}

std::string_view RecordWriter::Stored(const std::string& text) {
  if (AtLeast(kUtf8TextsVersion) || IsSevenBit(text)) return text;
  std::optional<std::string> bytes = CodePageOfUtf8(text, codePage_);
  if (!bytes) {
    unfit_ = true;
    return text;
  }
  encoded_ = std::move(*bytes);
  return encoded_;
}

std::string ReadCountedString(RecordReader& r) {
  if (!r.AtLeast(kCountedTextsVersion)) return r.Decoded(ReadZeroEnded(r));
  std::uint16_t n = r.ReadU16();
  std::string text = r.ReadBytes(n);
  r.ReadU8();  // the trailing zero, whatever its value
  return r.Decoded(std::move(text));
}

void WriteCountedString(RecordWriter& w, const std::string& text) {
  FieldWriter out(w.Out());
  WriteCountedString(out, w, text);
  out.Flush();
}

void WriteCountedString(FieldWriter& out, RecordWriter& w, const std::string& text) {
  const std::string_view stored = w.Stored(text);
  if (!w.AtLeast(kCountedTextsVersion)) {
    out.Bytes(stored);
    out.U8(0);
    return;
  }
  if (stored.size() > 0xFFFF)
    throw StreamWriteError("String too long to store: " + std::to_string(stored.size()) + " bytes");
  out.U16(static_cast<std::uint16_t>(stored.size()));
  out.Bytes(stored);
  out.U8(0);
}

std::vector<std::string> ReadStringList(RecordReader& r) {
  std::vector<std::string> lines;
  if (!r.AtLeast(kCountedTextsVersion)) {
    std::string all = ReadZeroEnded(r);
    std::size_t start = 0;
    while (start < all.size()) {
      std::size_t cr = all.find('\r', start);
      if (cr == std::string::npos) {
        lines.push_back(r.Decoded(all.substr(start)));
        break;
      }
      lines.push_back(r.Decoded(all.substr(start, cr - start)));
      start = cr + 1;
    }
    return lines;
  }
  std::uint16_t count = r.ReadU16();
  if (count == 0) {
    r.ReadU8();
    return lines;
  }
  for (;;) {
    std::uint16_t n = r.ReadU16();
    lines.push_back(r.Decoded(r.ReadBytes(n)));
    if (r.ReadU8() == 0) break;
  }
  return lines;
}

void WriteStringList(RecordWriter& w, const std::vector<std::string>& lines) {
  FieldWriter out(w.Out());
  WriteStringList(out, w, lines);
  out.Flush();
}

void WriteStringList(FieldWriter& out, RecordWriter& w, const std::vector<std::string>& lines) {
  if (!w.AtLeast(kCountedTextsVersion)) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      out.Bytes(w.Stored(lines[i]));
      if (i + 1 < lines.size()) out.U8(13);
    }
    out.U8(0);
    return;
  }
  if (lines.size() > 0xFFFF) throw StreamWriteError("Too many lines to store");
  out.U16(static_cast<std::uint16_t>(lines.size()));
  if (lines.empty()) {
    out.U8(0);
    return;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view stored = w.Stored(lines[i]);
    if (stored.size() > 0xFFFF) throw StreamWriteError("Line too long to store");
    out.U16(static_cast<std::uint16_t>(stored.size()));
    out.Bytes(stored);
    out.U8(i + 1 < lines.size() ? 13 : 0);
  }
}

}  // namespace quillet
