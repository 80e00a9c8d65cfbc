// The band being formed, as the objects written into it see it. Page
// formation's run-time band implements it; the preparation state points at
// it while the band is shown, so views never depend on formation itself.
#pragma once

#include <cstdint>

namespace quillet {

class FormingBand {
 public:
  virtual ~FormingBand() = default;
  // Whether the band stands for a band object (default bands do not).
  virtual bool HasBandObject() const = 0;
  // The band's type (a BandType value).
  virtual std::uint8_t FormingKind() const = 0;
  // Where the current showing starts on the prepared page (report pixels).
  virtual int FormingTop() const = 0;
  virtual int FormingWidth() const = 0;
  // The height of the current showing: stretched when the band stretches.
  virtual int FormingHeight() const = 0;
};

}  // namespace quillet
