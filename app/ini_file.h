// An initialisation file: [sections] of key=value lines in a text file.
//
// Sections and keys match without regard to letter case; values are trimmed
// of surrounding blanks. Lines that are neither a section header nor a
// key=value pair (comments, blank lines) are kept as they stand.
// Changes stay in memory until UpdateFile() writes the whole file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

class IniFile {
 public:
  // Files larger than this are refused as unreadable.
  static constexpr std::size_t kMaxSize = 1 << 20;

  // Reads the file at `path` when it exists; a missing file is an empty one
  // (it is created by UpdateFile()). Throws FileOpenError when an existing
  // file cannot be opened and StreamReadError when it cannot be read or is
  // larger than kMaxSize.
  explicit IniFile(std::string path);

  const std::string& Path() const { return path_; }

  std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
  // The value as an integer, or `def` when missing or not an integer.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // The value as a number with the engine's decimal separator, or `def`
  // when missing or not a number.
  double ReadFloat(std::string_view section, std::string_view key, double def) const;

  // Replaces the key's value in place, or adds the key at the end of its
  // section (adding the section at the end of the file when needed).
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteFloat(std::string_view section, std::string_view key, double value);

  // Writes every line to the file through a temporary beside it. Throws
  // FileOpenError or StreamWriteError; the old file then stays as it was.
  void UpdateFile() const;

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  // Index of the section's header line, or npos.
  std::size_t FindSection(std::string_view section) const;
  // Index of the key's line inside the section starting after `header`, or npos.
  std::size_t FindKey(std::size_t header, std::string_view key) const;
  // One past the last line that belongs to the section after `header`.
  std::size_t SectionEnd(std::size_t header) const;

  std::string path_;
  std::vector<std::string> lines_;
};

}  // namespace quillet
