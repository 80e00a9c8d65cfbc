#include "cli/group_order.h"

#include <algorithm>
#include <map>
#include <set>

#include "datasources/sorted_source.h"
#include "report/base/dataset.h"
#include "report/base/text_format.h"
#include "report/component/report.h"
#include "report/expr/dataset_components.h"
#include "report/expr/expression_globals.h"
#include "report/template/page.h"
#include "report/views/band_view.h"

namespace quillet::cli {
namespace {

using Key = std::vector<Variant>;

struct KeyLess {
  bool operator()(const Key& a, const Key& b) const {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
      if (const int c = CompareSortValues(a[i], b[i])) return c < 0;
    return a.size() < b.size();
  }
};

bool SameKey(const Key& a, const Key& b) {
  return !KeyLess{}(a, b) && !KeyLess{}(b, a);
}

bool IsDataBand(const TfrBandView& band) {
  return band.FrameTyp == btMasterData || band.FrameTyp == btDetailData ||
         band.FrameTyp == btSubDetailData;
}

// The groups of one data band, outermost first, and the data set it runs over.
struct GroupedBand {
  const TfrBandView* band = nullptr;
  std::vector<const TfrBandView*> groups;
};

std::vector<GroupedBand> GroupedBands(const TfrPage& page) {
  const TfrBandView* master = nullptr;
  std::vector<const TfrBandView*> headers;
  for (const auto& view : page.Objects) {
    const auto* band = dynamic_cast<const TfrBandView*>(view.get());
    if (!band) continue;
    if (band->FrameTyp == btMasterData && !master) master = band;
    if (band->FrameTyp == btGroupHeader && !band->FormatText.empty()) headers.push_back(band);
  }
  std::stable_sort(headers.begin(), headers.end(),
                   [](const TfrBandView* a, const TfrBandView* b) { return a->Top < b->Top; });
  std::vector<GroupedBand> result;
  for (const TfrBandView* header : headers) {
    const TfrBandView* target = master;
    if (!header->Master.empty()) {
      target = nullptr;
      for (const auto& view : page.Objects) {
        const auto* band = dynamic_cast<const TfrBandView*>(view.get());
        if (band && IsDataBand(*band) && EqualsIgnoreCase(band->Name, header->Master))
          target = band;
      }
    }
    if (!target) continue;
    auto it = std::find_if(result.begin(), result.end(),
                           [&](const GroupedBand& g) { return g.band == target; });
    if (it == result.end()) it = result.insert(result.end(), GroupedBand{target, {}});
    it->groups.push_back(header);
  }
  return result;
}

std::string Shown(const Variant& v) {
  try {
    return "'" + v.AsText() + "'";
  } catch (const std::exception&) {
    return "(no value)";
  }
}

void CheckBand(const GroupedBand& grouped, std::vector<GroupWarning>& warnings) {
  const std::string& source = grouped.band->FormatText;
  DataSetComponent* component = FindDatasetComponent(source);
  if (!component) return;
  TfrDataset& data = component->Dataset();
  TfrParser& parser = Expressions(grouped.band->Globals()).Parser;
  const std::size_t n = grouped.groups.size();
  // Per group: the keys seen (the values of it and the groups around it),
  // the last key, and whether it has been warned about.
  std::vector<std::set<Key, KeyLess>> seen(n);
  std::vector<Key> last(n);
  std::vector<bool> warned(n, false);
  try {
    long long record = 0;
    for (data.First(); !data.Eof(); data.Next()) {
      ++record;
      Key key;
      bool warnedNow = false;  // an outer group's repeat repeats the inner ones too
      for (std::size_t g = 0; g < n; ++g) {
        key.push_back(parser.Calc(grouped.groups[g]->FormatText));
        if (record > 1 && SameKey(key, last[g])) continue;
        if (!seen[g].insert(key).second && !warned[g] && !warnedNow) {
          warned[g] = warnedNow = true;
          warnings.push_back({grouped.groups[g],
                              "the group " + Shown(key.back()) + " comes again at record " +
                                  std::to_string(record) + " of " + source +
                                  ", after other groups: the data is not sorted by " +
                                  grouped.groups[g]->FormatText +
                                  ", so the group is shown more than once (sort it: --sort for a "
                                  "CSV file, ORDER BY for a query)"});
        }
        last[g] = key;
      }
    }
    data.First();
  } catch (const std::exception&) {
    // A data set that cannot be walked alone says nothing about its order.
  }
}

}  // namespace

std::vector<GroupWarning> UnsortedGroupWarnings(TfrReport& report) {
  std::vector<GroupWarning> warnings;
  report.StartEvaluation();
  for (const auto& page : report.Template.Pages)
    for (const GroupedBand& grouped : GroupedBands(*page)) CheckBand(grouped, warnings);
  return warnings;
}

}  // namespace quillet::cli
