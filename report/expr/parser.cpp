#include "report/expr/parser.h"

#include <array>
#include <cmath>
#include <vector>

#include "platform/errors.h"
#include "platform/locale_formats.h"
#include "platform/numeric.h"
#include "platform/utf8.h"
#include "report/base/text_format.h"
#include "report/expr/brackets.h"
#include "report/expr/text_routines.h"

namespace quillet {
namespace {

// Calls nest through IF, COPY, array reads and the hooks; past this depth
// the expression is refused instead of exhausting the thread's stack.
constexpr int kMaxNesting = 64;
int nesting = 0;

struct NestingGuard {
  NestingGuard() {
    if (++nesting > kMaxNesting) {
      --nesting;
      throw ParserError("Expression nested too deeply");
    }
  }
  ~NestingGuard() { --nesting; }
};

int Priority(char op) {
  switch (op) {
    case pcGreaterEqual:
    case pcLessEqual:
    case pcNotEqual:
    case '<':
    case '=':
    case '>': return 3;
    case '+':
    case '-':
    case pcNegate:
    case pcUnaryPlus: return 2;
    case '*':
    case '/':
    case pcOr:
    case pcAnd:
    case pcNot:
    case pcMod: return 1;
    case pcInt:
    case pcFrac:
    case pcStr:
    case pcRound: return 0;
    default: return 5;  // "("
  }
}

// The operator a name stands for, or 0.
char NamedOperator(std::string_view token) {
  struct Entry {
    const char* name;
    char code;
  };
  static constexpr Entry kNames[] = {{"INT", pcInt}, {"FRAC", pcFrac}, {"ROUND", pcRound},
                                     {"OR", pcOr},   {"AND", pcAnd},   {"NOT", pcNot},
                                     {"STR", pcStr}, {"MOD", pcMod}};
  if (token.size() < 2 || token.size() > 5) return 0;
  for (const Entry& e : kNames)
    if (EqualsIgnoreCase(token, e.name)) return e.code;
  return 0;
}

// Operators that stand before their one operand.
bool IsPrefixOperator(char op) {
  switch (op) {
    case pcNegate:
    case pcUnaryPlus:
    case pcNot:
    case pcInt:
    case pcFrac:
    case pcStr:
    case pcRound: return true;
    default: return false;
  }
}

bool IsSignOrNot(char op) {
  return op == pcNegate || op == pcUnaryPlus || op == pcNot;
}

// Below every stored priority: the next operator of any kind takes it off.
constexpr int kTightest = -1;

bool StartsNumber(char c) {
  return (c >= '0' && c <= '9') || c == ',' || c == '.';
}

// INT and FRAC: a value within 1e-10 of an integer is that integer.
double Snapped(double x) {
  const double nearest = std::nearbyint(x);
  return std::fabs(x - nearest) < 1e-10 ? nearest : x;
}

// A stack error carries only what went wrong; Calc adds the expression.
class StackError : public ParserError {
 public:
  StackError(std::string problem, std::string_view postfix)
      : ParserError(problem + " in postfix \"" + EscapePostfix(postfix) + "\""),
        Problem(std::move(problem)) {}
  std::string Problem;
};

}  // namespace

std::string EscapePostfix(std::string_view postfix) {
  std::string out;
  for (unsigned char c : postfix) {
    if (c < 32) {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string TfrParser::ToPostfix(std::string_view text) const {
  std::string out;
  // Operators, top at the back, each with the priority it holds there.
  std::string stack;
  std::vector<int> held;
  bool afterOperand = false;
  auto pushOperator = [&](char op) {
    const bool prefix = IsPrefixOperator(op) && !afterOperand;
    int priority = Priority(op);
    if (prefix) {
      // Nothing before a prefix operator has its last operand yet, so it
      // takes nothing off the stack; right after another operator a minus,
      // plus or NOT takes just the operand that follows (2 * -3, NOT NOT x).
      if (!stack.empty() && stack.back() != '(' && IsSignOrNot(op)) priority = kTightest;
    } else {
      while (!stack.empty() && priority >= held.back()) {
        out += stack.back();
        stack.pop_back();
        held.pop_back();
      }
    }
    stack += op;
    held.push_back(priority);
    afterOperand = false;
  };
  auto unbalanced = [&]() {
    return ParserError("Unbalanced parentheses in expression \"" + std::string(text) + "\"");
  };

  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) <= ' ') {
      ++i;
      continue;
    }
    if (c == ';') break;
    if (c == '(') {
      stack += '(';
      held.push_back(Priority('('));
      afterOperand = false;
      ++i;
      continue;
    }
    if (c == ')') {
      while (!stack.empty() && stack.back() != '(') {
        out += stack.back();
        stack.pop_back();
        held.pop_back();
      }
      if (stack.empty()) throw unbalanced();
      stack.pop_back();
      held.pop_back();
      ++i;
      continue;
    }
    const char next = i + 1 < n ? text[i + 1] : '\0';
    if (c == '<' && next == '>') {
      pushOperator(pcNotEqual);
      i += 2;
      continue;
    }
    if (c == '>' && next == '=') {
      pushOperator(pcGreaterEqual);
      i += 2;
      continue;
    }
    if (c == '<' && next == '=') {
      pushOperator(pcLessEqual);
      i += 2;
      continue;
    }
    if (c == '-' || c == '+') {
      pushOperator(afterOperand ? c : (c == '-' ? char(pcNegate) : char(pcUnaryPlus)));
      ++i;
      continue;
    }
    if (c == '*' || c == '/' || c == '<' || c == '=' || c == '>') {
      pushOperator(c);
      ++i;
      continue;
    }

    // An operand.
    const std::size_t start = i;
    std::string token;
    if (c == '%' && i + 1 < n) {
      token.assign(text.substr(i, 2));
      i += 2;
    }
    bool isName = false;
    if (i < n && text[i] == '\'') {
      token += ReadQuoted(text, i);
    } else if (i < n && text[i] == '[') {
      const BracketMatch m = FindBracket(text, i);
      const std::size_t end = m.found ? m.end + 1 : n;
      token.append(text.substr(i, end - i));
      i = end;
    } else {
      isName = true;
      token += ReadToken(text, i);
      if (i < n && text[i] == '[') {
        const BracketMatch m = FindBracket(text, i);
        const std::size_t end = m.found ? m.end + 1 : n;
        token.append(text.substr(i, end - i));
        i = end;
      }
    }
    if (i == start) ++i;  // never stall on a character no rule takes
    if (!token.empty() && StartsNumber(token[0])) {
      out += token;
      out += ' ';
      afterOperand = true;
      continue;
    }
    if (isName) {
      if (const char op = NamedOperator(token)) {
        pushOperator(op);
        continue;
      }
      if (i < n && text[i] == '(') {
        ReadArguments(text, i);
        out.append(text.substr(start, i - start));
        afterOperand = true;
        continue;
      }
    }
    out += token;
    out += ' ';
    afterOperand = true;
  }
  while (!stack.empty()) {
    if (stack.back() == '(') throw unbalanced();
    out += stack.back();
    stack.pop_back();
  }
  return out;
}

Variant TfrParser::CalcPostfix(std::string_view postfix) {
  NestingGuard guard;
  std::array<Variant, kStackSize> stack;
  stack[0] = Variant(0);
  int count = 0;
  auto push = [&](Variant v) {
    if (count == kStackSize)
      throw StackError("Expression needs more than " + std::to_string(kStackSize) + " stack values",
                       postfix);
    stack[count++] = std::move(v);
  };
  auto need = [&](int operands) {
    if (count < operands) throw StackError("Missing operand", postfix);
  };

  const std::size_t n = postfix.size();
  std::size_t i = 0;
  while (i < n) {
    const char c = postfix[i];
    switch (c) {
      case ' ':
      case pcUnaryPlus: ++i; continue;
      case pcGreaterEqual:
      case pcLessEqual:
      case pcNotEqual:
      case '<':
      case '=':
      case '>': {
        need(2);
        const int r = CompareValues(stack[count - 2], stack[count - 1]);
        bool holds = false;
        switch (c) {
          case pcGreaterEqual: holds = r >= 0; break;
          case pcLessEqual: holds = r <= 0; break;
          case pcNotEqual: holds = r != 0; break;
          case '<': holds = r < 0; break;
          case '=': holds = r == 0; break;
          default: holds = r > 0; break;
        }
        --count;
        stack[count - 1] = Variant(holds ? 1 : 0);
        ++i;
        continue;
      }
      case '+':
      case '-':
      case '*':
      case '/':
      case pcOr:
      case pcAnd:
      case pcMod: {
        need(2);
        const Variant& a = stack[count - 2];
        const Variant& b = stack[count - 1];
        Variant r;
        switch (c) {
          case '+': r = AddValues(a, b); break;
          case '-': r = SubtractValues(a, b); break;
          case '*':
          case pcAnd: r = MultiplyValues(a, b); break;
          case '/': r = DivideValues(a, b); break;
          case pcOr: r = OrValues(a, b); break;
          default: r = ModValues(a, b); break;
        }
        --count;
        stack[count - 1] = std::move(r);
        ++i;
        continue;
      }
      case pcNegate:
      case pcNot:
      case pcInt:
      case pcFrac:
      case pcRound:
      case pcStr: {
        need(1);
        Variant& top = stack[count - 1];
        switch (c) {
          case pcNegate: top = NegateValue(top); break;
          case pcNot: top = Variant(ValuesEqual(top, Variant(0)) ? 1 : 0); break;
          case pcInt: {
            const double x = Snapped(top.AsFloat());
            top = Variant(std::trunc(x));
            break;
          }
          case pcFrac: {
            const double x = Snapped(top.AsFloat());
            top = Variant(x - std::trunc(x));
            break;
          }
          case pcRound: top = Variant(Round64(top.AsFloat())); break;
          default: top = Variant(top.AsText()); break;
        }
        ++i;
        continue;
      }
      case '\'': {
        const std::string quoted = ReadQuoted(postfix, i);
        push(Variant(UnquoteSingle(quoted)));
        continue;
      }
      case '[': {
        const BracketMatch m = FindBracket(postfix, i);
        i = m.found ? m.end + 1 : n;
        Variant v;
        if (ValueHook) ValueHook(m.inner, v);
        push(std::move(v));
        continue;
      }
      default: break;
    }

    // A token: a number, TRUE or FALSE, an array element, a call or a name.
    const std::size_t before = i;
    std::string token = ReadToken(postfix, i);
    if (token.empty()) {
      if (i == before) ++i;
      continue;
    }
    if (StartsNumber(token[0])) {
      for (char& ch : token)
        if (ch == ',') ch = '.';
      push(Variant(StrToFloat(token, '.')));
      continue;
    }
    if (EqualsIgnoreCase(token, "TRUE")) {
      push(Variant(true));
      continue;
    }
    if (EqualsIgnoreCase(token, "FALSE")) {
      push(Variant(false));
      continue;
    }
    if (i < n && postfix[i] == '[') {
      const BracketMatch m = FindBracket(postfix, i);
      i = m.found ? m.end + 1 : n;
      push(Calc("GETARRAY(" + token + ", " + m.inner + ")"));
      continue;
    }
    if (i < n && postfix[i] == '(') {
      const CallArguments args = ReadArguments(postfix, i);
      const std::string name = UpperCase(token);
      if (name == "COPY") {
        const std::string s = Calc(args.p1).AsText();
        const std::int64_t from = StrToInt64(Calc(args.p2).AsText());
        const std::int64_t length = StrToInt64(Calc(args.p3).AsText());
        // Characters, not bytes, are counted.
        const std::int64_t first = std::max<std::int64_t>(from, 1) - 1;
        if (first >= std::int64_t(s.size()) || length <= 0)
          push(Variant(std::string()));
        else
          push(Variant(CodePointSlice(s, std::size_t(first), std::size_t(length))));
      } else if (name == "IF") {
        // Only the chosen branch is evaluated.
        const double condition = Calc(args.p1).AsFloat();
        push(std::trunc(condition) != 0 ? Calc(args.p2) : Calc(args.p3));
      } else if (name == "STRTODATE" || name == "STRTOTIME") {
        const std::string s = Calc(args.p1).AsText();
        double value = 0;
        const bool ok = name == "STRTODATE" ? CurrentLocale().ParseDate(s, value)
                                            : CurrentLocale().ParseTime(s, value);
        if (!ok)
          throw ConversionError("'" + s + "' is not a valid " +
                                (name == "STRTODATE" ? "date" : "time"));
        push(Variant(DateTime{value}));
      } else {
        Variant v;
        if (FunctionHook)
          FunctionHook(name, Variant(args.p1), Variant(args.p2), Variant(args.p3), v);
        push(std::move(v));
      }
      continue;
    }
    Variant v;
    if (ValueHook) ValueHook(UpperCase(token), v);
    push(std::move(v));
  }
  return std::move(stack[0]);
}

Variant TfrParser::Calc(std::string_view text) {
  auto cached = postfixCache_.find(text);
  if (cached == postfixCache_.end()) {
    auto converted = std::make_shared<const std::string>(ToPostfix(text));
    if (postfixCache_.size() >= kPostfixCacheSize) postfixCache_.clear();
    cached = postfixCache_.emplace(std::string(text), std::move(converted)).first;
  }
  const std::shared_ptr<const std::string> postfix = cached->second;
  try {
    return CalcPostfix(*postfix);
  } catch (const StackError& e) {
    throw ParserError(e.Problem + " in expression \"" + std::string(text) + "\"");
  }
}

}  // namespace quillet
