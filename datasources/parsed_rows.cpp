#include "datasources/parsed_rows.h"

#include <limits>

#include "datasources/engine_text.h"
#include "datasources/field_types.h"

namespace quillet {
namespace {

// Rows up to this wide are refilled when they come back; wider ones are
// freed, so that a file of many short rows under a wide header holds no
// more than its rows' own cells while a block of them waits.
constexpr std::size_t kRefilledWidth = 64;

bool StartsNumberOrDate(char c) {
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

// Text into `value`, into the string it holds where it holds one: a
// column's texts refill the same strings row after row.
void AssignText(Variant& value, std::string_view text) {
  if (const std::string* held = value.IfText())
    const_cast<std::string*>(held)->assign(text);  // `value` itself is not const
  else
    value = Variant(std::string(text));
}

// The cell's value into `value`, whatever it held.
void TypeCell(std::string_view utf8, Variant& value) {
  if (!utf8.empty() && StartsNumberOrDate(utf8[0])) {
    if (ShortNumber number; ReadShortNumber(utf8, number)) {
      value = number.whole ? Variant(number.integer) : Variant(number.decimal);
      return;
    }
    if (ReadNumberOrDate(utf8, value)) return;
  }
  if (IsSevenBit(utf8))
    AssignText(value, utf8);
  else
    value = Variant(EngineTextOfUtf8(utf8));
}

}  // namespace

void ParsedRows::OnCell(void* bytes, std::size_t size, void* rows) {
  static_cast<ParsedRows*>(rows)->AddCell(
      std::string_view(bytes ? static_cast<const char*>(bytes) : "", size));
}

void ParsedRows::OnRowEnd(int /*terminator*/, void* rows) {
  static_cast<ParsedRows*>(rows)->EndRow();
}

void ParsedRows::Restart(std::size_t width) {
  next_ = complete_ = 0;
  inHeader_ = true;
  width_ = width;
  kept_ = std::numeric_limits<std::size_t>::max();
  cellsInRow_ = 0;
}

void ParsedRows::NewRow() {
  std::vector<Variant>& row = rows_.emplace_back();
  if (!inHeader_ && kept_ <= kRefilledWidth) row.reserve(kept_);
}

void ParsedRows::AddCell(std::string_view utf8) {
  const std::size_t i = cellsInRow_++;
  if (i >= kept_) return;
  if (complete_ == rows_.size()) NewRow();
  std::vector<Variant>& row = rows_[complete_];
  // Storage handed back holds the values of an older row: they are
  // overwritten cell by cell, and what is left over goes at the row's end.
  Variant& value = i < row.size() ? row[i] : row.emplace_back();
  if (inHeader_)
    AssignText(value, utf8);
  else
    TypeCell(utf8, value);
}

void ParsedRows::EndRow() {
  if (inHeader_) {
    inHeader_ = false;
    kept_ = width_ != 0 ? width_ : cellsInRow_;
  }
  if (complete_ == rows_.size()) NewRow();
  rows_[complete_].resize(std::min(cellsInRow_, kept_));
  ++complete_;
  cellsInRow_ = 0;
}

void ParsedRows::Take(std::vector<Variant>& row, std::size_t width) {
  row.swap(rows_[next_]);
  std::vector<Variant>& old = rows_[next_++];
  if (width > kRefilledWidth) std::vector<Variant>().swap(old);
  const std::size_t present = row.size();
  row.resize(width);
  for (std::size_t i = present; i < width; ++i) row[i] = Variant(std::string());
}

std::vector<std::string> ParsedRows::TakeTexts() {
  std::vector<std::string> texts;
  for (const Variant& value : rows_[next_++]) texts.push_back(*value.IfText());
  return texts;
}

void ParsedRows::DropTaken() {
  // Only taken rows go before the row being parsed, which moves to the front.
  if (complete_ < rows_.size()) rows_[0].swap(rows_[complete_]);
  next_ = complete_ = 0;
}

}  // namespace quillet
