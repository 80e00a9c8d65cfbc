#include "datasources/read_query.h"

#include <cctype>

namespace quillet {
namespace {

bool Space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool Word(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// PostgreSQL's "$tag$ ... $tag$" quoting: the tag's end, or `at` when none
// starts there.
std::size_t DollarTagEnd(std::string_view s, std::size_t at) {
  if (s[at] != '$') return at;
  std::size_t i = at + 1;
  if (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) return at;  // $1
  while (i < s.size() && Word(s[i])) ++i;
  return i < s.size() && s[i] == '$' ? i + 1 : at;
}

// The end of the quoted text, quoted name or comment starting at `at`, or
// `at` when none starts there. An unclosed one runs to the end.
std::size_t SkipQuoted(std::string_view s, std::size_t at) {
  const char c = s[at];
  if (c == '\'' || c == '"' || c == '`' || c == '[') {
    const char close = c == '[' ? ']' : c;
    const std::size_t end = s.find(close, at + 1);
    return end == std::string_view::npos ? s.size() : end + 1;
  }
  if (s.substr(at, 2) == "--") {
    const std::size_t end = s.find('\n', at);
    return end == std::string_view::npos ? s.size() : end;
  }
  if (s.substr(at, 2) == "/*") {
    const std::size_t end = s.find("*/", at + 2);
    return end == std::string_view::npos ? s.size() : end + 2;
  }
  if (const std::size_t tag = DollarTagEnd(s, at); tag != at) {
    const std::size_t end = s.find(s.substr(at, tag - at), tag);
    return end == std::string_view::npos ? s.size() : end + (tag - at);
  }
  return at;
}

// Past spaces, comments and opening parentheses from `at`.
std::size_t SkipLeading(std::string_view s, std::size_t at) {
  while (at < s.size()) {
    if (Space(s[at]) || s[at] == '(') {
      ++at;
    } else if (s.substr(at, 2) == "--" || s.substr(at, 2) == "/*") {
      at = SkipQuoted(s, at);
    } else {
      break;
    }
  }
  return at;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string WhyNotAReadQuery(std::string_view query) {
  const std::size_t first = SkipLeading(query, 0);
  if (first == query.size()) return "is empty";
  std::size_t wordEnd = first;
  while (wordEnd < query.size() && Word(query[wordEnd])) ++wordEnd;
  const std::string word = Upper(query.substr(first, wordEnd - first));
  if (word != "SELECT" && word != "WITH" && word != "VALUES" && word != "TABLE") {
    std::string shown = word.empty() ? std::string(query.substr(first, 1)) : word;
    if (shown.size() > 40) shown = shown.substr(0, 40) + "...";
    return "begins with " + shown + ", not SELECT: only reading queries are run";
  }
  // One statement: a ';' outside quotes may only be followed by spaces and
  // comments (and more ';').
  for (std::size_t i = wordEnd; i < query.size();) {
    if (const std::size_t skip = SkipQuoted(query, i); skip != i) {
      i = skip;
      continue;
    }
    if (query[i] == ';') {
      std::size_t rest = i + 1;
      while (rest < query.size()) {
        if (Space(query[rest]) || query[rest] == ';')
          ++rest;
        else if (const std::size_t skip = SkipQuoted(query, rest);
                 skip != rest && (query[rest] == '-' || query[rest] == '/'))
          rest = skip;
        else
          break;
      }
      if (rest < query.size()) return "holds a second statement after ';': one SELECT is run";
      break;
    }
    ++i;
  }
  return {};
}

}  // namespace quillet
