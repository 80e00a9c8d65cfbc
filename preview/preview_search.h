// Find text over prepared pages, free of widgets. Each page is drawn at
// 100 % into a recording canvas (the engine's metafile) and the recorded
// text-output operations are searched in drawing order, one operation at
// a time: a search text matches only within the text of one operation.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace quillet {

class TfrEMFPages;
struct CanvasOp;

// Upper-cases a text of engine bytes for a search without case.
using UpperCaser = std::function<std::string(std::string_view)>;

struct SearchState {
  std::string SearchText;  // upper-cased when the search is not case-sensitive
  bool SearchCaseSensitive = false;
  bool SearchHit = false;
  Rect HitBounds;                 // report pixels of the hit's page
  std::int32_t SearchPage = 0;    // 0-based page where the next step starts
  std::int32_t SearchRecord = 0;  // recording position from which matches count

  // Sets the text and case option of a new search (upper-casing the text
  // when the search is not case-sensitive).
  void Start(std::string_view text, bool caseSensitive, const UpperCaser& upper);
  // Before a continued step: a search moved away from the current page
  // (1-based) starts again at that page's top.
  void FollowCurrentPage(int currentPage);
};

// Examines one page's recorded operations. Every operation counts one
// position; a text-output operation whose text holds SearchText and whose
// position is at least SearchRecord is the hit: SearchHit, HitBounds and
// SearchRecord (just after the hit) are set and true is returned.
bool ExamineRecording(const std::vector<CanvasOp>& ops, SearchState& state,
                      const UpperCaser& upper);

// One search step from (SearchPage, SearchRecord) over `pages`. Each page
// is drawn into a recording at 100 % with InUse set; a page without a hit
// is released again (InUse 0) and the step moves on. On a hit SearchPage is
// the hit's page and that page stays in use; with none SearchPage ends at
// the page count.
bool FindNextOnPages(TfrEMFPages& pages, SearchState& state, const UpperCaser& upper);

}  // namespace quillet
