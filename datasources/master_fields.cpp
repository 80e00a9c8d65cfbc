#include "datasources/master_fields.h"

namespace quillet {
namespace {

bool NameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool NameChar(char c) {
  return NameStart(c) || (c >= '0' && c <= '9');
}

// The end of the name starting at `at`, or `at` when none starts there.
std::size_t NameEnd(std::string_view s, std::size_t at) {
  if (at >= s.size() || !NameStart(s[at])) return at;
  while (at < s.size() && NameChar(s[at])) ++at;
  return at;
}

// The end of the quoted text or comment starting at `at`, or `at` when none
// starts there. A doubled quote inside a quoted text ends it and starts it again.
std::size_t SkipQuotedOrComment(std::string_view s, std::size_t at) {
  const char c = s[at];
  if (c == '\'' || c == '"') {
    const std::size_t close = s.find(c, at + 1);
    return close == std::string_view::npos ? s.size() : close + 1;
  }
  if (s.substr(at, 2) == "--") {
    const std::size_t end = s.find('\n', at);
    return end == std::string_view::npos ? s.size() : end;
  }
  if (s.substr(at, 2) == "/*") {
    const std::size_t end = s.find("*/", at + 2);
    return end == std::string_view::npos ? s.size() : end + 2;
  }
  return at;
}

}  // namespace

MasterFieldQuery FindMasterFields(std::string_view query) {
  MasterFieldQuery out;
  std::size_t i = 0;
  while (i < query.size()) {
    if (const std::size_t skip = SkipQuotedOrComment(query, i); skip != i) {
      out.text.append(query.substr(i, skip - i));
      i = skip;
      continue;
    }
    const bool mark = query[i] == ':' && (i == 0 || query[i - 1] != ':');
    const std::size_t datasetEnd = mark ? NameEnd(query, i + 1) : i;
    if (datasetEnd > i + 1 && datasetEnd < query.size() && query[datasetEnd] == '.') {
      const std::size_t fieldEnd = NameEnd(query, datasetEnd + 1);
      if (fieldEnd > datasetEnd + 1) {
        out.fields.push_back(
            {std::string(query.substr(i + 1, datasetEnd - i - 1)),
             std::string(query.substr(datasetEnd + 1, fieldEnd - datasetEnd - 1))});
        out.text += '?';
        i = fieldEnd;
        continue;
      }
    }
    out.text += query[i++];
  }
  return out;
}

}  // namespace quillet
