// TfrInterpretator: translates a script once into code lines and runs them
// as often as needed. The base class knows no names and no functions; the
// report's interpreter (report_interpretator.h) resolves them through the
// report being prepared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "report/base/variant.h"
#include "report/expr/parser.h"
#include "report/script/code_lines.h"

namespace quillet {

// A script ran more lines than its step bound allows.
class ScriptStepLimitError : public EngineError {
 public:
  using EngineError::EngineError;
  bool Named = false;  // the message names whose script was stopped
};

class TfrInterpretator {
 public:
  // Lines run between two looks at StopRequested.
  static constexpr std::uint64_t kStopCheckInterval = 4096;
  // The lines one script (with the scripts it starts) may run unless a
  // caller chooses otherwise: a script that loops for ever ends.
  static constexpr std::uint64_t kDefaultMaxSteps = 10'000'000;

  TfrInterpretator();
  virtual ~TfrInterpretator() = default;
  TfrInterpretator(const TfrInterpretator&) = delete;
  TfrInterpretator& operator=(const TfrInterpretator&) = delete;

  // The parser's value and function hooks; the base class leaves the value
  // as it is and does nothing.
  virtual void ValueOf(const std::string& name, Variant& value);
  virtual void Assign(const std::string& name, const Variant& value);
  virtual void InvokeFunction(const std::string& name, const Variant& p1, const Variant& p2,
                              const Variant& p3, Variant& value);

  // Clears `code` and `errors` and fills `code` from the source lines, every
  // expression in postfix form. On the first syntax error one message
  // "Line l/c: message" goes to `errors` and the code emitted so far stays.
  virtual void Translate(const std::vector<std::string>& source, CodeLines& code,
                         std::vector<std::string>& errors);
  // Runs a code list from line 0. Evaluation errors reach the caller. A jump
  // to an undefined label raises EngineError naming the label. The run ends
  // quietly when StopRequested answers true, and raises
  // ScriptStepLimitError once more than MaxSteps lines ran (0: no bound).
  virtual void Run(const CodeLines& code);

  // Asked every kStopCheckInterval lines, so that a script that loops for
  // ever can be cancelled; the base class never stops.
  virtual bool StopRequested() { return false; }

  std::uint64_t MaxSteps = kDefaultMaxSteps;
  // Lines run so far, nested runs included (a script that shows a band
  // whose script runs); whoever sets MaxSteps resets it.
  std::uint64_t StepsRun = 0;

  TfrParser Parser;
};

// Whether a value counts as 0 (false) for a conditional jump.
bool IsZeroValue(const Variant& value);

}  // namespace quillet
