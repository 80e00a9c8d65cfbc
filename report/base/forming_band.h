// The band being formed, as the objects written into it see it. Page
// formation's run-time band implements it; the preparation state points at
// it while the band is shown, and a band object points at its own while its
// page is formed, so views never depend on formation itself.
#pragma once

#include <cstdint>
#include <string>

namespace quillet {

class TfrDataset;

class FormingBand {
 public:
  virtual ~FormingBand() = default;
  // Whether the band stands for a band object (default bands do not).
  virtual bool HasBandObject() const = 0;
  // The band object's name, for messages; empty for a default band.
  virtual std::string FormingName() const { return {}; }
  // The band's type (a BandType value).
  virtual std::uint8_t FormingKind() const = 0;
  // Where the current showing starts on the prepared page (report pixels).
  virtual int FormingTop() const = 0;
  virtual int FormingWidth() const = 0;
  // The height of the current showing: stretched when the band stretches.
  virtual int FormingHeight() const = 0;

  // What a band object's named properties reach while its page is formed.
  // The band's own position and size (report pixels), as scripts move it;
  // the height is the designed one, not the stretched one.
  enum class Edge { Left, Top, Width, Height };
  virtual int Geometry(Edge edge) const = 0;
  virtual void SetGeometry(Edge edge, int value) = 0;
  virtual bool IsShown() const = 0;
  virtual void SetShown(bool shown) = 0;
  // Whether the band may be split across pages.
  virtual bool IsSplit() const = 0;
  virtual void SetSplit(bool split) = 0;
  // A group header's condition (an expression text).
  virtual void SetCondition(const std::string& expression) = 0;
  // Makes `child` the band shown right after this one (none unlinks).
  // Raises EngineError when that would show a band after itself again.
  virtual void LinkChild(FormingBand* child) = 0;
  // Replaces the band's data set by the one a data source text names.
  virtual void UseDataSource(const std::string& source) = 0;
  // The band's data set, or none.
  virtual TfrDataset* BandDataset() const = 0;
};

}  // namespace quillet
