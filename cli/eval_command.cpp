// quillet-cli eval: one expression evaluated as a report preparing a
// template would evaluate a bracket, with preset user variables.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "cli/commands.h"
#include "platform/locale_formats.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/component/report.h"
#include "report/expr/expression_globals.h"

namespace quillet::cli {
namespace {

struct EvalRequest {
  std::string expression;
  std::string templatePath;
  std::vector<std::pair<std::string, std::string>> variables;
  bool json = false;
  bool postfix = false;
};

// Every mistake of this command is an error line and exit code 1.
std::runtime_error Mistake(const std::string& what) {
  return std::runtime_error(what);
}

EvalRequest ParseRequest(const Args& args) {
  EvalRequest r;
  bool haveExpression = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto valueOf = [&](const std::string& option) {
      if (i + 1 >= args.size()) throw Mistake("option " + option + " needs a value");
      return args[++i];
    };
    if (a == "--json") {
      r.json = true;
    } else if (a == "--postfix") {
      r.postfix = true;
    } else if (a == "--template") {
      r.templatePath = valueOf(a);
    } else if (a == "--var") {
      const std::string v = valueOf(a);
      const auto eq = v.find('=');
      if (eq == std::string::npos || eq == 0)
        throw Mistake("--var wants NAME=VALUE, not '" + v + "'");
      r.variables.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    } else if (a.rfind("--", 0) == 0 && a.size() > 2) {
      throw Mistake("unknown option " + a);
    } else if (!haveExpression) {
      r.expression = a;
      haveExpression = true;
    } else {
      throw Mistake("give exactly one expression (quote it if it has spaces)");
    }
  }
  if (!haveExpression) throw Mistake("give the expression to evaluate");
  return r;
}

// Digits with an optional minus: an integer; digits with one decimal
// point: a float; anything else: text.
Variant TypedValue(const std::string& text) {
  std::size_t digits = 0, points = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9')
      ++digits;
    else if (c == '.')
      ++points;
    else if (!(c == '-' && i == 0))
      return Variant(text);
  }
  if (digits == 0 || points > 1) return Variant(text);
  if (points == 1) return Variant(StrToFloat(text, '.'));
  try {
    return Variant(StrToInt64(text));
  } catch (const std::exception&) {
    return Variant(StrToFloat(text, '.'));  // beyond 64 bits
  }
}

std::string DateText(double days) {
  const double whole = std::floor(days);
  const CivilDate c = DaysToCivil(days);
  long long seconds = std::llround((days - whole) * 86400.0);
  if (seconds >= 86400) seconds = 86399;
  char date[32], time[32];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", c.year, c.month, c.day);
  std::snprintf(time, sizeof time, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  if (whole == 0 && seconds != 0) return time;
  if (seconds == 0) return date;
  return std::string(date) + " " + time;
}

std::string TypeName(const Variant& v) {
  switch (v.GetType()) {
    case Variant::Type::Integer: return "integer";
    case Variant::Type::Float: return "float";
    case Variant::Type::Text: return "text";
    case Variant::Type::Boolean: return "boolean";
    case Variant::Type::Date: return "date";
    default: return "null";
  }
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 32) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

int RunEval(const Args& args) {
  const EvalRequest r = ParseRequest(args);
  TfrParser& parser = Expressions().Parser;
  if (r.postfix) {
    std::cout << EscapePostfix(parser.ToPostfix(r.expression)) << "\n";
    return 0;
  }
  TfrReport report;
  if (!r.templatePath.empty()) {
    if (!std::filesystem::exists(r.templatePath)) throw Mistake("no such file: " + r.templatePath);
    report.LoadTemplateFile(r.templatePath);
  }
  for (const auto& [name, value] : r.variables)
    Expressions().GlobalVariables.SetValue(name, TypedValue(value));
  report.StartEvaluation();
  Variant value;
  report.ResolveName(r.expression, value);
  const std::string text =
      value.GetType() == Variant::Type::Date ? DateText(value.AsFloat()) : value.AsText();
  if (r.json)
    std::cout << "{\"type\": " << JsonString(TypeName(value)) << ", \"text\": " << JsonString(text)
              << "}\n";
  else
    std::cout << text << "\n";
  return 0;
}

}  // namespace quillet::cli
