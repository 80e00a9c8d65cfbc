// The lexical readers that the parser, the text objects and the script
// interpreter share. Positions are 0-based indexes into the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// Skips characters up to code 32, then reads up to the first delimiter
// outside double quotes: CR, space, ( ) * + - / < = > and [. Double quotes
// are part of the token; comma, full stop, semicolon and ] are not
// delimiters, so Shape1.Left and Table1."Field name" are single tokens.
std::string ReadToken(std::string_view text, std::size_t& position);

// From the single quote at `position` to its closing quote; '' inside
// stands for one quote. The result keeps both outer quotes. An unclosed
// text runs to the end.
std::string ReadQuoted(std::string_view text, std::size_t& position);

// The arguments of a call whose "(" is at `position`, as raw texts; the
// position moves past the closing ")". Raises ParserError for a parenthesis
// that is never closed and for more than three arguments.
struct CallArguments {
  std::string p1, p2, p3;
  int count = 0;
};
CallArguments ReadArguments(std::string_view text, std::size_t& position);

// The text up to the next ";" (or the end); the position moves past it.
std::string NextListItem(std::string_view text, std::size_t& position);
// The items of a ";"-separated text, in order.
void SplitList(std::string_view text, std::vector<std::string>& list);

// A text longer than two characters between double quotes loses them.
std::string Unquote(std::string_view text);

// A quoted text '…' with its outer quotes removed and '' made one quote.
std::string UnquoteSingle(std::string_view quoted);

}  // namespace quillet
