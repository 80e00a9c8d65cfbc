// What a band object's named properties reach while its page is formed:
// the run-time band's position, size, visibility, split flag, condition,
// child band and data set.
#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "platform/errors.h"
#include "report/base/dataset.h"
#include "report/expr/dataset_components.h"
#include "report/expr/expression_globals.h"
#include "report/formation/band.h"
#include "report/formation/formation_report.h"
#include "report/formation/page_formation.h"

namespace quillet {

int TfrBand::Geometry(Edge edge) const {
  switch (edge) {
    case Edge::Left: return BandX;
    case Edge::Top: return BandY;
    case Edge::Width: return BandWidth;
    case Edge::Height: return BandHeight;
  }
  return 0;
}

void TfrBand::SetGeometry(Edge edge, int value) {
  // Kept within the range formation keeps template geometry in, so sums of
  // positions cannot wrap whatever a script writes.
  const int v = std::clamp(value, -PageFormation::kMaxCoordinate, PageFormation::kMaxCoordinate);
  switch (edge) {
    case Edge::Left: BandX = v; break;
    case Edge::Top: BandY = v; break;
    case Edge::Width: BandWidth = v; break;
    case Edge::Height: BandHeight = v; break;
  }
}

void TfrBand::SetCondition(const std::string& expression) {
  Condition = Expressions(Page->Run.Globals()).Parser.ToPostfix(expression);
}

void TfrBand::LinkChild(FormingBand* child) {
  auto* band = dynamic_cast<TfrBand*>(child);
  // A child chain that leads back to this band would show it for ever.
  std::unordered_set<const TfrBand*> seen;
  for (const TfrBand* b = band; b && seen.insert(b).second; b = b->Child)
    if (b == this)
      throw EngineError("Band \"" + Name + "\" cannot have \"" + band->Name +
                        "\" as its child band: the child bands lead back to it");
  Child = band;
}

TfrDataset* OpenDataSource(const std::string& source, std::unique_ptr<TfrDataset>& owned) {
  if (source.find(';') == std::string::npos && !source.empty() && source[0] >= '1' &&
      source[0] <= '9') {
    // A count: the band repeats that many times over a data set of its own.
    auto counted = std::make_unique<TfrUserDataset>();
    counted->RangeEnd = reCount;
    std::int64_t n = 0;
    for (char c : source) {
      if (!std::isdigit(static_cast<unsigned char>(c))) break;
      n = std::min<std::int64_t>(n * 10 + (c - '0'), 1'000'000'000);
    }
    counted->RangeEndCount = static_cast<std::int32_t>(n);
    counted->OpenData();
    owned = std::move(counted);
    return owned.get();
  }
  // Any other text names a data set the host registered.
  if (!source.empty()) {
    if (DataSetComponent* named = FindDatasetComponent(source)) {
      TfrDataset* dataset = &named->Dataset();
      dataset->OpenData();
      return dataset;
    }
  }
  return nullptr;
}

void TfrBand::UseDataSource(const std::string& source) {
  DataSource = source;
  if (OwnedDataset) {
    OwnedDataset->CloseData();
    RetiredDatasets.push_back(std::move(OwnedDataset));
  }
  Dataset = OpenDataSource(source, OwnedDataset);
  if (Kind == btMasterData && !Dataset) Dataset = Page->Report.MasterDataset();
}

}  // namespace quillet
