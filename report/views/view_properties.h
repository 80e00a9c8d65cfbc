// Helpers of the named-property layer shared by view classes: font
// sub-properties and the methods of string-list properties.
#pragma once

#include <string>

#include "report/base/variant.h"
#include "report/views/view.h"

namespace quillet {

class TfrParser;
struct ReportFont;

// "FONT.NAME" (text), "FONT.SIZE" (points), "FONT.STYLE" (1 italic, 2 bold,
// 4 underline, 8 strike-out), "FONT.COLOR"; names compared exactly (callers
// pass them upper-cased). Other names are ignored; reading them gives Null.
void WriteFontProperty(ReportFont& font, const std::string& name, const Variant& value);
Variant ReadFontProperty(const ReportFont& font, const std::string& name);

// The methods of a string-list property named `listName` ("MEMO", "LINES"):
// SETINDEXPROPERTY / GETINDEXPROPERTY (a1 the list name, a2 the 0-based
// line, a3 the text), and listName + ".ADD", ".CLEAR", ".DELETE",
// ".INDEXOF", whose argument `parser` evaluates as an expression. Null for
// any other method. A line number outside the list raises RangeError.
Variant InvokeListMethod(TfrParser& parser, StringList& list, const std::string& method,
                         const Variant& a1, const Variant& a2, const Variant& a3,
                         const std::string& listName);

// A whole text split into lines at CR LF, CR or LF.
StringList SplitLines(const std::string& text);

}  // namespace quillet
