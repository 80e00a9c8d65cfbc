// Query texts searched for master fields (":Orders.id"): any bytes give a
// query in which each mark found became one "?", and the rest is the input
// as it stands; no sanitizer complains.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "datasources/master_fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view query(reinterpret_cast<const char*>(data), size);
  const quillet::MasterFieldQuery found = quillet::FindMasterFields(query);
  std::size_t marks = 0;
  for (const quillet::MasterField& f : found.fields) {
    if (f.dataset.empty() || f.field.empty()) std::abort();
    marks += 1 + f.dataset.size() + 1 + f.field.size();  // ":" dataset "." field
  }
  // Each mark of n bytes became one "?".
  if (found.text.size() + marks - found.fields.size() != query.size()) std::abort();
  if (found.fields.empty() && found.text != query) std::abort();
  return 0;
}
