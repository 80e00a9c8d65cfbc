#include "report/expr/brackets.h"

namespace quillet {

BracketMatch FindBracket(std::string_view text, std::size_t start) {
  BracketMatch m;
  m.end = start;
  if (text.empty() || start >= text.size()) return m;
  int depth = 0;
  bool inSingle = false;
  bool inDouble = false;
  std::size_t open = start;
  std::size_t i = start;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (!inSingle && !inDouble) {
      if (c == '[') {
        if (depth == 0) open = i;
        ++depth;
      } else if (c == ']') {
        --depth;
      }
    }
    if (c == '"' && !inSingle)
      inDouble = !inDouble;
    else if (c == '\'' && !inDouble)
      inSingle = !inSingle;
    if (depth == 0) break;
  }
  m.closed = i < text.size();
  if (i >= text.size()) i = text.size() - 1;
  m.end = i;
  if (m.end == start) return m;
  m.found = true;
  if (m.end > open + 1) m.inner = std::string(text.substr(open + 1, m.end - open - 1));
  return m;
}

std::string ExpandBrackets(std::string text,
                           const std::function<std::string(const std::string&)>& evaluate) {
  std::size_t i = 0;
  while (!text.empty()) {
    // With no "[" left no bracket can begin.
    const std::size_t next = text.find('[', i);
    if (next == std::string::npos) break;
    i = next;
    BracketMatch m = FindBracket(text, i);
    if (!m.found) break;
    text.erase(i, m.end - i + 1);
    std::string value = evaluate(m.inner);
    text.insert(i, value);
    i += value.size();
    if (i >= text.size() && !text.empty()) i = text.size() - 1;
  }
  return text;
}

}  // namespace quillet
