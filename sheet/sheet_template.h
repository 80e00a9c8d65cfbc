// The sheet's template as the main window's report stores it: the
// "ReportForm" value (int32 24, int32 2630, then the template stream of one
// A4 page with Shape1..Shape7, Width1..Width7 and Height1..Height7).
//
// The bytes are sheet/resources/sheet_template.frf, written once by
// tools/make_sheet_template.py and compiled into the program by the build.
#pragma once

#include <cstdint>
#include <span>

namespace quillet {

std::span<const std::uint8_t> SheetTemplateForm();

}  // namespace quillet
