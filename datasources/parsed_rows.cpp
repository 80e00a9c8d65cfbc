#include "datasources/parsed_rows.h"

#include <limits>

#include "datasources/field_types.h"
#include "platform/utf8.h"

namespace quillet {
namespace {

// Text into `value`, into the string it holds where it holds one: a
// column's texts refill the same strings row after row.
void AssignText(Variant& value, std::string_view text) {
  if (std::string* held = value.IfText())
    held->assign(text);
  else
    value = Variant(std::string(text));
}

// The cell's value into `value`, whatever it held (untyped, a text); false
// when its text is not well-formed UTF-8.
bool TypeCell(std::string_view utf8, Variant& value, bool typed = true) {
  if (utf8.empty()) {
    value = Variant::Null();  // a blank cell holds no value, as SQL NULL
    return true;
  }
  if (typed && StartsNumberOrDate(utf8[0])) {
    if (ShortNumber number; ReadShortNumber(utf8, number)) {
      value = number.whole ? Variant(number.integer) : Variant(number.decimal);
      return true;
    }
    if (ReadNumberOrDate(utf8, value)) return true;
  }
  // Seven-bit text needs no check: it is copied and tested at once.
  if (std::string* held = value.IfText()) {
    std::string& text = *held;
    text.resize(utf8.size());
    unsigned char bits = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      text[i] = utf8[i];
      bits |= static_cast<unsigned char>(utf8[i]);
    }
    if (bits < 0x80) return true;
  }
  AssignText(value, utf8);
  return FindInvalidUtf8(utf8) == std::string_view::npos;
}

}  // namespace

void ParsedRows::OnCell(void* bytes, std::size_t size, void* rows) {
  ParsedRows& self = *static_cast<ParsedRows*>(rows);
  if (self.cellsInRow_++ >= self.kept_) return;
  if (self.slot_ == self.slotsEnd_) self.MoreSlots();
  Variant& value = *self.slot_++;
  const std::string_view utf8(bytes ? static_cast<const char*>(bytes) : "", size);
  const std::size_t column = self.cellsInRow_ - 1;
  bool wellFormed = true;
  if (self.inHeader_) {
    AssignText(value, utf8);
    wellFormed = FindInvalidUtf8(utf8) == std::string_view::npos;
  } else {
    wellFormed = TypeCell(utf8, value, column >= self.text_.size() || !self.text_[column]);
  }
  if (!wellFormed && !self.malformedRow_) self.malformedRow_ = self.complete_ - self.next_ + 1;
}

void ParsedRows::OnRowEnd(int /*terminator*/, void* rows) {
  ParsedRows& self = *static_cast<ParsedRows*>(rows);
  ++self.rowsParsed_;
  if (self.inHeader_) {
    self.inHeader_ = false;
    self.kept_ = self.width_ != 0 ? self.width_ : self.cellsInRow_;
  } else if (self.cellsInRow_ != self.kept_ && self.wrongRow_ == 0) {
    self.wrongRow_ = self.rowsParsed_;
    self.wrongCells_ = self.cellsInRow_;
  }
  // Values left over from an older row go.
  std::vector<Variant>& row = *self.parsing_;
  row.resize(std::size_t(self.slot_ - row.data()));
  ++self.complete_;
  self.cellsInRow_ = 0;
  self.BeginRow();
}

void ParsedRows::Restart(std::size_t width) {
  next_ = complete_ = 0;
  malformedRow_ = 0;
  inHeader_ = true;
  width_ = width;
  kept_ = std::numeric_limits<std::size_t>::max();
  cellsInRow_ = 0;
  rowsParsed_ = wrongRow_ = wrongCells_ = 0;
  BeginRow();
}

void ParsedRows::BeginRow() {
  if (complete_ == rows_.size()) {
    std::vector<Variant>& row = rows_.emplace_back();
    if (!inHeader_ && kept_ <= kRefilledWidth) row.reserve(kept_);
  }
  parsing_ = &rows_[complete_];
  slot_ = parsing_->data();
  slotsEnd_ = slot_ + parsing_->size();
}

void ParsedRows::MoreSlots() {
  // Storage handed back holds the values of an older row: they are
  // overwritten cell by cell, and the row grows past them.
  const std::size_t filled = std::size_t(slot_ - parsing_->data());
  parsing_->emplace_back();
  slot_ = parsing_->data() + filled;
  slotsEnd_ = parsing_->data() + parsing_->size();
}

void ParsedRows::Pad(std::vector<Variant>& row, std::size_t width) {
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
  rows_[0].swap(rows_[complete_]);
  // Its cells stay where they are: the storage moved with the swap.
  parsing_ = &rows_[0];
  next_ = complete_ = 0;
}

}  // namespace quillet
