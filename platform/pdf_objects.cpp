#include "platform/pdf_objects.h"

#include <charconv>
#include <cstring>

#include "platform/errors.h"

namespace quillet {
namespace {

// Nesting of arrays and dictionaries, page tree depth and the number of
// cross-reference sections followed: far beyond any writer's files.
constexpr int kMaxNesting = 64;
constexpr int kMaxPageTreeDepth = 64;
constexpr int kMaxSections = 256;

[[noreturn]] void Fail(const std::string& what, std::size_t at) {
  throw StreamReadError("PDF structure: " + what + " at byte " + std::to_string(at));
}

bool IsWhite(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool IsDelimiter(char c) {
  return std::strchr("()<>[]{}/%", c) != nullptr && c != '\0';
}

std::size_t SkipWhite(std::string_view t, std::size_t i) {
  while (i < t.size()) {
    if (IsWhite(t[i])) {
      ++i;
    } else if (t[i] == '%') {
      while (i < t.size() && t[i] != '\n' && t[i] != '\r') ++i;
    } else {
      break;
    }
  }
  return i;
}

// The end of the regular characters starting at `i` (a number, a keyword).
std::size_t EndOfToken(std::string_view t, std::size_t i) {
  while (i < t.size() && !IsWhite(t[i]) && !IsDelimiter(t[i])) ++i;
  return i;
}

std::size_t EndOfValue(std::string_view t, std::size_t i, int depth);

std::size_t EndOfLiteralString(std::string_view t, std::size_t i) {
  int open = 0;
  for (; i < t.size(); ++i) {
    if (t[i] == '\\') {
      ++i;
    } else if (t[i] == '(') {
      ++open;
    } else if (t[i] == ')' && --open == 0) {
      return i + 1;
    }
  }
  Fail("unended string", i);
}

// Past the dictionary whose "<<" is at `i`.
std::size_t EndOfDictionary(std::string_view t, std::size_t i, int depth) {
  i += 2;
  for (;;) {
    i = SkipWhite(t, i);
    if (i >= t.size()) Fail("unended dictionary", i);
    if (t.compare(i, 2, ">>") == 0) return i + 2;
    i = EndOfValue(t, i, depth + 1);
  }
}

// Past the one token or composite value at `i` ("12 0 R" is three).
std::size_t EndOfValue(std::string_view t, std::size_t i, int depth) {
  if (depth > kMaxNesting) Fail("values nested too deep", i);
  if (i >= t.size()) Fail("missing value", i);
  switch (t[i]) {
    case '(': return EndOfLiteralString(t, i);
    case '<': {
      if (t.compare(i, 2, "<<") == 0) return EndOfDictionary(t, i, depth);
      const std::size_t close = t.find('>', i);
      if (close == std::string_view::npos) Fail("unended hex string", i);
      return close + 1;
    }
    case '[':
      for (++i;;) {
        i = SkipWhite(t, i);
        if (i >= t.size()) Fail("unended array", i);
        if (t[i] == ']') return i + 1;
        i = EndOfValue(t, i, depth + 1);
      }
    case '/': return EndOfToken(t, i + 1);
    default: {
      const std::size_t end = EndOfToken(t, i);
      if (end == i) Fail(std::string("unexpected '") + t[i] + "'", i);
      return end;
    }
  }
}

bool IsUnsigned(std::string_view token) {
  return !token.empty() && token.find_first_not_of("0123456789") == std::string_view::npos;
}

template <typename Int>
Int Number(std::string_view token, std::size_t at) {
  Int value{};
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (ec != std::errc() || end != token.data() + token.size() || value < 0)
    Fail("expected a number, found \"" + std::string(token.substr(0, 20)) + "\"", at);
  return value;
}

// The next token at or after `i`, moving `i` past it.
std::string_view NextToken(std::string_view t, std::size_t& i) {
  i = SkipWhite(t, i);
  const std::size_t start = i;
  i = EndOfToken(t, i);
  return t.substr(start, i - start);
}

}  // namespace

std::optional<std::string> PdfLookup(const PdfDictionary& dictionary, std::string_view key) {
  for (const auto& [k, v] : dictionary)
    if (k == key) return v;
  return std::nullopt;
}

PdfRef PdfParseRef(std::string_view text) {
  std::size_t i = 0;
  const std::string_view number = NextToken(text, i);
  const std::string_view generation = NextToken(text, i);
  const std::string_view r = NextToken(text, i);
  if (!IsUnsigned(number) || !IsUnsigned(generation) || r != "R" ||
      SkipWhite(text, i) != text.size())
    throw StreamReadError("PDF structure: \"" + std::string(text.substr(0, 40)) +
                          "\" is no object reference");
  return {Number<int>(number, 0), Number<int>(generation, 0)};
}

std::vector<PdfRef> PdfParseRefArray(std::string_view text) {
  std::size_t i = SkipWhite(text, 0);
  if (i >= text.size() || text[i] != '[')
    throw StreamReadError("PDF structure: \"" + std::string(text.substr(0, 40)) +
                          "\" is no array of references");
  std::vector<PdfRef> refs;
  for (++i;;) {
    i = SkipWhite(text, i);
    if (i < text.size() && text[i] == ']') return refs;
    std::size_t end = i;
    for (int k = 0; k < 3; ++k) NextToken(text, end);
    refs.push_back(PdfParseRef(text.substr(i, end - i)));
    i = end;
  }
}

PdfDictionary PdfParseDictionary(std::string_view t, std::size_t at, std::size_t* end) {
  std::size_t i = SkipWhite(t, at);
  if (t.compare(i, 2, "<<") != 0) Fail("expected a dictionary", i);
  PdfDictionary entries;
  for (i += 2;;) {
    i = SkipWhite(t, i);
    if (i >= t.size()) Fail("unended dictionary", i);
    if (t.compare(i, 2, ">>") == 0) break;
    if (t[i] != '/') Fail("expected a key", i);
    const std::size_t keyEnd = EndOfToken(t, i + 1);
    std::string key(t.substr(i + 1, keyEnd - i - 1));
    std::size_t valueStart = SkipWhite(t, keyEnd);
    std::size_t valueEnd = EndOfValue(t, valueStart, 1);
    // "12 0 R": two more tokens belong to the value.
    if (IsUnsigned(t.substr(valueStart, valueEnd - valueStart))) {
      std::size_t j = valueEnd;
      const std::string_view generation = NextToken(t, j);
      const std::string_view r = NextToken(t, j);
      if (IsUnsigned(generation) && r == "R") valueEnd = j;
    }
    entries.emplace_back(std::move(key), std::string(t.substr(valueStart, valueEnd - valueStart)));
    i = valueEnd;
  }
  if (end) *end = i + 2;
  return entries;
}

PdfObjects::PdfObjects(std::string_view bytes) : bytes_(bytes) {
  const std::size_t tail = bytes.size() > 1024 ? bytes.size() - 1024 : 0;
  const std::size_t at = bytes.rfind("startxref");
  if (at == std::string_view::npos || at < tail) Fail("no startxref near the end", bytes.size());
  std::size_t i = at + 9;
  const std::string_view offset = NextToken(bytes, i);
  xref_ = Number<std::uint64_t>(offset, at);
  ReadSections(xref_);
  const auto size = PdfLookup(trailer_, "Size");
  if (!size) Fail("trailer without /Size", xref_);
  size_ = Number<int>(*size, xref_);
  if (!PdfLookup(trailer_, "Root")) Fail("trailer without /Root", xref_);
}

void PdfObjects::ReadSections(std::uint64_t offset) {
  std::uint64_t prev = offset;
  std::uint64_t at = offset;
  for (int n = 0; n < kMaxSections; ++n) {
    if (at >= bytes_.size()) Fail("cross-reference offset past the end", at);
    std::size_t i = at;
    if (NextToken(bytes_, i) != "xref")
      Fail("no cross-reference table (a cross-reference stream is not read)", at);
    for (;;) {
      const std::size_t lineStart = SkipWhite(bytes_, i);
      std::size_t j = lineStart;
      const std::string_view first = NextToken(bytes_, j);
      if (first == "trailer") {
        i = j;
        break;
      }
      const auto start = Number<std::uint64_t>(first, lineStart);
      const auto count = Number<std::uint64_t>(NextToken(bytes_, j), lineStart);
      if (start + count > std::uint64_t(1) << 23)
        Fail("cross-reference section too large", lineStart);
      i = SkipWhite(bytes_, j);
      if (count * 20 > bytes_.size() - i) Fail("cross-reference section past the end", i);
      for (std::uint64_t k = 0; k < count; ++k, i += 20) {
        const std::string_view entry = bytes_.substr(i, 20);
        const auto objectOffset = Number<std::uint64_t>(entry.substr(0, 10), i);
        const int number = static_cast<int>(start + k);
        // The newest section was read first: it wins.
        if (entry[17] == 'n' && !offsets_.count(number)) offsets_[number] = objectOffset;
        if (entry[17] != 'n' && entry[17] != 'f') Fail("malformed cross-reference entry", i);
        if (entry[17] == 'f') offsets_.emplace(number, 0);
      }
    }
    const PdfDictionary trailer = PdfParseDictionary(bytes_, i);
    if (n == 0) trailer_ = trailer;
    const auto before = PdfLookup(trailer, "Prev");
    if (!before) return;
    prev = at;
    at = Number<std::uint64_t>(*before, i);
    if (at == prev) Fail("cross-reference section names itself as /Prev", at);
  }
  Fail("too many cross-reference sections", at);
}

PdfDictionary PdfObjects::Dictionary(PdfRef ref) const {
  const auto found = offsets_.find(ref.Number);
  if (found == offsets_.end() || found->second == 0)
    throw StreamReadError("PDF structure: object " + std::to_string(ref.Number) +
                          " is not in the cross-reference table");
  const std::uint64_t at = found->second;
  if (at >= bytes_.size()) Fail("object " + std::to_string(ref.Number) + " past the end", at);
  std::size_t i = at;
  const std::string_view number = NextToken(bytes_, i);
  const std::string_view generation = NextToken(bytes_, i);
  const std::string_view obj = NextToken(bytes_, i);
  if (number != std::to_string(ref.Number) || !IsUnsigned(generation) || obj != "obj")
    Fail("object " + std::to_string(ref.Number) + " is not where the table says", at);
  return PdfParseDictionary(bytes_, i);
}

std::vector<PdfRef> PdfObjects::Pages() const {
  const PdfDictionary catalog = Dictionary(PdfParseRef(*PdfLookup(trailer_, "Root")));
  const auto root = PdfLookup(catalog, "Pages");
  if (!root) throw StreamReadError("PDF structure: the catalog names no page tree");
  std::vector<PdfRef> pages;
  CollectPages(PdfParseRef(*root), 0, pages);
  return pages;
}

void PdfObjects::CollectPages(PdfRef node, int depth, std::vector<PdfRef>& out) const {
  if (depth > kMaxPageTreeDepth)
    throw StreamReadError("PDF structure: the page tree is nested too deep");
  const PdfDictionary d = Dictionary(node);
  const auto type = PdfLookup(d, "Type");
  if (type == "/Page") {
    out.push_back(node);
    return;
  }
  const auto kids = PdfLookup(d, "Kids");
  if (type != "/Pages" || !kids)
    throw StreamReadError("PDF structure: object " + std::to_string(node.Number) +
                          " in the page tree is neither a page nor a page node");
  const std::vector<PdfRef> refs = PdfParseRefArray(*kids);
  // A node counting as many pages as it has kids is the flat tree this
  // program's PDF writer makes: its kids are the pages, and are not read
  // one by one - that would touch every part of a file of any length.
  if (PdfLookup(d, "Count") == std::to_string(refs.size())) {
    out.insert(out.end(), refs.begin(), refs.end());
    return;
  }
  for (PdfRef kid : refs) CollectPages(kid, depth + 1, out);
}

}  // namespace quillet
