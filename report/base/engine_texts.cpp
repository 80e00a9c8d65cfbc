#include "report/base/engine_texts.h"

#include <algorithm>
#include <iterator>

namespace quillet {
namespace {

struct Entry {
  int number;
  const char* text;
};

// Sorted by number.
constexpr Entry kTexts[] = {
    {53040, "Print"},
    {53041, "Printer"},
    {53042, "&Name:"},
    {53043, "Properties"},
    {53044, "Page range"},
    {53045, "&All"},
    {53046, "Current pa&ge"},
    {53047, "&Pages:"},
    {53048, "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12"},
    {53049, "Copies"},
    {53050, "Number of &copies:"},
    {53051, "Co&llate"},
    {53052, "P&rint"},
    {53053, "All pages"},
    {53054, "Odd pages"},
    {53055, "Even pages"},
    {55000, "OK"},
    {55001, "Cancel"},
    {55007, "Virtual printer"},
    {55077, "Report title"},
    {55078, "Report summary"},
    {55079, "Page header"},
    {55080, "Page footer"},
    {55081, "Master header"},
    {55082, "Master data"},
    {55083, "Master footer"},
    {55084, "Detail header"},
    {55085, "Detail data"},
    {55086, "Detail footer"},
    {55087, "Subdetail header"},
    {55088, "Subdetail data"},
    {55089, "Subdetail footer"},
    {55090, "Overlay"},
    {55091, "Column header"},
    {55092, "Column footer"},
    {55093, "Group header"},
    {55094, "Group footer"},
    {55095, "Cross header"},
    {55096, "Cross data"},
    {55097, "Cross footer"},
    {55098, "Child"},
    {55099, "None"},
    {55170, "0;1"},
    {55171, "No;Yes"},
    {55172, "_;x"},
    {55173, "False;True"},
    {55175, "mm.dd.yy"},
    {55176, "mm.dd.yyyy"},
    {55177, "d mmm yyyy"},
    {55179, "hh:nn:ss"},
    {55180, "h:nn:ss"},
    {55181, "hh:nn"},
    {55182, "h:nn"},
    {55199, "from"},
    {55200, "An error occured during calculating"},
    {55201, "Report:"},
    {55202, "Object:"},
    {55203, "Preparing report"},
    {55204, "Performing 1st pass:"},
    {55205, "Processing page:"},
    {55206, "Error"},
    {55208, "Printing page:"},
    {55209, "Untitled"},
    {55210, "Printer selected is not valid"},
    {55337, "1"},
    {55439, "Undefined symbol"},
};

constexpr std::size_t kMaxTextLength = 1023;

}  // namespace

std::string EngineText(int number) {
  const auto* end = std::end(kTexts);
  const auto* it = std::lower_bound(std::begin(kTexts), end, number,
                                    [](const Entry& e, int n) { return e.number < n; });
  if (it == end || it->number != number) return {};
  std::string text = it->text;
  if (text.size() > kMaxTextLength) text.resize(kMaxTextLength);
  return text;
}

}  // namespace quillet
