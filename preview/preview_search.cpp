#include "preview/preview_search.h"

#include "platform/recording_canvas.h"
#include "report/base/engine_state.h"
#include "report/prepared/prepared_pages.h"

namespace quillet {

void SearchState::Start(std::string_view text, bool caseSensitive, const UpperCaser& upper) {
  SearchCaseSensitive = caseSensitive;
  SearchText = caseSensitive ? std::string(text) : upper(text);
}

void SearchState::FollowCurrentPage(int currentPage) {
  if (currentPage != SearchPage + 1) {
    SearchPage = currentPage - 1;
    SearchRecord = 0;
  }
}

bool ExamineRecording(const std::vector<CanvasOp>& ops, SearchState& state,
                      const UpperCaser& upper) {
  // An empty text is not counted as occurring anywhere.
  if (state.SearchText.empty()) return false;
  std::int32_t counter = 0;
  for (const CanvasOp& op : ops) {
    if (op.kind == OpKind::Text && counter >= state.SearchRecord) {
      const std::string text = state.SearchCaseSensitive ? op.text : upper(op.text);
      if (text.find(state.SearchText) != std::string::npos) {
        state.SearchHit = true;
        state.HitBounds = op.bounds;
        state.SearchRecord = counter + 1;
        return true;
      }
    }
    ++counter;
  }
  return false;
}

bool FindNextOnPages(TfrEMFPages& pages, SearchState& state, const UpperCaser& upper) {
  state.SearchHit = false;
  if (state.SearchPage < 0) {
    state.SearchPage = 0;
    state.SearchRecord = 0;
  }
  while (state.SearchPage < pages.Count()) {
    PreparedPage& page = pages[state.SearchPage];
    // Text bounds are measured as the screen lays text out: on the
    // engine's measuring canvas when there is one.
    RecordingCanvas recording(DeviceKind::Metafile, pages.Globals().MeasuringCanvas);
    page.InUse = 1;
    pages.DrawPage(state.SearchPage, recording,
                   {0, 0, page.PageInfo.PaperWidthPx, page.PageInfo.PaperHeightPx});
    if (ExamineRecording(recording.Ops(), state, upper)) return true;
    page.InUse = 0;
    pages.DrawPage(state.SearchPage, recording, {});
    state.SearchRecord = 0;
    ++state.SearchPage;
  }
  return false;
}

}  // namespace quillet
