// TfrParser: the expression evaluator of bracketed texts, conditions and
// scripts.
//
// An expression is first turned into a compact postfix text (ToPostfix),
// which CalcPostfix evaluates on a stack of kStackSize values. Conditions
// evaluated for every record are converted once and kept in postfix form.
//
// Postfix text: operands are written followed by one space (numbers, quoted
// texts '…', bracketed names [..], plain names, possibly with an [index]
// suffix); function calls are written whole, as in the source, carrying
// their argument texts; operators are single characters: "+", "-", "*", "/",
// "<", "=", ">" as they are and the codes below for the rest.
//
// Priorities (smaller binds tighter): INT FRAC STR ROUND 0; * / OR AND NOT
// MOD 1; + - and unary minus/plus 2; comparisons 3. Comparisons therefore
// bind more loosely than AND and OR: a > 1 AND b < 2 reads a > (1 AND b) < 2.
// Stored conditions are written with that in mind; do not change it. A
// unary minus, plus or NOT directly after another operator applies to the
// operand that follows it alone: 2 * -3 is -6, 3 - -10 is 13, NOT NOT 5 is 1.
//
// Names the parser does not know go to ValueHook, functions it does not
// know to FunctionHook with their raw argument texts; an unbound hook is not
// called (the value stays as it was). Errors are raised as ParserError
// (malformed expressions) or ConversionError (values that do not convert).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "report/base/variant.h"

namespace quillet {

// Operator codes of the postfix text.
enum PostfixCode : char {
  pcGreaterEqual = 1,
  pcLessEqual = 2,
  pcNotEqual = 3,
  pcOr = 4,
  pcAnd = 5,
  pcInt = 6,
  pcFrac = 7,
  pcNegate = 9,
  pcUnaryPlus = 10,
  pcStr = 11,
  pcNot = 12,
  pcMod = 13,
  pcRound = 14,
};

class TfrParser {
 public:
  static constexpr int kStackSize = 32;

  // Supplies the value of a name (upper-cased, or a bracketed name's inner
  // text as written).
  using ValueHookFn = std::function<void(const std::string& name, Variant& value)>;
  // Supplies the result of a function the parser does not know. The
  // arguments are the raw argument texts as text values (missing ones
  // empty); the name is upper-cased.
  using FunctionHookFn = std::function<void(const std::string& name, const Variant& p1,
                                            const Variant& p2, const Variant& p3, Variant& value)>;

  ValueHookFn ValueHook;
  FunctionHookFn FunctionHook;

  // Raises ParserError for unbalanced parentheses and for a call with an
  // unclosed parenthesis or more than three arguments.
  std::string ToPostfix(std::string_view text) const;
  // Raises ParserError when the expression needs more than kStackSize
  // values or applies an operator to fewer operands than it takes ("2 *").
  Variant CalcPostfix(std::string_view postfix);
  // CalcPostfix(ToPostfix(text)); errors name the expression. The postfix
  // form of the texts met most recently is kept, as a bracket is evaluated
  // once a record.
  Variant Calc(std::string_view text);

 private:
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  static constexpr std::size_t kPostfixCacheSize = 256;
  // Converted texts, emptied whole when full; shared, so an evaluation keeps
  // its postfix while a nested one empties the cache.
  std::unordered_map<std::string, std::shared_ptr<const std::string>, TextHash, std::equal_to<>>
      postfixCache_;
};

// The postfix text with its operator codes written as \xNN, for messages
// and for showing a conversion.
std::string EscapePostfix(std::string_view postfix);

}  // namespace quillet
