#include "cli/missing_fields.h"

#include <regex>

#include "report/component/report.h"
#include "report/expr/brackets.h"
#include "report/expr/dataset_components.h"
#include "report/template/page.h"
#include "report/views/memo/memo_view.h"

namespace quillet::cli {
namespace {

// NAME."FIELD" or NAME.FIELD, the forms a data reference takes.
const std::regex& DataReference() {
  static const std::regex reference(R"re(([A-Za-z_]\w*)\.(?:"([^"]*)"|([A-Za-z_]\w*)))re");
  return reference;
}

void CheckExpression(const std::string& owner, const std::string& expression,
                     std::vector<std::string>& warnings) {
  for (std::sregex_iterator it(expression.begin(), expression.end(), DataReference()), end;
       it != end; ++it) {
    const std::string name = (*it)[1];
    const std::string field = (*it)[2].matched ? (*it)[2].str() : (*it)[3].str();
    DataSetComponent* set = FindDatasetComponent(name);
    if (set && !set->HasField(field))
      warnings.push_back(owner + ": warning: [" + expression + "]: data set '" + name +
                         "' has no field \"" + field + "\"");
  }
}

}  // namespace

std::vector<std::string> MissingFieldWarnings(const TfrReport& report) {
  std::vector<std::string> warnings;
  for (const auto& page : report.Template.Pages)
    for (const auto& view : page->Objects) {
      const auto* memo = dynamic_cast<const TfrMemoView*>(view.get());
      if (!memo) continue;
      for (const std::string& line : memo->Memo)
        for (std::size_t i = 0; (i = line.find('[', i)) != std::string::npos;) {
          const BracketMatch m = FindBracket(line, i);
          if (!m.found) break;
          CheckExpression(memo->Name, m.inner, warnings);
          i = m.end + 1;
        }
    }
  return warnings;
}

}  // namespace quillet::cli
