#include "report/base/stream_strings.h"

#include "platform/errors.h"
#include "platform/field_writer.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"

namespace quillet {
namespace {

bool CountedEncoding() { return Engine().StreamVersion >= 23; }

// Reads bytes up to (and consuming) a terminator byte 0.
std::string ReadZeroEnded(Stream& s) {
  std::string out;
  for (;;) {
    char c = static_cast<char>(s.ReadU8());
    if (c == 0) return out;
    out.push_back(c);
  }
}

}  // namespace

std::string ReadCountedString(Stream& s) {
  if (!CountedEncoding()) return ReadZeroEnded(s);
  std::uint16_t n = s.ReadU16();
  std::string text = s.ReadBytes(n);
  s.ReadU8();  // the trailing zero, whatever its value
  return text;
}

void WriteCountedString(Stream& s, const std::string& text) {
  FieldWriter w(s);
  WriteCountedString(w, text);
  w.Flush();
}

void WriteCountedString(FieldWriter& w, const std::string& text) {
  if (!CountedEncoding()) {
    w.Bytes(text);
    w.U8(0);
    return;
  }
  if (text.size() > 0xFFFF) throw StreamWriteError("String too long to store: " +
                                                  std::to_string(text.size()) + " bytes");
  w.U16(static_cast<std::uint16_t>(text.size()));
  w.Bytes(text);
  w.U8(0);
}

std::vector<std::string> ReadStringList(Stream& s) {
  std::vector<std::string> lines;
  if (!CountedEncoding()) {
    std::string all = ReadZeroEnded(s);
    std::size_t start = 0;
    while (start < all.size()) {
      std::size_t cr = all.find('\r', start);
      if (cr == std::string::npos) {
        lines.push_back(all.substr(start));
        break;
      }
      lines.push_back(all.substr(start, cr - start));
      start = cr + 1;
    }
    return lines;
  }
  std::uint16_t count = s.ReadU16();
  if (count == 0) {
    s.ReadU8();
    return lines;
  }
  for (;;) {
    std::uint16_t n = s.ReadU16();
    lines.push_back(s.ReadBytes(n));
    if (s.ReadU8() == 0) break;
  }
  return lines;
}

void WriteStringList(Stream& s, const std::vector<std::string>& lines) {
  FieldWriter w(s);
  WriteStringList(w, lines);
  w.Flush();
}

void WriteStringList(FieldWriter& w, const std::vector<std::string>& lines) {
  if (!CountedEncoding()) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      w.Bytes(lines[i]);
      if (i + 1 < lines.size()) w.U8(13);
    }
    w.U8(0);
    return;
  }
  if (lines.size() > 0xFFFF) throw StreamWriteError("Too many lines to store");
  w.U16(static_cast<std::uint16_t>(lines.size()));
  if (lines.empty()) {
    w.U8(0);
    return;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() > 0xFFFF) throw StreamWriteError("Line too long to store");
    w.U16(static_cast<std::uint16_t>(lines[i].size()));
    w.Bytes(lines[i]);
    w.U8(i + 1 < lines.size() ? 13 : 0);
  }
}

}  // namespace quillet
