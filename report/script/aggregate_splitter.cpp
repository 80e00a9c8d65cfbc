#include "report/script/aggregate_splitter.h"

#include "report/expr/brackets.h"

namespace quillet {
namespace {

// Where the expression of a code line starts, or npos for a plain jump.
std::size_t ExpressionStart(const std::string& line) {
  if (line.empty()) return std::string::npos;
  switch (line[0]) {
    case kCodeJump: return std::string::npos;
    case kCodeCondJump: return line.size() >= 3 ? 3 : std::string::npos;
    case kCodeExpression: return 1;
    default: {
      std::size_t from = line.find(' ');
      if (from == std::string::npos) return std::string::npos;
      while (from < line.size() && line[from] == ' ') ++from;
      return from;
    }
  }
}

}  // namespace

void SplitCodeLines(TfrFunctionSplitter& splitter, const CodeLines& code) {
  for (const std::string& line : code)
    if (const std::size_t from = ExpressionStart(line); from != std::string::npos)
      splitter.Split(std::string_view(line).substr(from));
}

void CollectCalls(const CodeLines& code, const std::vector<std::string>& matchList,
                  const TfrVariables* variables, std::vector<std::string>& output) {
  TfrFunctionSplitter splitter(matchList, variables);
  SplitCodeLines(splitter, code);
  output.insert(output.end(), splitter.FoundCalls.begin(), splitter.FoundCalls.end());
}

TAggregateFunctionsSplitter::TAggregateFunctionsSplitter(const TfrVariables* variables)
    : TfrFunctionSplitter({"AVG", "COUNT", "MAX", "MIN", "SUM"}, variables) {}

void TAggregateFunctionsSplitter::ScanTexts(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::size_t i = 0;
    while ((i = line.find('[', i)) != std::string::npos) {
      const BracketMatch m = FindBracket(line, i);
      if (!m.found) break;
      Split(m.inner);
      i = m.end + 1;
    }
  }
}

void TAggregateFunctionsSplitter::ScanCode(const CodeLines& code) {
  if (!code.empty()) SplitCodeLines(*this, code);
}

}  // namespace quillet
