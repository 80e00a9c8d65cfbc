// TfrLineView: a horizontal or vertical line, drawn as one frame side of the
// view's rectangle with FrameColor, FrameWidth and FrameStyle.
#pragma once

#include "report/views/view_bases.h"

namespace quillet {

class TfrLineView : public TfrStretcheable {
 public:
  TfrLineView();

  std::unique_ptr<TfrView> Create() const override;
  std::string ClassName() const override { return "TfrLineView"; }

  // The base table plus "Stretched".
  void RegisterProperties() override;

  // A line along the top edge when Height < Width (Height becomes 0 and
  // FrameTyp frTop), otherwise along the left edge (Width 0, FrameTyp
  // frLeft). The collapsed dimension stays 0 afterwards. No background.
  void Draw(Canvas& canvas) override;
  // The line's rectangle widened by the frame's reach across the line;
  // `inflate` adds 10 on every side.
  Rect FrameRegion(bool inflate) const override;

  int CalcHeight() override { return Height; }
  int LeastPieceHeight() override { return 1; }
  int LeftoverHeight() override { return 0; }
};

}  // namespace quillet
