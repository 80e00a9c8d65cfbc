// What a view needs of the page that holds it: its objects, in list order,
// the horizontal printing limits that band alignment uses, and the engine
// the page belongs to.
#pragma once

#include <cstddef>

namespace quillet {

class TfrView;
struct EngineGlobals;

class ViewPage {
 public:
  virtual ~ViewPage() = default;
  virtual std::size_t ObjectCount() const = 0;
  virtual TfrView* ObjectAt(std::size_t index) const = 0;
  // Report pixels: the left and right printing limits of the page.
  virtual int LeftLimit() const = 0;
  virtual int RightLimit() const = 0;
  virtual EngineGlobals& Globals() const = 0;
};

}  // namespace quillet
