// ParsedRows: the rows a CSV parser has handed over and nobody has taken
// yet, filled by the parser's callbacks. Each cell is typed as it arrives
// (field_types.h; texts are checked to be UTF-8) straight into
// the row that will be handed out: taking a row swaps vectors and copies no
// value. The first row is the header: its cells stay texts as they stand,
// and every row after it keeps as many cells as the header has.
//
// Narrow rows' storage comes back as rows are taken and is refilled, so a
// file read to its end allocates nothing per row.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "report/base/variant.h"

namespace quillet {

class ParsedRows {
 public:
  // The parser's callbacks, `rows` being the ParsedRows: one cell (its bytes
  // valid during the call only), one row end.
  static void OnCell(void* bytes, std::size_t size, void* rows);
  static void OnRowEnd(int terminator, void* rows);

  // Forgets every row and starts again before the header. `width` is the
  // cells a row keeps; 0 takes the header's count.
  void Restart(std::size_t width);
  // The columns whose cells stay texts, untyped (by position; the rest are
  // typed). Kept across Restart.
  void KeepAsText(std::vector<bool> columns) { text_ = std::move(columns); }

  // The first row parsed (the header being row 1) whose cell count differs
  // from the header's, and its count; 0 while every row matched.
  std::size_t WrongWidthRow() const { return wrongRow_; }
  std::size_t WrongWidthCells() const { return wrongCells_; }

  // Complete rows not yet taken.
  std::size_t Waiting() const { return complete_ - next_; }
  // Takes the next complete row, handing `row`'s old storage back: `width`
  // values, the cells the row lacks as empty texts. Inline: it runs for
  // every row.
  void Take(std::vector<Variant>& row, std::size_t width) {
    std::vector<Variant>& parsed = rows_[next_++];
    const bool full = parsed.size() == width;
    row.swap(parsed);  // `parsed` holds the old storage now
    if (width > kRefilledWidth) std::vector<Variant>().swap(parsed);
    if (!full) Pad(row, width);
  }
  // Takes the next complete row as texts (the header's).
  std::vector<std::string> TakeTexts();
  // Forgets the rows taken, keeping the row being parsed.
  void DropTaken();
  // The first row, counted from the next one to be taken (1), holding a
  // cell that is not well-formed UTF-8; 0 when none.
  std::size_t MalformedRow() const { return malformedRow_; }

 private:
  // Rows up to this wide are refilled when they come back; wider ones are
  // freed, so that a file of many short rows under a wide header holds no
  // more than its rows' own cells while a block of them waits.
  static constexpr std::size_t kRefilledWidth = 64;

  // Fills a row short of cells up to `width` with empty texts.
  static void Pad(std::vector<Variant>& row, std::size_t width);
  // Starts the next row to be parsed in rows_[complete_].
  void BeginRow();
  // Another slot at the end of the row being parsed.
  void MoreSlots();

  // rows_[0, next_) were taken (their storage handed back), rows_[next_,
  // complete_) wait, rows_[complete_] is being parsed.
  std::vector<std::vector<Variant>> rows_;
  std::size_t next_ = 0, complete_ = 0;
  bool inHeader_ = true;
  std::size_t width_ = 0;       // as Restart was given it
  std::size_t kept_ = 0;        // cells a row keeps: all in the header
  std::size_t cellsInRow_ = 0;  // of the row being parsed, kept or not
  std::size_t malformedRow_ = 0;
  std::size_t rowsParsed_ = 0;  // since Restart, the header included
  std::size_t wrongRow_ = 0, wrongCells_ = 0;
  std::vector<bool> text_;
  // The row being parsed, the slot for its next cell and the end of the
  // slots it has.
  std::vector<Variant>* parsing_ = nullptr;
  Variant* slot_ = nullptr;
  Variant* slotsEnd_ = nullptr;
};

}  // namespace quillet
