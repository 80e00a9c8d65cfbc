// Finding the calls of functions in translated scripts and in texts: used
// to find the aggregate calls (SUM, AVG, MIN, MAX, COUNT) that data bands
// must accumulate.
#pragma once

#include <string>
#include <vector>

#include "report/expr/function_splitter.h"
#include "report/script/code_lines.h"

namespace quillet {

// Feeds the expression of every code line (conditions, expressions and
// assigned values; plain jumps have none) to a function splitter looking
// for `matchList` through `variables`; the calls found go to `output`.
void CollectCalls(const CodeLines& code, const std::vector<std::string>& matchList,
                  const TfrVariables* variables, std::vector<std::string>& output);

// Feeds the expression of every code line to `splitter`.
void SplitCodeLines(TfrFunctionSplitter& splitter, const CodeLines& code);

class TAggregateFunctionsSplitter : public TfrFunctionSplitter {
 public:
  // `variables`: the names whose values are looked through (the active
  // report's dictionary variables), not owned; may be nullptr.
  explicit TAggregateFunctionsSplitter(const TfrVariables* variables);

  // Splits every bracketed expression of every line.
  void ScanTexts(const std::vector<std::string>& lines);
  // Splits every expression of a translated script.
  void ScanCode(const CodeLines& code);
};

}  // namespace quillet
