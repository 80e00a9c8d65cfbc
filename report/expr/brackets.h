// Folder report/expr: expressions in texts. Today the bracket finder; the
// parser, text routines, variables and the function splitter join it. It
// includes only platform/ and report/base/.
//
// Finding and replacing bracketed expressions ("Total: [Sum]") in a text.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quillet {

struct BracketMatch {
  bool found = false;
  std::string inner;    // text between the brackets
  std::size_t end = 0;  // index of the closing bracket (or of the last character)
  bool closed = false;  // a closing bracket matched the opening one
};

// The bracketed expression that begins at `start` (0-based). Quoted brackets
// do not count; an unclosed "[" runs to the last character, which is dropped.
BracketMatch FindBracket(std::string_view text, std::size_t start);

// Replaces every bracketed expression by evaluate(inner text); inserted text
// is not scanned again.
std::string ExpandBrackets(std::string text,
                           const std::function<std::string(const std::string&)>& evaluate);

}  // namespace quillet
