// TfrStdFunctionLibrary: the standard functions of expressions and scripts,
// in index order: AVG, COUNT, DAYOF, FORMATDATETIME, FORMATFLOAT,
// FORMATTEXT, INPUT, LENGTH, LOWERCASE, MAX, MAXNUM, MESSAGEBOX, MIN,
// MINNUM, MONTHOF, NAMECASE, POS, SUM, TRIM, UPPERCASE, YEAROF.
//
// Arguments arrive as the texts of the call's argument expressions; each
// function evaluates the ones it needs with the engine parser. Before a
// function runs its result is the text "0".
#pragma once

#include <string>

#include "report/functions/function_library.h"

namespace quillet {

// The display formatters the format functions use (the report's value
// formatting); given at registration, since they live above this library.
struct PatternFormatters {
  // value, pattern ("#,##0.00"), decimal separator → text
  std::string (*Number)(double, const std::string&, char) = nullptr;
  // days since 1899-12-30, pattern ("dd.mm.yyyy") → text
  std::string (*DateTime)(double, const std::string&) = nullptr;
};

class TfrStdFunctionLibrary : public TfrFunctionLibrary {
 public:
  // Its functions evaluate their arguments with the parser of `engine`.
  TfrStdFunctionLibrary(EngineGlobals& engine, PatternFormatters formatters);
  static constexpr const char* kClassName = "TfrStdFunctionLibrary";
  std::string ClassName() const override { return kClassName; }
  void RunFunction(int index, const Variant& p1, const Variant& p2, const Variant& p3,
                   Variant& result) override;

 private:
  EngineGlobals& engine_;
  PatternFormatters formatters_;
};

// Text by an edit mask "mask;keep;blank" (both fields optional): `text`
// supplies the mask's character positions in order ("!000-0000" with
// "5551234" gives "555-1234"). With keep other than "0" the text may hold
// the literal characters in place, and they are not taken twice; positions
// the text does not fill show the blank character, a space by default.
std::string FormatByEditMask(const std::string& mask, const std::string& text);

}  // namespace quillet
