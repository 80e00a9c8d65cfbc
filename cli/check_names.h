// The nearest of some names to one that matches none of them, so that a
// finding can suggest what a misspelt name was meant to be.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet::cli {

// The name of `names` closest to `wanted` (letter case ignored) by edits of
// one character; empty when even the closest needs more than a third of
// the longer name's characters changed (at least 2 are always allowed).
std::string NearestName(std::string_view wanted, const std::vector<std::string>& names);

// "; did you mean \"NAME\"?" with the nearest name, or empty.
std::string Suggestion(std::string_view wanted, const std::vector<std::string>& names);

}  // namespace quillet::cli
