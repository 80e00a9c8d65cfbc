#include "datasources/sorted_source.h"

#include <algorithm>
#include <numeric>

#include "platform/errors.h"
#include "report/base/locale_case.h"

namespace quillet {
namespace {

std::string_view Trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

// The place of a value's kind in a column: empty, numbers, dates, texts.
int Rank(const Variant& v) {
  switch (v.GetType()) {
    case Variant::Type::Empty:
    case Variant::Type::Null: return 0;
    case Variant::Type::Boolean:
    case Variant::Type::Integer:
    case Variant::Type::Float: return 1;
    case Variant::Type::Date: return 2;
    case Variant::Type::Text: return v.IfText()->empty() ? 0 : 3;
  }
  return 3;
}

int Sign(auto x, auto y) {
  return x < y ? -1 : (y < x ? 1 : 0);
}

}  // namespace

std::vector<SortKey> ParseSortKeys(std::string_view text) {
  std::vector<SortKey> keys;
  std::size_t from = 0;
  while (true) {
    const auto comma = text.find(',', from);
    std::string_view part = Trimmed(
        text.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from));
    SortKey key;
    if (const auto space = part.find_last_of(" \t"); space != std::string_view::npos) {
      const std::string_view word = part.substr(space + 1);
      if (SameLetters(word, "desc") || SameLetters(word, "asc")) {
        key.descending = SameLetters(word, "desc");
        part = Trimmed(part.substr(0, space));
      }
    } else if (SameLetters(part, "desc") || SameLetters(part, "asc")) {
      part = {};
    }
    if (part.empty())
      throw EngineError("the sort order '" + std::string(text) +
                        "' has an empty column name; give columns such as \"Category,Name DESC\"");
    key.column = std::string(part);
    keys.push_back(std::move(key));
    if (comma == std::string_view::npos) break;
    from = comma + 1;
  }
  return keys;
}

int CompareSortValues(const Variant& a, const Variant& b) {
  const int ra = Rank(a), rb = Rank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  switch (ra) {
    case 0: return 0;
    case 1:
      if (a.GetType() == Variant::Type::Integer && b.GetType() == Variant::Type::Integer)
        return Sign(a.AsInteger(), b.AsInteger());
      return Sign(a.AsFloat(), b.AsFloat());
    case 2: return Sign(a.AsFloat(), b.AsFloat());
    default: {
      const std::string& x = *a.IfText();
      const std::string& y = *b.IfText();
      if (const int c = LocaleUpperCase(x).compare(LocaleUpperCase(y))) return c < 0 ? -1 : 1;
      return Sign(x, y);
    }
  }
}

SortedSource::SortedSource(std::unique_ptr<RowSource> source, std::vector<SortKey> keys,
                           const std::string& what)
    : source_(std::move(source)) {
  const std::vector<std::string>& columns = source_->Columns();
  for (const SortKey& key : keys) {
    const auto it = std::find_if(columns.begin(), columns.end(),
                                 [&](const std::string& c) { return SameLetters(c, key.column); });
    if (it == columns.end()) {
      std::string known;
      for (const std::string& c : columns) known += (known.empty() ? "" : ", ") + c;
      throw EngineError("cannot sort " + what + " by '" + key.column +
                        "': it has no such column (its columns: " + known + ")");
    }
    keys_.push_back({std::size_t(it - columns.begin()), key.descending});
  }
}

void SortedSource::Load() {
  source_->Rewind();
  std::vector<Variant> row;
  while (source_->Read(row)) rows_.push_back(std::move(row));

  // Each row's texts folded to one letter case once, not at every comparison.
  const std::size_t n = rows_.size();
  std::vector<std::string> folded(n * keys_.size());
  for (std::size_t r = 0; r < n; ++r)
    for (std::size_t k = 0; k < keys_.size(); ++k)
      if (const std::string* t = rows_[r][keys_[k].column].IfText())
        folded[r * keys_.size() + k] = LocaleUpperCase(*t);

  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t(0));
  std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
    for (std::size_t k = 0; k < keys_.size(); ++k) {
      const Variant& a = rows_[i][keys_[k].column];
      const Variant& b = rows_[j][keys_[k].column];
      int c;
      if (Rank(a) == 3 && Rank(b) == 3) {
        c = folded[i * keys_.size() + k].compare(folded[j * keys_.size() + k]);
        if (c == 0) c = a.IfText()->compare(*b.IfText());
      } else {
        c = CompareSortValues(a, b);
      }
      if (c != 0) return keys_[k].descending ? c > 0 : c < 0;
    }
    return false;
  });
  std::vector<std::vector<Variant>> sorted;
  sorted.reserve(n);
  for (std::size_t i : order) sorted.push_back(std::move(rows_[i]));
  rows_ = std::move(sorted);
  loaded_ = true;
}

void SortedSource::Rewind() {
  if (!loaded_) Load();
  next_ = 0;
}

bool SortedSource::Read(std::vector<Variant>& row) {
  if (!loaded_) Load();
  if (next_ >= rows_.size()) return false;
  row = rows_[next_++];
  return true;
}

}  // namespace quillet
