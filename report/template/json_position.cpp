#include "report/template/json_position.h"

#include <string>
#include <vector>

namespace quillet {
namespace {

class Scanner {
 public:
  explicit Scanner(std::string_view text) : s_(text) {}

  std::size_t pos = 0;

  void SkipSpace() {
    while (pos < s_.size() &&
           (s_[pos] == ' ' || s_[pos] == '\t' || s_[pos] == '\n' || s_[pos] == '\r'))
      ++pos;
  }
  char Peek() const { return pos < s_.size() ? s_[pos] : '\0'; }

  // A string at pos, decoded only as far as the escapes member names use.
  std::string ReadString() {
    std::string out;
    ++pos;  // opening quote
    while (pos < s_.size() && s_[pos] != '"') {
      if (s_[pos] == '\\' && pos + 1 < s_.size()) {
        ++pos;
        const char c = s_[pos];
        out.push_back(c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c);
        if (c == 'u') pos += 4;  // other characters cannot match a member name we report
      } else {
        out.push_back(s_[pos]);
      }
      ++pos;
    }
    ++pos;  // closing quote
    return out;
  }

  // Steps over one value without recursion, however deep it nests.
  void SkipValue() {
    SkipSpace();
    const char first = Peek();
    if (first == '"') {
      ReadString();
      return;
    }
    if (first != '{' && first != '[') {
      while (pos < s_.size() &&
             std::string_view(",]} \t\r\n").find(s_[pos]) == std::string_view::npos)
        ++pos;
      return;
    }
    int depth = 0;
    do {
      const char c = s_[pos];
      if (c == '"') {
        ReadString();
        continue;
      }
      if (c == '{' || c == '[') ++depth;
      if (c == '}' || c == ']') --depth;
      ++pos;
    } while (depth > 0 && pos < s_.size());
  }

 private:
  std::string_view s_;
};

std::vector<std::string> Segments(std::string_view pointer) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < pointer.size() && pointer[i] == '/') {
    std::string segment;
    for (++i; i < pointer.size() && pointer[i] != '/'; ++i) {
      if (pointer[i] == '~' && i + 1 < pointer.size()) {
        segment.push_back(pointer[i + 1] == '1' ? '/' : '~');
        ++i;
      } else {
        segment.push_back(pointer[i]);
      }
    }
    out.push_back(std::move(segment));
  }
  return out;
}

}  // namespace

std::size_t OffsetOfPointer(std::string_view text, std::string_view pointer) {
  Scanner sc(text);
  sc.SkipSpace();
  std::size_t found = sc.pos;
  for (const std::string& segment : Segments(pointer)) {
    const char open = sc.Peek();
    if (open != '{' && open != '[') return found;
    ++sc.pos;
    sc.SkipSpace();
    bool matched = false;
    for (std::size_t index = 0; sc.Peek() != '}' && sc.Peek() != ']' && sc.pos < text.size();
         ++index) {
      bool here;
      if (open == '{') {
        here = sc.ReadString() == segment;
        sc.SkipSpace();
        ++sc.pos;  // ':'
        sc.SkipSpace();
      } else {
        here = std::to_string(index) == segment;
      }
      if (here) {
        matched = true;
        break;
      }
      sc.SkipValue();
      sc.SkipSpace();
      if (sc.Peek() == ',') ++sc.pos;
      sc.SkipSpace();
    }
    if (!matched) return found;
    found = sc.pos;
  }
  return found;
}

TextPosition PositionOfOffset(std::string_view text, std::size_t offset) {
  TextPosition p;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++p.line;
      p.column = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++p.column;
    }
  }
  return p;
}

}  // namespace quillet
