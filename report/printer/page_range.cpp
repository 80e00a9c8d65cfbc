#include "report/printer/page_range.h"

#include <string>

#include "report/base/text_format.h"

namespace quillet {

bool PageSelection::Wants(std::int64_t number) const {
  if (ranges_.empty()) return true;
  for (const Range& r : ranges_)
    if (number >= r.from && number <= r.to) return true;
  return false;
}

void PageSelection::Add(std::int32_t from, std::int32_t to) {
  if (from <= to) ranges_.push_back({from, to});
}

PageSelection ParsePageRange(std::string_view text, int pageCount) {
  std::string s;
  for (char c : text)
    if (c != ' ') s.push_back(c);
  PageSelection selection;
  if (s.empty()) return selection;
  if (s.back() == '-') s += std::to_string(pageCount);
  s += ',';
  std::size_t start = 0;
  std::int32_t from = 1;
  bool inRange = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '-') {
      inRange = true;
      from = StrToInt(std::string_view(s).substr(start, i - start));
      start = i + 1;
    } else if (s[i] == ',') {
      const std::int32_t value = StrToInt(std::string_view(s).substr(start, i - start));
      if (inRange)
        selection.Add(from, value);
      else
        selection.Add(value, value);
      inRange = false;
      start = i + 1;
    }
  }
  return selection;
}

}  // namespace quillet
