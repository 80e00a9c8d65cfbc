// Translation of a script's source lines into code lines (see code_lines.h).
//
// The translator checks the form of every statement and expression and
// emits expressions as their source text; the interpreter then converts
// them to postfix form. Jumps to labels are resolved here.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "report/script/code_lines.h"

namespace quillet {

// Limits of one script: the working buffer holds the source lines with one
// carriage return each; the label table holds this many labels of at most
// this many characters (digits and colon).
inline constexpr std::size_t kScriptBufferSize = 32000;
inline constexpr std::size_t kMaxLabels = 101;
inline constexpr std::size_t kMaxLabelLength = 16;
// Statements and expressions nested deeper than this are refused, so that a
// hostile script cannot exhaust the stack.
inline constexpr int kMaxScriptNesting = 200;

struct ScriptTranslation {
  CodeLines code;  // expressions still in source form
  // Empty, or one message "Line l/c: message" (1-based line and column in
  // the source lines, counting the comments cut out before the error). The
  // code emitted before the error stays.
  std::vector<std::string> errors;
  // Empty, or "Line l/c" where text follows the script's one statement:
  // that text is never run (more statements belong in begin ... end).
  std::string unreadFrom;
};

// Converts an expression as it is emitted (the interpreter's ToPostfix); a
// ParserError it raises becomes the translation error at that place. Empty:
// expressions stay in source form.
using ExpressionConverter = std::function<std::string(std::string_view expression)>;

ScriptTranslation TranslateScript(const std::vector<std::string>& source,
                                  const ExpressionConverter& convert = {});

}  // namespace quillet
