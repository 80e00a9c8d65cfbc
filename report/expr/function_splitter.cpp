#include "report/expr/function_splitter.h"

#include "report/base/text_format.h"
#include "report/expr/brackets.h"
#include "report/expr/text_routines.h"

namespace quillet {
namespace {

// Variables that name each other would otherwise be split forever.
constexpr int kMaxDepth = 64;

std::string_view Trim(std::string_view t) {
  while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ') t.remove_prefix(1);
  while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ') t.remove_suffix(1);
  return t;
}

bool IsPassable(char c) {
  switch (c) {
    case '\r':
    case ' ':
    case '*':
    case '+':
    case '-':
    case '/':
    case '<':
    case '=':
    case '>': return true;
    default: return false;
  }
}

}  // namespace

void TfrFunctionSplitter::Split(std::string_view input) {
  if (depth_ >= kMaxDepth) return;
  struct Depth {
    int& d;
    ~Depth() { --d; }
  } depth{++depth_};
  const std::string_view text = Trim(input);
  if (text.empty() || text.front() == '\'') return;

  auto splitVariable = [&](const std::string& name) {
    if (!Variables) return false;
    const int i = Variables->IndexOfName(name);
    if (i < 0) return false;
    for (const std::string& open : expanding_)
      if (EqualsIgnoreCase(open, name)) return true;
    expanding_.push_back(name);
    struct Pop {
      std::vector<std::string>& v;
      ~Pop() { v.pop_back(); }
    } pop{expanding_};
    Split(Variables->ValueAt(i).AsText());
    return true;
  };

  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '[') {
      const BracketMatch m = FindBracket(text, i);
      if (!splitVariable(m.inner)) Split(m.inner);
      i = m.found ? m.end + 1 : text.size();
      continue;
    }
    const std::size_t start = i;
    const std::string token = ReadToken(text, i);
    if (i < text.size() && text[i] == '(') {
      const CallArguments args = ReadArguments(text, i);
      Split(args.p1);
      Split(args.p2);
      Split(args.p3);
      bool matched = MatchAll && !token.empty();
      for (const std::string& match : MatchList)
        if (matched || EqualsIgnoreCase(match, token)) {
          matched = true;
          break;
        }
      if (matched) FoundCalls.emplace_back(text.substr(start, i - start));
      continue;
    }
    if (!token.empty() && splitVariable(token)) continue;
    if (i < text.size() && IsPassable(text[i])) {
      ++i;
      continue;
    }
    if (token.empty()) break;
  }
}

}  // namespace quillet
