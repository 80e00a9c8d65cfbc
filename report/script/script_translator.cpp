#include "report/script/script_translator.h"

#include <algorithm>
#include <utility>

#include "platform/errors.h"
#include "report/base/locale_case.h"

namespace quillet {
namespace {

// The first error ends the translation; it carries only the message, the
// position is the start of the last word read.
struct TranslateFailure {
  std::string message;
};

bool IsLetter(unsigned char c) {
  // Every byte of a UTF-8 character past ASCII belongs to the name.
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}
bool IsNameChar(unsigned char c) {
  return IsLetter(c) || IsDigit(c) || c == '.';
}

bool StartsWith(const std::string& s, std::string_view prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

class Translator {
 public:
  Translator(std::string buffer, const ExpressionConverter& convert)
      : buf_(std::move(buffer)), convert_(convert) {}

  void Run(CodeLines& code) {
    code_ = &code;
    if (!buf_.empty()) Statement();
    ResolveJumps();
    // Semicolons after the statement are harmless; anything else is text
    // that never runs.
    while (Word()[0] == ';') ++pos_;
    if (Word() != " ") unreadAt_ = SourcePosition();
  }

  // Where text after the one statement starts, or npos.
  std::size_t UnreadPosition() const { return unreadAt_; }

  // The error position in the source text: the last word's start plus the
  // comments cut out before it.
  std::size_t SourcePosition() const {
    std::size_t p = wordStart_;
    for (auto it = comments_.rbegin(); it != comments_.rend(); ++it)
      if (p >= it->first) p += it->second;
    return p;
  }

 private:
  struct Nesting {
    explicit Nesting(int& depth) : depth_(depth) {
      if (++depth_ > kMaxScriptNesting) {
        --depth_;
        throw TranslateFailure{"Script nested more than " + std::to_string(kMaxScriptNesting) +
                               " levels deep"};
      }
    }
    ~Nesting() { --depth_; }
    int& depth_;
  };

  unsigned char At(std::size_t i) const {
    return i < buf_.size() ? static_cast<unsigned char>(buf_[i]) : 0;
  }

  // Skips blanks, cuts out comments and returns the next word in upper
  // case (" " at the end of the script). The reading position stays at the
  // word's start: the grammar consumes only what it recognises.
  std::string Word() {
    for (;;) {
      while (pos_ < buf_.size() && At(pos_) <= 32) ++pos_;
      wordStart_ = pos_;
      const bool quoted = At(pos_) == '\'';
      std::size_t j = pos_;
      bool cut = false;
      while (j < buf_.size() && At(j) > 32) {
        if (!quoted && (At(j) == '{' || (At(j) == '/' && At(j + 1) == '/'))) {
          CutComment(j);
          cut = true;
          break;
        }
        ++j;
      }
      if (cut) continue;
      if (j == pos_) return " ";
      return LocaleUpperCase(std::string_view(buf_).substr(pos_, j - pos_));
    }
  }

  // A "{" comment runs to the next "}", a "//" comment to the end of its
  // line. The line break stays, so the words on both sides stay apart.
  void CutComment(std::size_t start) {
    std::size_t end;
    if (buf_[start] == '{') {
      const std::size_t close = buf_.find('}', start);
      end = close == std::string::npos ? buf_.size() : close + 1;
    } else {
      const std::size_t cr = buf_.find('\r', start);
      end = cr == std::string::npos ? buf_.size() : cr;
    }
    comments_.emplace_back(start, end - start);
    buf_.erase(start, end - start);
  }

  // Appends a code line; `from` is where its expression starts (npos: a
  // plain jump).
  std::size_t Emit(std::string line, std::size_t from) {
    if (code_->size() >= kMaxCodeLines)
      throw TranslateFailure{"Script too long: more than " + std::to_string(kMaxCodeLines) +
                             " code lines"};
    if (convert_ && from != std::string::npos) {
      try {
        line.replace(from, std::string::npos, convert_(std::string_view(line).substr(from)));
      } catch (const ParserError& e) {
        throw TranslateFailure{e.what()};
      }
    }
    code_->push_back(std::move(line));
    return code_->size() - 1;
  }
  std::size_t EmitJump(std::size_t target) {
    return Emit(std::string(1, kCodeJump) + EncodeTarget(target), std::string::npos);
  }
  std::size_t EmitCondJump(std::size_t target, const std::string& condition) {
    return Emit(std::string(1, kCodeCondJump) + EncodeTarget(target) + condition, 3);
  }
  std::size_t EmitExpression(const std::string& expression) {
    return Emit(std::string(1, kCodeExpression) + expression, 1);
  }
  std::size_t EmitAssignment(const std::string& name, const std::string& expression) {
    return Emit(name + " " + expression, name.size() + 1);
  }
  void SetTarget(std::size_t line, std::size_t target) {
    (*code_)[line].replace(1, 2, EncodeTarget(target));
  }
  std::size_t Count() const { return code_->size(); }

  static bool IsEnd(const std::string& w) { return w == "END" || StartsWith(w, "END;"); }

  // ---- Statements ----

  void Statement() {
    Nesting guard(depth_);
    const std::string w = Word();
    if (w == "BEGIN") {
      pos_ += 5;
      for (;;) {
        Statement();
        const std::string next = Word();
        if (next[0] == ';') {
          pos_ += 1;
        } else if (IsEnd(next)) {
          pos_ += 3;
          return;
        } else {
          throw TranslateFailure{"Need \";\" or \"end\" here"};
        }
      }
    }
    if (w == "IF") return IfStatement();
    if (w == "REPEAT") return RepeatStatement();
    if (w == "WHILE") return WhileStatement();
    if (w == "FOR") return ForStatement();
    if (w == "GOTO") return GotoStatement();
    if (IsEnd(w) || w == "UNTIL" || w == " ") return;  // empty statement
    if (IsDigit(w[0])) {
      std::size_t digits = 0;
      while (digits < w.size() && IsDigit(w[digits])) ++digits;
      if (digits < w.size() && w[digits] == ':') return LabelStatement(digits + 1);
    }
    if (IsLetter(static_cast<unsigned char>(w[0]))) {
      const std::size_t start = pos_;
      const std::size_t nameEnd = NameEnd(start);
      if (At(nameEnd) != '(' && !(At(nameEnd) == '[' && CallAfterIndex(nameEnd)))
        return AssignmentOrCall(start);
    }
    EmitExpression(Expression());
  }

  void IfStatement() {
    pos_ += 2;
    const std::string condition = Expression();
    if (Word() != "THEN") throw TranslateFailure{"Need \"then\" here"};
    pos_ += 4;
    const std::size_t a = EmitCondJump(0, condition);
    Statement();
    if (Word() == "ELSE") {
      pos_ += 4;
      const std::size_t b = EmitJump(0);
      SetTarget(a, Count());
      Statement();
      SetTarget(b, Count());
    } else {
      SetTarget(a, Count());
    }
  }

  void RepeatStatement() {
    pos_ += 6;
    const std::size_t a = Count();
    for (;;) {
      Statement();
      const std::string next = Word();
      if (next[0] == ';') {
        pos_ += 1;
      } else if (next == "UNTIL") {
        pos_ += 5;
        break;
      } else {
        throw TranslateFailure{"Need \";\" or \"until\" here"};
      }
    }
    const std::string condition = Expression();
    EmitCondJump(a, condition);
  }

  void WhileStatement() {
    pos_ += 5;
    const std::size_t a = Count();
    const std::string condition = Expression();
    if (Word() != "DO") throw TranslateFailure{"Need \"do\" here"};
    pos_ += 2;
    const std::size_t jump = EmitCondJump(0, condition);
    Statement();
    EmitJump(a);
    SetTarget(jump, Count());
  }

  void ForStatement() {
    pos_ += 3;
    Word();
    if (!IsLetter(At(pos_))) throw TranslateFailure{"Need a variable name here"};
    const std::string variable = buf_.substr(pos_, NameEnd(pos_) - pos_);
    pos_ += variable.size();
    if (!StartsWith(Word(), ":=")) throw TranslateFailure{"Need \":=\" here"};
    pos_ += 2;
    EmitAssignment(variable, Expression());
    if (Word() != "TO") throw TranslateFailure{"Need \"to\" here"};
    pos_ += 2;
    const std::string limit = Expression();
    if (Word() != "DO") throw TranslateFailure{"Need \"do\" here"};
    pos_ += 2;
    const std::size_t a = Count();
    // The limit is evaluated before every round.
    const std::size_t jump = EmitCondJump(0, variable + " <= (" + limit + ")");
    Statement();
    EmitAssignment(variable, variable + " + 1");
    EmitJump(a);
    SetTarget(jump, Count());
  }

  void GotoStatement() {
    pos_ += 4;
    const std::string w = Word();
    std::size_t digits = 0;
    while (digits < w.size() && IsDigit(w[digits])) ++digits;
    if (digits == 0) throw TranslateFailure{"\"goto\" label must be a number"};
    pos_ += digits;
    gotoLines_.push_back(
        Emit(std::string(1, kCodeJump) + kUnresolvedTarget + w.substr(0, digits) + ":",
             std::string::npos));
  }

  void LabelStatement(std::size_t length) {
    std::string label = buf_.substr(pos_, length);
    if (label.size() > kMaxLabelLength)
      throw TranslateFailure{"Label longer than " + std::to_string(kMaxLabelLength) +
                             " characters"};
    const bool known = std::any_of(labels_.begin(), labels_.end(),
                                   [&](const auto& entry) { return entry.first == label; });
    if (!known) {
      if (labels_.size() >= kMaxLabels)
        throw TranslateFailure{"More than " + std::to_string(kMaxLabels) + " labels"};
      labels_.emplace_back(std::move(label), Count());
    }
    pos_ += length;
    Statement();
  }

  void AssignmentOrCall(std::size_t start) {
    const std::size_t nameEnd = NameEnd(start);
    const std::string name = buf_.substr(start, nameEnd - start);
    pos_ = nameEnd;
    std::string index;
    if (At(pos_) == '[') {
      pos_ += 1;
      index = Expression();
      Word();
      if (At(pos_) != ']') throw TranslateFailure{"Need \"]\" here"};
      pos_ += 1;
    }
    const std::size_t end = pos_;
    const std::string next = Word();
    if (next[0] == ';' || IsEnd(next) || next == "ELSE") {
      EmitExpression(buf_.substr(start, end - start) + "(0)");
      return;
    }
    if (!StartsWith(next, ":=")) throw TranslateFailure{"Need \":=\" here"};
    pos_ += 2;
    const std::string value = Expression();
    if (index.empty())
      EmitAssignment(name, value);
    else
      EmitExpression("SETARRAY(" + name + ", " + index + ", " + value + ")");
  }

  std::size_t NameEnd(std::size_t start) const {
    std::size_t i = start;
    while (i < buf_.size() && IsNameChar(At(i))) ++i;
    return i;
  }

  // Whether a name's "[index]" is directly followed by "(".
  bool CallAfterIndex(std::size_t open) const {
    const std::size_t close = MatchingBracket(open);
    return close != std::string::npos && At(close + 1) == '(';
  }

  // The "]" that closes the "[" at `open`, nested brackets counted and
  // brackets inside quotes ignored.
  std::size_t MatchingBracket(std::size_t open) const {
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = open; i < buf_.size(); ++i) {
      const char c = buf_[i];
      if (c == '\'') quoted = !quoted;
      if (quoted) continue;
      if (c == '[') ++depth;
      if (c == ']' && --depth == 0) return i;
    }
    return std::string::npos;
  }

  // ---- Expressions ----

  // Checks an expression's form and returns its source text.
  std::string Expression() {
    Nesting guard(depth_);
    Word();
    const std::size_t start = pos_;
    SimpleExpression();
    const std::string w = Word();
    if (StartsWith(w, ">=") || StartsWith(w, "<=") || StartsWith(w, "<>")) {
      pos_ += 2;
      SimpleExpression();
    } else if (w[0] == '<' || w[0] == '=' || w[0] == '>') {
      pos_ += 1;
      SimpleExpression();
    }
    std::size_t end = pos_;
    while (end > start && At(end - 1) <= 32) --end;
    return buf_.substr(start, end - start);
  }

  void SimpleExpression() {
    for (;;) {
      Term();
      const std::string w = Word();
      if (w[0] == '+' || w[0] == '-')
        pos_ += 1;
      else if (StartsWith(w, "OR"))
        pos_ += 2;
      else
        return;
    }
  }

  void Term() {
    for (;;) {
      Factor();
      const std::string w = Word();
      if (w[0] == '*' || w[0] == '/')
        pos_ += 1;
      else if (StartsWith(w, "AND") || StartsWith(w, "MOD"))
        pos_ += 3;
      else
        return;
    }
  }

  void Factor() {
    Nesting guard(depth_);
    const std::string w = Word();
    const unsigned char c = At(pos_);
    if (c == '(') {
      pos_ += 1;
      Expression();
      if (Word()[0] != ')') throw TranslateFailure{"Need \")\" here"};
      pos_ += 1;
      return;
    }
    if (c == '[') {
      const std::size_t close = MatchingBracket(pos_);
      if (close == std::string::npos) throw TranslateFailure{"Need \"]\" here"};
      pos_ = close + 1;
      return;
    }
    if (c == '+' || c == '-') {
      pos_ += 1;
      Expression();
      return;
    }
    if (StartsWith(w, "NOT") && !IsNameChar(At(pos_ + 3))) {
      pos_ += 3;
      Expression();
      return;
    }
    if (IsLetter(c)) {
      pos_ = NameEnd(pos_);
      if (At(pos_) == '[') {
        pos_ += 1;
        Expression();
        Word();
        if (At(pos_) != ']') throw TranslateFailure{"Need \"]\" here"};
        pos_ += 1;
      }
      if (At(pos_) == '(') Arguments();
      return;
    }
    if (IsDigit(c)) {
      while (IsDigit(At(pos_))) ++pos_;
      if (At(pos_) == '.' && IsDigit(At(pos_ + 1))) {
        ++pos_;
        while (IsDigit(At(pos_))) ++pos_;
      }
      return;
    }
    if (c == '\'') {
      std::size_t i = pos_ + 1;
      for (;;) {
        if (i >= buf_.size()) throw TranslateFailure{"Need \"'\" here: unterminated text"};
        if (buf_[i] == '\'') {
          if (At(i + 1) != '\'') break;
          ++i;  // a doubled quote stands for one
        }
        ++i;
      }
      pos_ = i + 1;
      return;
    }
    throw TranslateFailure{"Need an expression here"};
  }

  void Arguments() {
    pos_ += 1;  // "("
    if (Word()[0] == ')') {
      pos_ += 1;
      return;
    }
    for (;;) {
      Expression();
      const std::string w = Word();
      if (w[0] == ',') {
        pos_ += 1;
      } else if (w[0] == ')') {
        pos_ += 1;
        return;
      } else {
        throw TranslateFailure{"Need \",\" or \")\" here"};
      }
    }
  }

  // A jump to a label gets the label's line; one to an undefined label keeps
  // the label's characters, and running it is an error.
  void ResolveJumps() {
    for (std::size_t i : gotoLines_) {
      std::string& line = (*code_)[i];
      const std::string label = line.substr(3);
      for (const auto& [text, target] : labels_) {
        if (text == label) {
          line = std::string(1, kCodeJump) + EncodeTarget(target);
          break;
        }
      }
    }
    gotoLines_.clear();
  }

 public:
  void ResolveAfterError() { ResolveJumps(); }

 private:
  std::string buf_;
  const ExpressionConverter& convert_;
  std::size_t pos_ = 0;
  std::size_t wordStart_ = 0;
  int depth_ = 0;
  std::vector<std::pair<std::size_t, std::size_t>> comments_;  // start, length
  std::vector<std::pair<std::string, std::size_t>> labels_;    // text, code line
  std::vector<std::size_t> gotoLines_;                         // jumps to labels
  CodeLines* code_ = nullptr;
  std::size_t unreadAt_ = std::string::npos;
};

std::string LineColumnMessage(const std::string& source, std::size_t position,
                              const std::string& message) {
  // An error at the very end is shown at the end of the last line.
  if (!source.empty() && position >= source.size()) position = source.size() - 1;
  std::size_t line = 1;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < position; ++i) {
    if (source[i] == '\r') {
      ++line;
      lineStart = i + 1;
    }
  }
  return "Line " + std::to_string(line) + "/" + std::to_string(position - lineStart + 1) + ": " +
         message;
}

}  // namespace

ScriptTranslation TranslateScript(const std::vector<std::string>& source,
                                  const ExpressionConverter& convert) {
  ScriptTranslation result;
  std::string buffer;
  for (const std::string& line : source) {
    buffer += line;
    buffer += '\r';
  }
  std::replace(buffer.begin(), buffer.end(), '\t', ' ');
  if (buffer.size() > kScriptBufferSize) {
    result.errors.push_back(LineColumnMessage(
        buffer, kScriptBufferSize,
        "Script longer than " + std::to_string(kScriptBufferSize) + " characters"));
    return result;
  }
  // A script of blank lines translates to nothing.
  if (buffer.find_first_not_of(" \r") == std::string::npos) return result;
  Translator translator(buffer, convert);
  try {
    translator.Run(result.code);
    if (translator.UnreadPosition() != std::string::npos) {
      std::string place = LineColumnMessage(buffer, translator.UnreadPosition(), "");
      place.resize(place.size() - 2);  // without the ": " of a message
      result.unreadFrom = place;
    }
  } catch (const TranslateFailure& failure) {
    translator.ResolveAfterError();
    result.errors.push_back(
        LineColumnMessage(buffer, translator.SourcePosition(), failure.message));
  }
  return result;
}

}  // namespace quillet
