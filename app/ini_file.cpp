#include "app/ini_file.h"

#include <filesystem>

#include "platform/errors.h"
#include "platform/stream.h"
#include "report/base/text_format.h"
#include "sheet/sheet_controls.h"

namespace quillet {
namespace {

constexpr std::size_t npos = std::string::npos;

std::string_view Trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// The name of a "[name]" header line, or nothing.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trimmed(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == npos) return std::nullopt;
  return Trimmed(line.substr(1, close - 1));
}

// Splits "key=value"; comment lines (';') are not pairs.
bool SplitPair(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::string_view t = Trimmed(line);
  if (t.empty() || t.front() == ';') return false;
  const std::size_t eq = line.find('=');
  if (eq == npos) return false;
  key = Trimmed(line.substr(0, eq));
  value = Trimmed(line.substr(eq + 1));
  return !key.empty();
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec)) return;
  if (!std::filesystem::is_regular_file(path_, ec))
    throw FileOpenError("Cannot open file \"" + path_ + "\": not a regular file");
  FileStream in(path_, FileStream::Mode::Read);
  if (in.Size() > kMaxSize) throw StreamReadError("The file " + path_ + " is too large");
  const std::string text = in.ReadBytes(static_cast<std::size_t>(in.Size()));
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
    start = end + 1;
  }
}

std::size_t IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = HeaderName(lines_[i]);
    if (name && EqualsIgnoreCase(*name, section)) return i;
  }
  return npos;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && !HeaderName(lines_[i])) ++i;
  return i;
}

std::size_t IniFile::FindKey(std::size_t header, std::string_view key) const {
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    std::string_view k, v;
    if (SplitPair(lines_[i], k, v) && EqualsIgnoreCase(k, key)) return i;
  }
  return npos;
}

std::optional<std::string> IniFile::ReadString(std::string_view section,
                                               std::string_view key) const {
  const std::size_t header = FindSection(section);
  if (header == npos) return std::nullopt;
  const std::size_t at = FindKey(header, key);
  if (at == npos) return std::nullopt;
  std::string_view k, v;
  SplitPair(lines_[at], k, v);
  return std::string(v);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  const auto text = ReadString(section, key);
  if (!text) return def;
  try {
    return StrToInt(*text);
  } catch (const ConversionError&) {
    return def;
  }
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
  const auto text = ReadString(section, key);
  double v = 0;
  if (!text || !TryStrToFloat(*text, ProgramDecimalSeparator(), v)) return def;
  return v;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string line = std::string(key) + "=" + std::string(value);
  std::size_t header = FindSection(section);
  if (header == npos) {
    if (!lines_.empty() && !Trimmed(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(line);
    return;
  }
  const std::size_t at = FindKey(header, key);
  if (at != npos) {
    lines_[at] = line;
    return;
  }
  // After the section's last non-blank line, so a blank separator stays below it.
  std::size_t insert = SectionEnd(header);
  while (insert > header + 1 && Trimmed(lines_[insert - 1]).empty()) --insert;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert), line);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  WriteString(section, key, FloatToText(value, ProgramDecimalSeparator()));
}

void IniFile::UpdateFile() const {
  WriteFileAtomically(path_, [this](Stream& out) {
    for (const std::string& line : lines_) {
      out.WriteBytes(line);
      out.WriteBytes("\n");
    }
  });
}

}  // namespace quillet
