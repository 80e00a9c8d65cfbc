// The pages a print job selects from a page-range text such as "1,3,5-12".
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quillet {

class PageSelection {
 public:
  // True when page `number` (1-based) is selected; a selection with no
  // entries selects every page.
  bool Wants(std::int64_t number) const;
  bool SelectsAll() const { return ranges_.empty(); }

  // Adds from .. to (nothing when from > to); a single number is from == to.
  void Add(std::int32_t from, std::int32_t to);

 private:
  struct Range {
    std::int32_t from, to;
  };
  // Kept as ranges, so "1-2000000000" costs one entry, not two billion.
  std::vector<Range> ranges_;
};

// Reads a range text: spaces are removed; empty text selects all pages; a
// trailing "-" runs to `pageCount`; items are separated by "," and a "-"
// makes a range (a second "-" restarts it: "1-3-5" is 3 .. 5). An item that
// is not a whole number raises ConversionError with the item's text.
PageSelection ParsePageRange(std::string_view text, int pageCount);

}  // namespace quillet
