#include "report/functions/std_functions.h"

#include "platform/engine_host.h"
#include "platform/errors.h"
#include "platform/locale_formats.h"
#include "platform/utf8.h"
#include "report/base/aggregate_values.h"
#include "report/base/engine_state.h"
#include "report/base/locale_case.h"
#include "report/base/text_format.h"
#include "report/expr/expression_globals.h"

namespace quillet {
namespace {

enum StdFunction {
  fnAvg,
  fnCount,
  fnDayOf,
  fnFormatDateTime,
  fnFormatFloat,
  fnFormatText,
  fnInput,
  fnLength,
  fnLowerCase,
  fnMax,
  fnMaxNum,
  fnMessageBox,
  fnMin,
  fnMinNum,
  fnMonthOf,
  fnNameCase,
  fnPos,
  fnSum,
  fnTrim,
  fnUpperCase,
  fnYearOf,
};

Variant Eval(EngineGlobals& engine, const Variant& argument) {
  return Expressions(engine).Parser.Calc(argument.AsText());
}
std::string TextOf(EngineGlobals& engine, const Variant& argument) {
  return Eval(engine, argument).AsText();
}

// A date argument as days since 1899-12-30: a date, a number of days, or a
// text in the locale's short date form.
double DaysOf(EngineGlobals& engine, const Variant& argument) {
  const Variant value = Eval(engine, argument);
  if (const std::string* text = value.IfText()) {
    double days = 0;
    if (!CurrentLocale().ParseDate(*text, days))
      throw ConversionError("'" + *text + "' is not a valid date");
    return days;
  }
  return value.AsFloat();
}

std::string Trim(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

MessageButtons ButtonsOf(std::int64_t flags) {
  switch (flags & 0x0F) {
    case 1: return MessageButtons::OkCancel;
    case 3: return MessageButtons::YesNoCancel;
    case 4: return MessageButtons::YesNo;
    default: return MessageButtons::Ok;
  }
}

MessageIcon IconOf(std::int64_t flags) {
  switch (flags & 0xF0) {
    case 16: return MessageIcon::Error;
    case 32: return MessageIcon::Question;
    case 48: return MessageIcon::Warning;
    case 64: return MessageIcon::Information;
    default: return MessageIcon::None;
  }
}

// The dialog result of the button pressed (mrOk 1, mrCancel 2, mrYes 6,
// mrNo 7).
int ModalResultOf(MessageResult answer) {
  switch (answer) {
    case MessageResult::Ok: return 1;
    case MessageResult::Cancel: return 2;
    case MessageResult::Yes: return 6;
    case MessageResult::No: return 7;
  }
  return 0;
}

void RunAggregate(const PreparationState& prep, AggregateCode code, const Variant& p1,
                  const Variant& p2, const Variant& p3, Variant& result) {
  if (!prep.Aggregates) return;
  if (prep.AggregateScan) {
    // The call is registered; the answer stays "0".
    Variant ignored = result;
    prep.Aggregates->Aggregate(code, p1, p2, p3, ignored);
    return;
  }
  prep.Aggregates->Aggregate(code, p1, p2, p3, result);
}

}  // namespace

TfrStdFunctionLibrary::TfrStdFunctionLibrary(EngineGlobals& engine, PatternFormatters formatters)
    : engine_(engine), formatters_(formatters) {
  FunctionNames = {"AVG",        "COUNT",      "DAYOF",  "FORMATDATETIME", "FORMATFLOAT",
                   "FORMATTEXT", "INPUT",      "LENGTH", "LOWERCASE",      "MAX",
                   "MAXNUM",     "MESSAGEBOX", "MIN",    "MINNUM",         "MONTHOF",
                   "NAMECASE",   "POS",        "SUM",    "TRIM",           "UPPERCASE",
                   "YEAROF"};
}

void TfrStdFunctionLibrary::RunFunction(int index, const Variant& p1, const Variant& p2,
                                        const Variant& p3, Variant& result) {
  result = Variant("0");
  switch (index) {
    case fnAvg: return RunAggregate(engine_.Run, agAvg, p1, p2, p3, result);
    case fnCount: return RunAggregate(engine_.Run, agCount, p1, p2, p3, result);
    case fnMax: return RunAggregate(engine_.Run, agMax, p1, p2, p3, result);
    case fnMin: return RunAggregate(engine_.Run, agMin, p1, p2, p3, result);
    case fnSum: return RunAggregate(engine_.Run, agSum, p1, p2, p3, result);
    case fnDayOf: result = Variant(std::int64_t(DaysToCivil(DaysOf(engine_, p1)).day)); return;
    case fnMonthOf: result = Variant(std::int64_t(DaysToCivil(DaysOf(engine_, p1)).month)); return;
    case fnYearOf: result = Variant(std::int64_t(DaysToCivil(DaysOf(engine_, p1)).year)); return;
    case fnFormatDateTime: {
      if (!formatters_.DateTime) throw EngineError("FORMATDATETIME: no date formatter installed");
      const std::string pattern = TextOf(engine_, p1);
      result = Variant(formatters_.DateTime(DaysOf(engine_, p2), pattern));
      return;
    }
    case fnFormatFloat: {
      if (!formatters_.Number) throw EngineError("FORMATFLOAT: no number formatter installed");
      const std::string pattern = TextOf(engine_, p1);
      result = Variant(
          formatters_.Number(Eval(engine_, p2).AsFloat(), pattern, engine_.DecimalSeparator));
      return;
    }
    case fnFormatText: {
      const std::string mask = TextOf(engine_, p1);
      result = Variant(FormatByEditMask(mask, TextOf(engine_, p2)));
      return;
    }
    case fnInput: {
      const std::string prompt = TextOf(engine_, p1);
      std::string value = TextOf(engine_, p2);
      // A cancelled input box leaves the default.
      engine_.Host().InputBox("", prompt, value);
      result = Variant(value);
      return;
    }
    case fnLength: result = Variant(std::int64_t(CodePointCount(TextOf(engine_, p1)))); return;
    case fnLowerCase: result = Variant(LocaleLowerCase(TextOf(engine_, p1))); return;
    case fnUpperCase: result = Variant(LocaleUpperCase(TextOf(engine_, p1))); return;
    case fnNameCase: {
      const std::string text = LocaleLowerCase(TextOf(engine_, p1));
      const std::size_t first = OffsetOfCodePoint(text, 1);
      result = Variant(LocaleUpperCase(text.substr(0, first)) + text.substr(first));
      return;
    }
    case fnMaxNum:
    case fnMinNum: {
      const Variant a = Eval(engine_, p1);
      const Variant b = Eval(engine_, p2);
      const int order = CompareValues(a, b);
      result = (index == fnMaxNum ? order > 0 : order < 0) ? a : b;
      return;
    }
    case fnMessageBox: {
      const std::string text = TextOf(engine_, p1);
      const std::string caption = TextOf(engine_, p2);
      const std::int64_t flags = Eval(engine_, p3).AsInteger();
      result = Variant(std::int64_t(ModalResultOf(
          engine_.Host().ShowMessage(text, caption, IconOf(flags), ButtonsOf(flags)))));
      return;
    }
    case fnPos: {
      const std::string part = TextOf(engine_, p1);
      const std::string text = TextOf(engine_, p2);
      const std::size_t at = part.empty() ? std::string::npos : text.find(part);
      result = Variant(
          std::int64_t(at == std::string::npos ? 0 : CodePointCount(text.substr(0, at)) + 1));
      return;
    }
    case fnTrim: result = Variant(Trim(TextOf(engine_, p1))); return;
    default: return;
  }
}

std::string FormatByEditMask(const std::string& editMask, const std::string& text) {
  // "mask;keep;blank": the mask runs to its first ";" that no "\\" escapes;
  // keep "0" means the text holds no literal characters, and blank is the
  // character shown for a position the text does not fill.
  std::size_t fieldAt = std::string::npos;
  for (std::size_t i = 0; i < editMask.size(); ++i) {
    if (editMask[i] == '\\') {
      ++i;
    } else if (editMask[i] == ';') {
      fieldAt = i;
      break;
    }
  }
  const std::string mask = editMask.substr(0, fieldAt);
  bool keepsLiterals = false;
  char blank = ' ';
  if (fieldAt != std::string::npos) {
    const std::size_t keep = fieldAt + 1;
    keepsLiterals = keep < editMask.size() && editMask[keep] != '0' && editMask[keep] != ';';
    const std::size_t second = editMask.find(';', keep);
    if (second != std::string::npos && second + 1 < editMask.size()) blank = editMask[second + 1];
  }

  std::string out;
  std::size_t next = 0;  // next character of `text`
  int caseMode = 0;      // 1 upper, -1 lower
  auto literal = [&](char c) {
    // A text that keeps literals has them in place: pass over the one here.
    if (keepsLiterals && next < text.size() && text[next] == c) ++next;
    out += c;
  };
  for (std::size_t i = 0; i < mask.size(); ++i) {
    const char m = mask[i];
    switch (m) {
      case '!': continue;
      case '>': caseMode = 1; continue;
      case '<':
        if (i + 1 < mask.size() && mask[i + 1] == '>') {
          caseMode = 0;
          ++i;
        } else {
          caseMode = -1;
        }
        continue;
      case '\\':
        if (i + 1 < mask.size()) literal(mask[++i]);
        continue;
      case 'L':
      case 'l':
      case 'A':
      case 'a':
      case 'C':
      case 'c':
      case '0':
      case '9':
      case '#': {
        std::string c(1, blank);
        if (next < text.size()) {
          const std::size_t from = next;
          NextCodePoint(text, next);
          c = text.substr(from, next - from);
        }
        if (caseMode > 0) c = LocaleUpperCase(c);
        if (caseMode < 0) c = LocaleLowerCase(c);
        out += c;
        continue;
      }
      default: literal(m);
    }
  }
  return out;
}

}  // namespace quillet
