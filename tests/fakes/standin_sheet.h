// The sheet's twenty-one objects made in code, for tests of the layout and
// the main window that need no report component: seven shapes and fourteen
// one-line captions. Preparing, previewing and printing do nothing here and
// say so through the engine host.
#pragma once

#include <memory>
#include <vector>

#include "report/base/engine_state.h"
#include "report/views/view.h"
#include "sheet/sheet_layout.h"

namespace quillet {

class StandInSheet : public SheetReport {
 public:
  StandInSheet();

  TfrView* FindView(std::string_view name) override;
  void PrepareAndPreview() override;
  void Prepare() override;
  void PrintPrepared(const std::string& pageRange, int copies, bool collate,
                     int selection) override;
  EngineGlobals& Globals() override { return Engine(); }

  // Draws every visible object at `scale`, the page's top-left at (dx, dy).
  void DrawPage(Canvas& canvas, double scale, int dx, int dy);

  const std::vector<std::unique_ptr<TfrView>>& Objects() const { return objects_; }

 private:
  std::vector<std::unique_ptr<TfrView>> objects_;
};

}  // namespace quillet
