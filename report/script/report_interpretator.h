// TInterpretator: the interpreter of report scripts. Names and functions go
// to the engine parser's hooks, which the report being prepared binds to its
// ResolveName and CallFunction; assignments follow the report's rules
// (Assign). What an assignment needs of the report being prepared comes
// through a ScriptEnvironment.
#pragma once

#include <string>

#include "report/script/interpretator.h"

namespace quillet {

struct EngineGlobals;

// The report side of script assignments and of cancelling a run.
class ScriptEnvironment {
 public:
  virtual ~ScriptEnvironment() = default;
  // Sets a variable of the report's data dictionary; false when the
  // dictionary has no variable of that name.
  virtual bool SetDictionaryVariable(const std::string& name, const Variant& value) = 0;
  // The modal result of the active dialog page's window (nothing when the
  // active page is no dialog page).
  virtual void SetModalResult(int result) = 0;
  // Moves the active page's current vertical position.
  virtual void SetCurrentY(int y) = 0;
  // Writes "Object.Property"; false when there is no such object or the
  // object has no such property.
  virtual bool WriteProperty(const std::string& name, const Variant& value) = 0;
  // The progress window's second line.
  virtual void ShowProgress(const std::string& text) = 0;
  // Lets the progress window handle its Cancel; true when the run should
  // stop.
  virtual bool StopRequested() = 0;
};

class TInterpretator : public TfrInterpretator {
 public:
  // Names and functions are those of the parser of `engine`.
  explicit TInterpretator(EngineGlobals& engine) : engine_(engine) {}

  void ValueOf(const std::string& name, Variant& value) override;
  // In this order: a user variable in GlobalVariables; a data dictionary
  // variable; "MODALRESULT"; "CURY"; an object's property ("Memo1.Visible");
  // "PROGRESS"; otherwise a new user variable.
  void Assign(const std::string& name, const Variant& value) override;
  void InvokeFunction(const std::string& name, const Variant& p1, const Variant& p2,
                      const Variant& p3, Variant& value) override;
  bool StopRequested() override;

  // The report being prepared, or nullptr (then only user variables take
  // assignments).
  ScriptEnvironment* Environment = nullptr;

 private:
  EngineGlobals& engine_;
};

// The engine's one report interpreter. Raises EngineError while the engine
// is not started.
TInterpretator& ReportInterpreter(EngineGlobals& engine);

}  // namespace quillet
