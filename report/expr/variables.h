// TfrVariables: an ordered list of named values (user variables, named
// constants, aliases). Names are matched without regard to letter case;
// setting a name that exists replaces its value. In sorted mode the list
// keeps names in case-blind order and finds them by binary search.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/base/variant.h"

namespace quillet {

class TfrVariables {
 public:
  void Clear() { items_.clear(); }
  void SetValue(std::string_view name, const Variant& value);
  // Null when the name is absent.
  Variant GetValue(std::string_view name) const;
  // Index of the name, or -1.
  int IndexOfName(std::string_view name) const;
  int Count() const { return static_cast<int>(items_.size()); }
  // Out-of-range indexes give "" and the integer 0; the setters and Delete
  // ignore them.
  std::string NameAt(int i) const;
  void SetNameAt(int i, std::string_view name);
  Variant ValueAt(int i) const;
  void SetValueAt(int i, const Variant& value);
  void Delete(int i);
  // Switching sorting on sorts the list and drops later duplicates.
  void SetSorted(bool sorted);
  bool Sorted() const { return sorted_; }

 private:
  struct Item {
    std::string name;
    Variant value;
  };
  // Sorted mode: the first position whose name is not below `name`.
  std::size_t LowerBound(std::string_view name) const;
  bool InRange(int i) const { return i >= 0 && i < Count(); }
  std::vector<Item> items_;
  bool sorted_ = false;
};

// Case-blind three-way comparison of ASCII letters.
int CompareIgnoreCase(std::string_view a, std::string_view b);

}  // namespace quillet
