#include "cli/check_layout.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "report/expr/dataset_components.h"
#include "report/template/page.h"
#include "report/template/report_template.h"
#include "report/views/band_view.h"

namespace quillet::cli {
namespace {

bool IsDataBand(int kind) {
  return kind == btMasterData || kind == btDetailData || kind == btSubDetailData;
}

// Whether formation gives `view` a band: a cross band holding it across,
// or a horizontal band its top lies in (both edges included).
bool InSomeBand(const TfrView& view, const std::vector<const TfrBandView*>& bands) {
  for (const TfrBandView* band : bands) {
    if (IsCrossBand(band->FrameTyp)) {
      if (view.Left >= band->Left &&
          std::int64_t(view.Left) + view.Width <= std::int64_t(band->Left) + band->Width)
        return true;
    } else if (band->FrameTyp <= btChild && view.Top >= band->Top &&
               std::int64_t(view.Top) <= std::int64_t(band->Top) + band->Height) {
      return true;
    }
  }
  return false;
}

}  // namespace

void CheckObjectPlaces(const TfrTemplate& t, const TemplatePlaces& places, Findings& findings) {
  for (const auto& pagePtr : t.Pages) {
    TfrPage& page = *pagePtr;
    if (page.Type != ptReport) continue;
    std::int64_t width = page.ReadProperty("Width").AsInteger();
    std::int64_t height = page.ReadProperty("Height").AsInteger();
    if (page.Orientation == 1 && width < height) std::swap(width, height);
    std::vector<const TfrBandView*> bands;
    for (const auto& view : page.Objects)
      if (auto* band = dynamic_cast<const TfrBandView*>(view.get())) bands.push_back(band);
    for (const auto& view : page.Objects) {
      if (dynamic_cast<const TfrBandView*>(view.get())) continue;
      const std::int64_t right = std::int64_t(view->Left) + view->Width;
      const std::int64_t bottom = std::int64_t(view->Top) + view->Height;
      if (right <= 0 || bottom <= 0 || view->Left >= width || view->Top >= height) {
        findings.Add(Severity::Warning, view->Name, places.Of(*view),
                     "lies outside its page (" + std::to_string(view->Left) + ", " +
                         std::to_string(view->Top) + " on a page of " + std::to_string(width) +
                         " x " + std::to_string(height) + " pixels) and does not print");
      } else if (!bands.empty() && !InSomeBand(*view, bands)) {
        findings.Add(Severity::Warning, view->Name, places.Of(*view),
                     "its top (" + std::to_string(view->Top) + ") lies in no band of page " +
                         page.Name + ", so it does not print; move it into a band");
      }
    }
  }
}

void CheckDataSources(const TfrTemplate& t, const TemplatePlaces& places, bool dataGiven,
                      Findings& findings) {
  for (const auto& page : t.Pages)
    for (const auto& view : page->Objects) {
      const auto* band = dynamic_cast<const TfrBandView*>(view.get());
      if (!band || !IsDataBand(band->FrameTyp)) continue;
      const std::string& source = band->FormatText;
      const std::string at = places.Of(*band) + "/dataSource";
      if (source.empty()) {
        findings.Add(Severity::Warning, band->Name, at,
                     "the data band names no data source; give \"dataSource\" a data set or "
                     "a record count");
        continue;
      }
      if (source[0] >= '1' && source[0] <= '9') continue;  // a record count
      if (FindDatasetComponent(source)) continue;
      findings.Add(dataGiven ? Severity::Error : Severity::Warning, band->Name, at,
                   "the data band runs over data set '" + source +
                       "', which no --csv or --dataset option gives");
    }
}

}  // namespace quillet::cli
