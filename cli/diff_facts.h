// What `diff` compares of prepared pages: per page its paper and, per
// object in record order, the properties a reader sees on paper (text,
// geometry, font, colours, picture bytes). Facts are copied out of the
// rebuilt objects, so a page's objects are released right after reading.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/geometry.h"

namespace quillet {
class TfrEMFPages;
class TfrView;
}  // namespace quillet

namespace quillet::cli {

struct FontFacts {
  std::string name;
  int size = 0;   // points
  int style = 0;  // fsItalic | fsBold | fsUnderline | fsStrikeOut
  Color color = clBlack;
  friend bool operator==(const FontFacts&, const FontFacts&) = default;
};

struct ObjectFacts {
  std::string kind;    // "memo", "picture", "shape", "line", ... (the class name, short)
  std::string name;    // may be empty
  int occurrence = 1;  // 1 for the first object of this name on its page, 2 for the next, ...
  int left = 0, top = 0, width = 0, height = 0;  // report pixels from the paper's corner
  std::string text;                              // the lines joined by "\n"
  std::optional<FontFacts> font;                 // memos only
  Color frameColor = clBlack;
  Color fillColor = clNone;
  bool hasPicture = false;  // pictures only
  std::vector<std::uint8_t> pictureBytes;
};

struct PageFacts {
  int widthPx = 0, heightPx = 0;     // the paper in report pixels
  std::vector<ObjectFacts> objects;  // record order
};

// Reads every page of `pages` (each rebuilt, read and released again).
// Raises what rebuilding raises for a damaged page (StreamReadError,
// ClassNotFoundError).
std::vector<PageFacts> ReadPageFacts(TfrEMFPages& pages);

// The facts of one live object; `occurrence` is left at 1.
ObjectFacts FactsOf(const TfrView& view);

// "memo" for TfrMemoView, "subreport" for TfrSubReportView.
std::string ShortKind(const std::string& className);

// "#RRGGBB", "none", or "system:N".
std::string ColorText(Color color);

}  // namespace quillet::cli
