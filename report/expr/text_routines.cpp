#include "report/expr/text_routines.h"

#include "platform/errors.h"

namespace quillet {
namespace {

bool IsDelimiter(char c) {
  switch (c) {
    case '\r':
    case ' ':
    case '(':
    case ')':
    case '*':
    case '+':
    case '-':
    case '/':
    case '<':
    case '=':
    case '>':
    case '[': return true;
    default: return false;
  }
}

}  // namespace

std::string ReadToken(std::string_view text, std::size_t& position) {
  std::size_t i = position;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  const std::size_t start = i;
  bool inQuotes = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      inQuotes = !inQuotes;
      continue;
    }
    if (!inQuotes && IsDelimiter(c)) break;
  }
  position = i;
  return std::string(text.substr(start, i - start));
}

std::string ReadQuoted(std::string_view text, std::size_t& position) {
  const std::size_t start = position;
  std::size_t i = position + 1;
  while (i < text.size()) {
    if (text[i] == '\'') {
      if (i + 1 < text.size() && text[i + 1] == '\'') {
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    ++i;
  }
  position = i;
  return std::string(text.substr(start, i - start));
}

CallArguments ReadArguments(std::string_view text, std::size_t& position) {
  CallArguments args;
  std::string* slots[] = {&args.p1, &args.p2, &args.p3};
  int depth = 0;
  bool inQuote = false;
  std::size_t argStart = position + 1;
  std::size_t i = position;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\'') inQuote = !inQuote;
    if (inQuote) continue;
    if (c == '(') {
      ++depth;
    } else if (c == ')' || (c == ',' && depth == 1)) {
      if (c == ')' && --depth > 0) continue;
      if (args.count == 3)
        throw ParserError("A function takes at most three arguments: \"" +
                          std::string(text.substr(position)) + "\"");
      *slots[args.count++] = std::string(text.substr(argStart, i - argStart));
      argStart = i + 1;
      if (c == ')') break;
    }
  }
  if (i >= text.size()) throw ParserError("Missing \")\" in \"" + std::string(text) + "\"");
  // "f()" has no argument, not one empty one.
  if (args.count == 1 && args.p1.find_first_not_of(" \t\r\n") == std::string::npos) {
    args.p1.clear();
    args.count = 0;
  }
  position = i + 1;
  return args;
}

std::string NextListItem(std::string_view text, std::size_t& position) {
  if (position >= text.size()) {
    position = text.size();
    return {};
  }
  std::size_t end = text.find(';', position);
  if (end == std::string_view::npos) end = text.size();
  std::string item(text.substr(position, end - position));
  position = end < text.size() ? end + 1 : end;
  return item;
}

void SplitList(std::string_view text, std::vector<std::string>& list) {
  list.clear();
  std::size_t position = 0;
  while (position < text.size()) list.push_back(NextListItem(text, position));
}

std::string Unquote(std::string_view text) {
  if (text.size() > 2 && text.front() == '"' && text.back() == '"')
    return std::string(text.substr(1, text.size() - 2));
  return std::string(text);
}

std::string UnquoteSingle(std::string_view quoted) {
  std::string out;
  std::size_t end = quoted.size();
  if (end >= 2 && quoted.back() == '\'') --end;
  for (std::size_t i = 1; i < end; ++i) {
    out += quoted[i];
    if (quoted[i] == '\'' && i + 1 < end && quoted[i + 1] == '\'') ++i;
  }
  return out;
}

}  // namespace quillet
