#include "cli/check_names.h"

#include <algorithm>
#include <cctype>

namespace quillet::cli {
namespace {

char Folded(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Levenshtein distance, letter case ignored.
std::size_t Distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t change = diagonal + (Folded(a[i - 1]) == Folded(b[j - 1]) ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, change});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::string NearestName(std::string_view wanted, const std::vector<std::string>& names) {
  std::string best;
  std::size_t bestDistance = 0;
  for (const std::string& name : names) {
    const std::size_t d = Distance(wanted, name);
    const std::size_t allowed = std::max<std::size_t>(2, std::max(wanted.size(), name.size()) / 3);
    if (d > allowed || (!best.empty() && d >= bestDistance)) continue;
    best = name;
    bestDistance = d;
  }
  return best;
}

std::string Suggestion(std::string_view wanted, const std::vector<std::string>& names) {
  const std::string nearest = NearestName(wanted, names);
  return nearest.empty() ? std::string() : "; did you mean \"" + nearest + "\"?";
}

}  // namespace quillet::cli
