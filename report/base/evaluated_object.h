// The object being evaluated while a report prepares, as the preparation
// state and calculation errors see it. Views implement it.
#pragma once

#include <string>
#include <vector>

namespace quillet {

class EvaluatedObject {
 public:
  virtual ~EvaluatedObject() = default;
  // The object's name ("Memo1").
  virtual const std::string& EvaluatedName() const = 0;
  // Its text lines, as the template holds them.
  virtual const std::vector<std::string>& EvaluatedText() const = 0;
};

}  // namespace quillet
