// Reading the structure of a finished PDF file: its last trailer, its
// cross-reference table (following earlier sections through /Prev), the
// dictionary of an object and the page objects in order. Enough to append
// an incremental update to a file this program's PDF writer made; content
// streams are never read.
//
// Every failure raises StreamReadError saying what was not found or not
// understood, with its byte offset where one applies. Cross-reference
// streams (PDF 1.5 compressed files) are refused by name.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet {

struct PdfRef {
  int Number = 0;
  int Generation = 0;
};

// A dictionary's entries in file order: the key without its slash, and the
// value's text as written ("12 0 R", "[1 0 R 2 0 R]", "<< ... >>").
using PdfDictionary = std::vector<std::pair<std::string, std::string>>;

// The value of `key`, or none.
std::optional<std::string> PdfLookup(const PdfDictionary& dictionary, std::string_view key);
// "12 0 R" as a reference; StreamReadError for anything else.
PdfRef PdfParseRef(std::string_view text);
// The references of an array "[1 0 R 2 0 R]"; StreamReadError when it
// holds anything else.
std::vector<PdfRef> PdfParseRefArray(std::string_view text);
// The dictionary starting at `at` ("<<"); `end` receives the offset just
// past its ">>".
PdfDictionary PdfParseDictionary(std::string_view text, std::size_t at, std::size_t* end = nullptr);

class PdfObjects {
 public:
  // Reads the trailer and the cross-reference table of `bytes`, which must
  // outlive this object.
  explicit PdfObjects(std::string_view bytes);

  const PdfDictionary& Trailer() const { return trailer_; }
  // Where the last cross-reference section starts (the file's startxref).
  std::uint64_t XrefOffset() const { return xref_; }
  // The trailer's /Size: one more than the highest object number.
  int Size() const { return size_; }
  // The dictionary of object `ref` (an object that is a dictionary).
  PdfDictionary Dictionary(PdfRef ref) const;
  // The page objects, in the order of the page tree.
  std::vector<PdfRef> Pages() const;

 private:
  // The section at `offset` and those it names through /Prev; the newest
  // entry of an object number wins.
  void ReadSections(std::uint64_t offset);
  void CollectPages(PdfRef node, int depth, std::vector<PdfRef>& out) const;

  std::string_view bytes_;
  PdfDictionary trailer_;
  std::uint64_t xref_ = 0;
  int size_ = 0;
  std::map<int, std::uint64_t> offsets_;  // object number -> offset of "N G obj"
};

}  // namespace quillet
