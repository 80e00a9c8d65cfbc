// A prepared page turned back into live objects, for drawing and hit
// testing. It stands where the report's template page class will once
// pages are formed: a paper, margins and the objects in record order.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "report/printer/page_paper.h"
#include "report/views/view_page.h"

namespace quillet {

class TfrView;

// The largest distance from the page origin, in report pixels, that an
// object's position, size or gap may have on a rebuilt page (4.6 km at the
// report resolution); the page's printing limits are kept inside it too.
constexpr std::int32_t kMaxPageCoordinate = 1 << 24;

class RebuiltPage : public ViewPage {
 public:
  // Sets the engine printer to `paper` (with the custom-size retry of any
  // page) and keeps what the printer gave, with the margins of `paper`.
  // The page belongs to `engine`, whose printer takes the paper.
  RebuiltPage(EngineGlobals& engine, const PagePaper& paper);
  ~RebuiltPage() override;

  std::size_t ObjectCount() const override { return Objects.size(); }
  TfrView* ObjectAt(std::size_t index) const override { return Objects.at(index).get(); }
  // Report pixels: the margin, or the printable area's edge where the
  // margin is 0; the whole paper when margins do not apply. Within
  // +-kMaxPageCoordinate.
  int LeftLimit() const override;
  int RightLimit() const override;
  EngineGlobals& Globals() const override { return engine_; }

  PagePaper Paper;
  std::vector<std::unique_ptr<TfrView>> Objects;  // owned, in record order

 private:
  EngineGlobals& engine_;
};

}  // namespace quillet
