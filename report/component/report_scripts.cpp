// The report's side of scripts: object scripts translated once when a page
// is set up and run when the object is written, band scripts run when the
// band is shown, page scripts translated and run on the spot, and what an
// assignment in a script reaches in the report (ReportScriptEnvironment).
#include "report/component/report_scripts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/engine_host.h"
#include "platform/locale_formats.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/component/report.h"
#include "report/formation/active_objects.h"
#include "report/formation/band.h"
#include "report/formation/page_formation.h"
#include "report/script/report_interpretator.h"
#include "report/template/page.h"
#include "report/views/band_view.h"

namespace quillet {
namespace {

// A value as a dictionary variable holds it: the text of an expression
// that gives the value back. A date is its day in a form every locale reads,
// plus its time of day as a number (a date moved by a number stays a date).
std::string ExpressionOf(const Variant& value) {
  if (value.GetType() == Variant::Type::Date) {
    const double days = value.AsFloat();
    const double whole = std::floor(days);
    const CivilDate c = DaysToCivil(whole);
    double check = 0;
    if (std::isfinite(days) && std::fabs(days) < 3e6 &&
        CivilToDays(c.year, c.month, c.day, check)) {
      char date[64];
      std::snprintf(date, sizeof date, "STRTODATE('%04d-%02d-%02d')", c.year, c.month, c.day);
      const double time = days - whole;
      if (time == 0) return date;
      char fraction[64];  // plain decimals: the parser reads no exponent
      std::snprintf(fraction, sizeof fraction, "%.15f", time);
      std::string text = fraction;
      text.erase(text.find_last_not_of('0') + 1);
      return std::string(date) + " + " + text;
    }
    return FloatToText(days, '.');
  }
  const std::string* text = value.IfText();
  if (!text) return value.AsText();
  std::string quoted = "'";
  for (char c : *text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

class ReportScriptEnvironment : public ScriptEnvironment {
 public:
  explicit ReportScriptEnvironment(TfrReport& report) : report_(report) {}

  bool SetDictionaryVariable(const std::string& name, const Variant& value) override {
    return report_.Template.Dictionary.SetVariableValue(name, ExpressionOf(value));
  }

  void SetModalResult(int) override {
    // Dialog pages show no window of their own yet (their controls are not
    // hosted), so there is no modal result to set.
  }

  void SetCurrentY(int y) override {
    PreparationState& prep = report_.Run();
    if (TfrBand* band = ActiveTfrBand(prep);
        band && (band->ForcedNewPages > 0 || band->ForcedNewColumns > 0))
      band->KeepYAfterBreaks = true;
    auto* page = dynamic_cast<TfrPage*>(prep.ActivePage);
    if (PageFormation* formation = page ? report_.FormationOf(*page) : nullptr)
      formation->CurrentY =
          std::clamp(y, -PageFormation::kMaxCoordinate, PageFormation::kMaxCoordinate);
  }

  bool WriteProperty(const std::string& name, const Variant& value) override {
    std::string property;
    TfrObject* object = report_.ResolveObjectProperty(name, property);
    if (!object || !object->FindProperty(property)) return false;
    object->WriteProperty(property, value);
    return true;
  }

  void ShowProgress(const std::string& text) override {
    if (ProgressControl* window = ProgressOf()) {
      window->SetSecondLine(text);
      window->ProcessMessages();
    } else {
      report_.Globals().Host().ProcessPendingMessages();
    }
  }

  bool StopRequested() override {
    PreparationReport* outer = &OuterReportOf(report_.Run(), report_);
    // The progress window gets to handle a Cancel press.
    if (ProgressControl* window = ProgressOf()) {
      window->ProcessMessages();
      if (window->StopRequested()) outer->StopRequested = true;
    } else {
      report_.Globals().Host().ProcessPendingMessages();
    }
    return outer->StopRequested || report_.StopRequested;
  }

 private:
  // The window the run shows: the outer report's while it prepares.
  ProgressControl* ProgressOf() const {
    if (ProgressControl* outer = OuterReportOf(report_.Run(), report_).Progress()) return outer;
    return report_.Progress();
  }

  TfrReport& report_;
};

}  // namespace

void AssignAsScript(TfrReport& report, const std::string& name, const Variant& value) {
  TInterpretator& interpreter = ReportInterpreter(report.Globals());
  ReportScriptEnvironment environment(report);
  ScriptEnvironment* const previous = interpreter.Environment;
  interpreter.Environment = &environment;
  struct Restore {
    TInterpretator& in;
    ScriptEnvironment* previous;
    ~Restore() { in.Environment = previous; }
  } restore{interpreter, previous};
  interpreter.Assign(name, value);
}

void TfrReport::TranslateObjectScripts(const TfrPage& page) {
  TInterpretator& interpreter = ReportInterpreter(Globals());
  std::vector<std::string> errors;  // objects run what translated
  for (const auto& view : page.Objects) {
    // An object made where an earlier run's object was must not inherit
    // its script.
    if (view->ScriptLines.empty())
      objectCode_.erase(view.get());
    else
      interpreter.Translate(view->ScriptLines, objectCode_[view.get()], errors);
  }
}

void TfrReport::ForgetObjectScripts() {
  objectCode_.clear();
}

namespace {

// Runs `run`; a script it stops for its step bound names `whose` script it
// was (the innermost, where scripts start one another).
template <typename Fn>
void NamingStoppedScript(const std::string& whose, Fn&& run) {
  try {
    run();
  } catch (ScriptStepLimitError& e) {
    if (e.Named) throw;
    ScriptStepLimitError named("The script of " + whose + " was stopped: " + e.what());
    named.Named = true;
    throw named;
  }
}

std::string ViewAndBand(const TfrView& view) {
  std::string text = "object " + view.Name;
  if (view.ParentBand) text += " in band " + view.ParentBand->Name;
  return text;
}

}  // namespace

void TfrReport::RunViewScript(TfrView& view) {
  auto it = objectCode_.find(&view);
  if (it == objectCode_.end()) return;
  NamingStoppedScript(ViewAndBand(view), [&] { RunCode(it->second); });
}

void TfrReport::RunBandScript(const TfrView* bandView) {
  auto it = objectCode_.find(bandView);
  if (it == objectCode_.end()) return;
  NamingStoppedScript("band " + bandView->Name, [&] { RunCode(it->second); });
}

void TfrReport::RunScript(const StringList& script) {
  if (script.empty()) return;
  CodeLines code;
  std::vector<std::string> errors;  // page scripts run whatever translated
  ReportInterpreter(Globals()).Translate(script, code, errors);
  std::string whose = "a page";
  for (const auto& page : Template.Pages)
    if (&page->ScriptLines == &script) whose = "page " + page->Name;
  NamingStoppedScript(whose, [&] { RunCode(code); });
}

void TfrReport::RunCode(const CodeLines& code) {
  if (code.empty()) return;
  // A script may show a band whose script shows a band again.
  if (scriptDepth_ >= kMaxScriptDepth)
    throw EngineError("Scripts nested more than " + std::to_string(kMaxScriptDepth) +
                      " levels deep (a band shown from its own script?)");
  TInterpretator& interpreter = ReportInterpreter(Globals());
  ReportScriptEnvironment environment(*this);
  ScriptEnvironment* const previous = interpreter.Environment;
  interpreter.Environment = &environment;
  ++scriptDepth_;
  struct Restore {
    TInterpretator& in;
    ScriptEnvironment* previous;
    int& depth;
    ~Restore() {
      in.Environment = previous;
      --depth;
    }
  } restore{interpreter, previous, scriptDepth_};
  // Each script run from formation has the whole step bound; the scripts it
  // starts share it.
  if (scriptDepth_ == 1) interpreter.StepsRun = 0;
  interpreter.Run(code);
}

}  // namespace quillet
