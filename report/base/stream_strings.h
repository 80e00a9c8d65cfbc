// Counted strings and string lists of template streams and prepared pages.
// The encoding follows the stream version being read or written
// (Engine().StreamVersion): 23 and later counted, 21 and 22 zero-ended.
#pragma once

#include <string>
#include <vector>

namespace quillet {

class FieldWriter;
class Stream;

std::string ReadCountedString(Stream& s);
void WriteCountedString(Stream& s, const std::string& text);
std::vector<std::string> ReadStringList(Stream& s);
void WriteStringList(Stream& s, const std::vector<std::string>& lines);
// The same, gathered into a record being written.
void WriteCountedString(FieldWriter& w, const std::string& text);
void WriteStringList(FieldWriter& w, const std::vector<std::string>& lines);

}  // namespace quillet
