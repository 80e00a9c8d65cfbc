// The edges of a template page as formation computes them (report pixels):
// the margins, or the printer's printable area where a margin is 0, and the
// bottom edge raised by the page footer while rendering. Page formation
// implements it; the page points at its formation while it is formed, so
// pages never depend on formation itself.
#pragma once

namespace quillet {

class FormingPage {
 public:
  virtual ~FormingPage() = default;
  virtual int TopEdge() const = 0;
  virtual int LeftEdge() const = 0;
  virtual int RightEdge() const = 0;
  virtual int BottomEdge() const = 0;
};

}  // namespace quillet
