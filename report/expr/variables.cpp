#include "report/expr/variables.h"

#include <algorithm>

#include "report/base/text_format.h"

namespace quillet {

int CompareIgnoreCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::size_t TfrVariables::LowerBound(std::string_view name) const {
  auto it = std::lower_bound(
      items_.begin(), items_.end(), name,
      [](const Item& item, std::string_view key) { return CompareIgnoreCase(item.name, key) < 0; });
  return static_cast<std::size_t>(it - items_.begin());
}

int TfrVariables::IndexOfName(std::string_view name) const {
  if (sorted_) {
    const std::size_t at = LowerBound(name);
    if (at < items_.size() && CompareIgnoreCase(items_[at].name, name) == 0)
      return static_cast<int>(at);
    return -1;
  }
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (EqualsIgnoreCase(items_[i].name, name)) return static_cast<int>(i);
  return -1;
}

void TfrVariables::SetValue(std::string_view name, const Variant& value) {
  if (const int i = IndexOfName(name); i >= 0) {
    items_[static_cast<std::size_t>(i)].value = value;
    return;
  }
  Item item{std::string(name), value};
  if (sorted_)
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(LowerBound(name)), std::move(item));
  else
    items_.push_back(std::move(item));
}

Variant TfrVariables::GetValue(std::string_view name) const {
  const int i = IndexOfName(name);
  return i >= 0 ? items_[static_cast<std::size_t>(i)].value : Variant::Null();
}

std::string TfrVariables::NameAt(int i) const {
  return InRange(i) ? items_[static_cast<std::size_t>(i)].name : std::string();
}

void TfrVariables::SetNameAt(int i, std::string_view name) {
  if (!InRange(i)) return;
  if (!sorted_) {
    items_[static_cast<std::size_t>(i)].name = std::string(name);
    return;
  }
  // A renamed entry moves to its sorted place (replacing a namesake).
  Variant value = std::move(items_[static_cast<std::size_t>(i)].value);
  Delete(i);
  SetValue(name, value);
}

Variant TfrVariables::ValueAt(int i) const {
  return InRange(i) ? items_[static_cast<std::size_t>(i)].value : Variant(0);
}

void TfrVariables::SetValueAt(int i, const Variant& value) {
  if (InRange(i)) items_[static_cast<std::size_t>(i)].value = value;
}

void TfrVariables::Delete(int i) {
  if (InRange(i)) items_.erase(items_.begin() + i);
}

void TfrVariables::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  sorted_ = sorted;
  if (!sorted_) return;
  std::stable_sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) {
    return CompareIgnoreCase(a.name, b.name) < 0;
  });
  items_.erase(std::unique(items_.begin(), items_.end(),
                           [](const Item& a, const Item& b) {
                             return CompareIgnoreCase(a.name, b.name) == 0;
                           }),
               items_.end());
}

}  // namespace quillet
