#include "session/sort_options.h"

#include <algorithm>
#include <cctype>

#include "platform/errors.h"

namespace quillet::cli {
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

SortOptions::SortOptions(const Options& options) {
  for (const std::string& text : options.Values("sort")) {
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == text.size())
      throw UsageError("--sort wants NAME=COLUMN[,COLUMN DESC...], not '" + text + "'");
    Sort sort;
    sort.name = text.substr(0, eq);
    for (const Sort& other : sorts_)
      if (SameName(other.name, sort.name))
        throw UsageError("--sort names the data set '" + sort.name +
                         "' twice; give all its columns in one --sort");
    try {
      sort.keys = ParseSortKeys(text.substr(eq + 1));
    } catch (const EngineError& e) {
      throw UsageError("--sort " + sort.name + ": " + e.what());
    }
    sorts_.push_back(std::move(sort));
  }
}

std::unique_ptr<RowSource> SortOptions::Apply(const std::string& name, const std::string& path,
                                              std::unique_ptr<RowSource> source) {
  for (Sort& sort : sorts_) {
    if (!SameName(sort.name, name)) continue;
    sort.applied = true;
    return std::make_unique<SortedSource>(std::move(source), sort.keys,
                                          "the data set " + name + " (" + path + ")");
  }
  return source;
}

void SortOptions::CheckAllApplied() const {
  for (const Sort& sort : sorts_)
    if (!sort.applied)
      throw UsageError("--sort names the data set '" + sort.name +
                       "', which no --csv option gives (a query sorts itself with ORDER BY)");
}

}  // namespace quillet::cli
