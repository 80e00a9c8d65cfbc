// TfrFunctionSplitter: finds the calls of chosen functions inside an
// expression, looking through variables and nested arguments (used to find
// the aggregate calls of a report's texts).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/expr/parser.h"
#include "report/expr/variables.h"

namespace quillet {

class TfrFunctionSplitter {
 public:
  TfrFunctionSplitter(std::vector<std::string> matchList, const TfrVariables* variables)
      : MatchList(std::move(matchList)), Variables(variables) {}

  // Appends to FoundCalls the text of every call of a MatchList function
  // (letter case ignored) in `text`, inner calls first.
  void Split(std::string_view text);

  TfrParser Parser;                     // its own parser
  std::vector<std::string> MatchList;   // function names to look for
  bool MatchAll = false;                // every call is found, whatever its name
  const TfrVariables* Variables;        // names whose values are split too; not owned
  std::vector<std::string> FoundCalls;  // what Split found

 private:
  // Variables being split (a variable met again inside its own value is
  // not split again: variables may refer to each other), and the nesting.
  std::vector<std::string> expanding_;
  int depth_ = 0;
};

}  // namespace quillet
