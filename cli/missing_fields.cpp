#include "cli/missing_fields.h"

#include <regex>

#include "cli/check_names.h"
#include "report/base/text_format.h"
#include "report/expr/brackets.h"
#include "report/template/page.h"
#include "report/template/report_template.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"

namespace quillet::cli {
namespace {

// NAME."FIELD" or NAME.FIELD, the forms a data reference takes.
const std::regex& DataReference() {
  static const std::regex reference(R"re(([A-Za-z_]\w*)\.(?:"([^"]*)"|([A-Za-z_]\w*)))re");
  return reference;
}

// The expression with its quoted texts blanked out, so that 'a.b' is no
// reference.
std::string WithoutQuotedTexts(const std::string& expression) {
  std::string plain = expression;
  bool quoted = false;
  for (char& c : plain) {
    if (c == '\'') {
      quoted = !quoted;
    } else if (quoted) {
      c = ' ';
    }
  }
  return plain;
}

class ReferenceChecker {
 public:
  ReferenceChecker(const TfrTemplate& t, const std::vector<DataSetNames>& given, Findings& findings)
      : template_(t), given_(given), findings_(findings) {
    for (const DataSetNames& set : given) setNames_.push_back(set.name);
  }

  void Expression(const std::string& owner, const std::string& pointer,
                  const std::string& expression) {
    const std::string plain = WithoutQuotedTexts(expression);
    for (std::sregex_iterator it(plain.begin(), plain.end(), DataReference()), end; it != end;
         ++it) {
      const std::string name = (*it)[1];
      const bool quoted = (*it)[2].matched;
      const std::string field = quoted ? (*it)[2].str() : (*it)[3].str();
      const std::string shown = "[" + expression + "]";
      if (const DataSetNames* set = Find(name)) {
        if (!HasField(*set, field))
          Warn(owner, pointer,
               shown + ": data set '" + set->name + "' has no field \"" + field + "\"" +
                   Suggestion(field, set->fields));
        continue;
      }
      if (IsObjectName(name)) continue;
      // NAME.FIELD may be a variable or a property; only a name close to a
      // data set's is taken as a misspelt one.
      const std::string nearest = NearestName(name, setNames_);
      if (!quoted && nearest.empty()) continue;
      Warn(owner, pointer,
           shown + ": no data set '" + name + "' is given" +
               (nearest.empty() ? std::string() : "; did you mean \"" + nearest + "\"?"));
    }
  }

  void Brackets(const std::string& owner, const std::string& pointer, const StringList& lines) {
    for (std::size_t n = 0; n < lines.size(); ++n)
      for (std::size_t i = 0; (i = lines[n].find('[', i)) != std::string::npos;) {
        const BracketMatch m = FindBracket(lines[n], i);
        if (!m.closed) break;
        std::string expression = m.inner;
        if (const auto suffix = expression.find(" #"); suffix != std::string::npos)
          expression.resize(suffix);
        Expression(owner, pointer + "/" + std::to_string(n), expression);
        i = m.end + 1;
      }
  }

 private:
  const DataSetNames* Find(const std::string& name) const {
    for (const DataSetNames& set : given_)
      if (EqualsIgnoreCase(set.name, name)) return &set;
    return nullptr;
  }
  static bool HasField(const DataSetNames& set, const std::string& field) {
    for (const std::string& f : set.fields)
      if (EqualsIgnoreCase(f, field)) return true;
    return false;
  }
  bool IsObjectName(const std::string& name) const {
    const std::string upper = UpperCase(name);
    if (upper.size() > 4 && upper.compare(0, 4, "PAGE") == 0 &&
        std::isdigit(static_cast<unsigned char>(upper[4])))
      return true;
    return template_.FindView(name) != nullptr;
  }
  void Warn(const std::string& owner, const std::string& pointer, std::string message) {
    findings_.Add(Severity::Warning, owner, pointer, std::move(message));
  }

  const TfrTemplate& template_;
  const std::vector<DataSetNames>& given_;
  Findings& findings_;
  std::vector<std::string> setNames_;
};

}  // namespace

void CheckDataReferences(const TfrTemplate& t, const TemplatePlaces& places,
                         const std::vector<DataSetNames>& given, Findings& findings) {
  ReferenceChecker check(t, given, findings);
  for (const auto& page : t.Pages)
    for (const auto& view : page->Objects) {
      const std::string at = places.Of(*view);
      if (const auto* memo = dynamic_cast<const TfrMemoView*>(view.get())) {
        if (!(memo->Flags & flTextOnly)) check.Brackets(memo->Name, at + "/text", memo->Memo);
        if (!memo->HighlightCondition.empty())
          check.Expression(memo->Name, at + "/highlight/condition", memo->HighlightCondition);
      }
      const auto* band = dynamic_cast<const TfrBandView*>(view.get());
      if (band && band->FrameTyp == btGroupHeader && !band->FormatText.empty())
        check.Expression(band->Name, at + "/condition", band->FormatText);
    }
}

}  // namespace quillet::cli
