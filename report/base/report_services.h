// What views ask of the report they are being prepared in. The report
// component implements it; views never see the component itself.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

class TfrView;

class ReportServices {
 public:
  virtual ~ReportServices() = default;
  // The template object of that name (letter case ignored), or nullptr.
  virtual TfrView* FindView(std::string_view name) const = 0;
  // Whether the report's dialog form holds a component of that name.
  virtual bool DialogHasComponent(std::string_view) const { return false; }
  // Called for every object written into a prepared page, before its script.
  virtual void BeforeObjectOutput(std::vector<std::string>& /*workText*/, TfrView& /*view*/) {}
  // Runs the view's script, as translated when its page was set up; a
  // report without a script interpreter runs nothing.
  virtual void RunViewScript(TfrView& /*view*/) {}
  // The text of a bracketed expression's value (without the brackets).
  virtual std::string EvaluateBracket(const std::string& expression) = 0;
};

}  // namespace quillet
