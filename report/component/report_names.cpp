// The report as the expression parser's source of names and functions:
// name resolution, page variables, object properties, the report's
// procedures and the text of bracketed expressions.
#include <algorithm>
#include <cctype>

#include "platform/errors.h"
#include "report/base/calc_errors.h"
#include "report/base/engine_state.h"
#include "report/base/engine_texts.h"
#include "report/base/text_format.h"
#include "report/component/function_names.h"
#include "report/component/report.h"
#include "report/component/report_scripts.h"
#include "report/component/value_format.h"
#include "report/expr/dataset_components.h"
#include "report/expr/expression_globals.h"
#include "report/formation/active_objects.h"
#include "report/formation/band.h"
#include "report/formation/page_formation.h"
#include "report/functions/function_library.h"
#include "report/template/page.h"
#include "report/views/memo/memo_view.h"

namespace quillet {
namespace {

// The report the shared parser's hooks are bound to, so a report going
// away can unbind them.
TfrReport* hookOwner = nullptr;

ParserError UndefinedSymbol(const std::string& name) {
  return ParserError(EngineText(txUndefinedSymbol) + " \"" + name + "\"");
}

std::string Trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// The counting band of "LINE#": the active band, or the first of its chain
// when it has no data set.
const TfrBand* CountingBand(const PreparationState& run) {
  const TfrBand* band = ActiveTfrBand(run);
  if (band && !band->Dataset)
    while (band->Prev && band->Prev->Kind == band->Kind) band = band->Prev;
  return band;
}

// The index text of an array element: the index itself when it is text,
// otherwise its integer value.
std::string IndexText(const Variant& index) {
  if (const std::string* s = index.IfText()) return *s;
  return std::to_string(index.AsInteger());
}

// The band whose data set a band of `kind` reads its fields from: the data
// band of its data level (none for the kinds that belong to no level).
int LevelDataKind(int kind) {
  if ((kind >= btReportTitle && kind <= btMasterFooter) || kind == btGroupHeader ||
      kind == btGroupFooter)
    return btMasterData;
  if (kind == btDetailData || kind == btDetailFooter) return btDetailData;
  if (kind == btSubDetailData || kind == btSubDetailFooter) return btSubDetailData;
  if (kind == btCrossData || kind == btCrossFooter) return btCrossData;
  return -1;
}

}  // namespace

DataSetComponent* TfrReport::DataLevelDataset() const {
  TfrDataset* dataset = Dataset;
  if (const TfrBand* band = ActiveTfrBand(Run()); band && band->Page->Page.Type == ptReport)
    if (const int kind = LevelDataKind(band->Kind); kind >= 0) {
      const TfrBand* data = band->Page->Chain(kind);
      dataset = data ? data->Dataset : nullptr;
    }
  // Only a data set the host registered has fields to name.
  return FindDatasetComponentOf(dataset);
}

void TfrReport::InstallParserHooks() {
  TfrParser& parser = Expressions(Globals()).Parser;
  parser.ValueHook = [this](const std::string& name, Variant& value) { ResolveName(name, value); };
  parser.FunctionHook = [this](const std::string& name, const Variant& p1, const Variant& p2,
                               const Variant& p3,
                               Variant& result) { CallFunction(name, p1, p2, p3, result); };
  hookOwner = this;
}

void ReleaseParserHooks(TfrReport* report) {
  if (hookOwner != report) return;
  hookOwner = nullptr;
  // A report may outlive the engine's parser.
  if (TfrParser* parser = report->Globals().Parser.get()) {
    parser->ValueHook = nullptr;
    parser->FunctionHook = nullptr;
  }
}

// ---- Names ---------------------------------------------------------------

void TfrReport::ResolveName(const std::string& name, Variant& value) {
  value = Variant();
  if (Events.OnGetValue) {
    Events.OnGetValue(name, value);
    if (!value.IsEmpty()) return;
  }
  value = Variant(0);
  PreparationState& prep = Run();
  TfrParser& parser = Expressions(Globals()).Parser;

  TfrDataDictionary& dictionary = Template.Dictionary;
  if (dictionary.IsDictionaryName(name)) {
    value = dictionary.LookupValue(name);
    return;
  }

  if (name == "VALUE") {
    value = prep.LastValue;
  } else if (name == "PAGE#") {
    value = Variant(prep.PageIndex + 1);
  } else if (name == "DATE") {
    value = Variant(DateTime{prep.PrepareDate});
  } else if (name == "TIME") {
    value = Variant(DateTime{prep.PrepareTime});
  } else if (name == "LINE#" || name == "LINETHROUGH#") {
    if (const TfrBand* band = CountingBand(Run()))
      value = Variant(name == "LINE#" ? band->LineNumber : band->LineThrough);
  } else if (name == "COLUMN#" || name == "CURRENT#") {
    if (auto* page = dynamic_cast<TfrPage*>(prep.ActivePage))
      if (const PageFormation* f = FormationOf(*page))
        value = Variant(name == "COLUMN#" ? f->CrossColumnNumber : f->RecordPosition);
  } else if (name == "TOTALPAGES") {
    value = Variant(prep.TotalPageCount);
  } else if (name == "CALCWIDTH") {
    TfrView* view = ActiveTfrView(Run());
    if (!view) {
      value = Variant(0);
    } else if (auto* memo = dynamic_cast<TfrMemoView*>(view)) {
      // The text is expanded apart from the expansion that may be asking
      // (its lines so far are kept); a text that asks for its own width
      // while being measured gets 0 instead of measuring itself forever.
      static bool measuring = false;
      if (!measuring) {
        measuring = true;
        StringList kept = std::move(memo->WorkText);
        struct Restore {
          TfrMemoView& m;
          StringList& kept;
          ~Restore() {
            m.WorkText = std::move(kept);
            measuring = false;
          }
        } restore{*memo, kept};
        memo->ExpandText();
        value = Variant(memo->MeasureTextWidth(memo->WorkText));
      }
    } else {
      value = Variant(view->Width);
    }
  } else if (const int i = Expressions(Globals()).GlobalVariables.IndexOfName(name); i >= 0) {
    value = Expressions(Globals()).GlobalVariables.ValueAt(i);
  } else if (ResolvePageVariable(name, value)) {
    // answered
  } else if (name != prep.EvaluatingName) {
    // Any other name is an expression of its own.
    struct Clear {
      std::string& n;
      ~Clear() { n.clear(); }
    } clear{prep.EvaluatingName};
    prep.EvaluatingName = name;
    value = parser.Calc(name);
  } else if (!prep.AggregateScan) {
    throw UndefinedSymbol(name);
  }
}

bool TfrReport::ResolvePageVariable(const std::string& name, Variant& value) {
  PreparationState& prep = Run();
  const PageFormation* f = nullptr;
  if (auto* page = dynamic_cast<TfrPage*>(prep.ActivePage)) f = FormationOf(*page);
  if (f) {
    if (name == "CURY") {
      value = Variant(f->CurrentY);
      return true;
    }
    if (name == "FREESPACE") {
      value = Variant(std::int64_t(f->BottomLimit) - f->CurrentY);
      return true;
    }
    if (name == "PAGEHEIGHT") {
      value = Variant(f->BottomLimit);
      return true;
    }
    if (name == "PAGEWIDTH") {
      value = Variant(f->RightEdge());
      return true;
    }
  }
  if (name == "FINALPASS") {
    value = Variant(OuterReportOf(Run(), *this).InFinalPass);
    return true;
  }
  std::string property;
  if (TfrObject* object = ResolveObjectProperty(name, property);
      object && object->FindProperty(property)) {
    value = object->ReadProperty(property);
    return true;
  }
  if (const int i = Expressions(Globals()).NamedConstants.IndexOfName(name); i >= 0) {
    value = Expressions(Globals()).NamedConstants.ValueAt(i);
    return true;
  }
  return false;
}

TfrObject* TfrReport::ResolveObjectProperty(const std::string& reference, std::string& property) {
  PreparationState& prep = Run();
  TfrView* active = ActiveTfrView(Run());
  TfrObject* object = active;
  property = reference;
  if (const auto dot = reference.find('.'); dot != std::string::npos) {
    const std::string head = reference.substr(0, dot);
    property = reference.substr(dot + 1, 255);
    const std::string upper = UpperCase(head);
    if (upper.size() > 4 && upper.compare(0, 4, "PAGE") == 0 &&
        std::isdigit(static_cast<unsigned char>(upper[4]))) {
      const std::int64_t number = StrToInt64(head.substr(4));
      object = number >= 1 && number <= std::int64_t(Template.Pages.size())
                   ? Template.Pages[std::size_t(number - 1)].get()
                   : nullptr;
    } else {
      ReportServices* report = prep.ActiveReport ? prep.ActiveReport : this;
      object = report->FindView(head);
      if (!object && active) {
        active->EnsureProperties();
        if (active->FindProperty(head)) {
          object = active;
          property = reference;
        }
      }
    }
  }
  if (object) object->EnsureProperties();
  return object;
}

// ---- Functions and procedures ----------------------------------------------

void TfrReport::CallFunction(const std::string& name, const Variant& p1, const Variant& p2,
                             const Variant& p3, Variant& result) {
  result = Variant("0");
  for (const auto& library : FunctionLibraries(Globals()))
    if (library->HandleCall(name, p1, p2, p3, result)) return;
  if (Events.OnUserFunction) {
    // The program's handler may answer any name.
    CallBuiltinProcedure(name, p1, p2, p3, result);
    Events.OnUserFunction(name, p1, p2, p3, result);
    return;
  }
  // A misspelt function would print as 0 without a word.
  if (!IsKnownFunction(Globals(), name)) throw UnknownFunction(name);
  CallBuiltinProcedure(name, p1, p2, p3, result);
}

void TfrReport::CallBuiltinProcedure(const std::string& name, const Variant& p1, const Variant& p2,
                                     const Variant& p3, Variant& result) {
  PreparationState& prep = Run();
  TfrParser& parser = Expressions(Globals()).Parser;
  TfrVariables& variables = Expressions(Globals()).GlobalVariables;
  const std::string first = Trimmed(p1.AsText());

  if (name == "STOPREPORT") {
    if (prep.ActiveReport) prep.ActiveReport->StopRequested = true;
  } else if (name == "NEWPAGE") {
    if (TfrBand* band = ActiveTfrBand(Run())) ++band->ForcedNewPages;
  } else if (name == "NEWCOLUMN") {
    if (TfrBand* band = ActiveTfrBand(Run())) ++band->ForcedNewColumns;
  } else if (name == "SHOWBAND") {
    if (auto* page = dynamic_cast<TfrPage*>(prep.ActivePage))
      if (PageFormation* f = FormationOf(*page)) f->PresentNamedBand(first);
  } else if (name == "INC" || name == "DEC") {
    Variant current;
    if (parser.ValueHook) parser.ValueHook(UpperCase(first), current);
    const Variant changed =
        name == "INC" ? AddValues(current, Variant(1)) : SubtractValues(current, Variant(1));
    // Stored as the script interpreter assigns.
    AssignAsScript(*this, first, changed);
  } else if (name == "SETARRAY" || name == "GETARRAY") {
    const bool set = name == "SETARRAY";
    const Variant index = parser.Calc(p2.AsText());
    const Variant element = set ? parser.Calc(p3.AsText()) : Variant();
    if (first.find('.') != std::string::npos) {
      std::string property;
      if (TfrObject* object = ResolveObjectProperty(first, property)) {
        const Variant answer =
            object->CallMethod(set ? "SETINDEXPROPERTY" : "GETINDEXPROPERTY",
                               Variant(UpperCase(property)), index, set ? element : Variant(""));
        if (!set) result = answer;
      }
      return;
    }
    const std::string key = "Arr_" + first + "_" + IndexText(index);
    if (set)
      variables.SetValue(key, element);
    else
      result = variables.GetValue(key);
  } else {
    std::string method;
    if (TfrObject* object = ResolveObjectProperty(name, method))
      result = object->CallMethod(UpperCase(method), p1, p2, p3);
  }
}

// ---- Bracketed expressions -------------------------------------------------

std::string TfrReport::EvaluateBracket(const std::string& text) {
  PreparationState& prep = Run();
  prep.EvaluatingName.clear();
  TfrView* view = ActiveTfrView(Run());
  std::uint32_t format = view ? static_cast<std::uint32_t>(view->DisplayFormat) : 0;
  std::string formatText = view ? view->FormatText : std::string();
  std::string expression = text;

  if (const auto mark = text.find(" #"); mark != std::string::npos) {
    expression = text.substr(0, mark);
    std::string suffix = text.substr(mark + 2);
    if (!suffix.empty() && std::isdigit(static_cast<unsigned char>(suffix[0])))
      suffix.insert(0, 1, 'N');
    const char kindChar = suffix.empty() ? '\0' : suffix[0];
    const bool digitSecond =
        suffix.size() > 1 && std::isdigit(static_cast<unsigned char>(suffix[1]));
    switch (kindChar) {
      case 'N':
      case 'n': {
        std::uint32_t decimals = 0;
        unsigned char separator = 0;
        for (std::size_t k = suffix.size() - 1; k >= 1; --k) {
          const char c = suffix[k];
          if (c != ',' && c != '-' && c != '.') continue;
          separator = static_cast<unsigned char>(c);
          suffix[k] = '.';
          if (digitSecond) {
            std::size_t e = k + 1;
            while (e < suffix.size() && std::isdigit(static_cast<unsigned char>(suffix[e]))) ++e;
            if (e > k + 1)
              decimals = std::uint32_t(std::min(
                  StrToInt(suffix.substr(k + 1, std::min<std::size_t>(e - k - 1, 3))), 255));
          }
          break;
        }
        if (digitSecond) {
          format = MakeDisplayFormat(dcNumber, 1, decimals, separator);
        } else {
          formatText = suffix.substr(1);
          format = MakeDisplayFormat(dcNumber, kCustomKind, decimals, separator);
        }
        break;
      }
      case 'D':
      case 'd':
      case 'T':
      case 't':
        format = MakeDisplayFormat(dcDate, kCustomKind, 0, 0);
        formatText = suffix.substr(1);
        break;
      case 'B':
      case 'b':
        format = MakeDisplayFormat(dcBoolean, kCustomKind, 0, 0);
        formatText = suffix.substr(1);
        break;
      default: formatText = suffix; break;
    }
  }

  prep.LastExpression = expression;
  prep.LastValue = Variant(0);
  {
    const CalcExpressionScope scope("[" + expression + "]");
    ResolveName(expression, prep.LastValue);
  }
  const auto* memo = dynamic_cast<const TfrMemoView*>(view);
  if (memo && memo->Options().Has(MemoFlag::HideZeros) && !prep.LastValue.IfText()) {
    try {
      if (ValuesEqual(prep.LastValue, Variant(0))) prep.LastValue = Variant(std::string());
    } catch (const std::exception&) {
      // A value that cannot be compared with 0 is shown as it is.
    }
  }
  if (prep.AggregateScan) return {};
  return FormatDisplayValue(Globals(), prep.LastValue, format, formatText);
}

}  // namespace quillet
