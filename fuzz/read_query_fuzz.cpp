// Query texts judged for being one reading statement: any bytes give an
// answer without a sanitizer complaint, and a text judged a read still is
// one with spaces around it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "datasources/read_query.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view query(reinterpret_cast<const char*>(data), size);
  const std::string why = quillet::WhyNotAReadQuery(query);
  if (why.empty() && !quillet::WhyNotAReadQuery(" " + std::string(query) + "\n").empty()) {
    // A trailing line comment or an unclosed quote swallows the line break:
    // only then may the answer differ.
    if (query.find("--") == std::string_view::npos &&
        query.find_first_of("'\"`[$/") == std::string_view::npos)
      std::abort();
  }
  return 0;
}
