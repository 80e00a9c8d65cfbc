#include "report/template/missing_data.h"

#include "report/expr/dataset_components.h"
#include "report/template/page.h"
#include "report/template/report_template.h"
#include "report/views/band_view.h"

namespace quillet {

const TfrBandView* FirstBandWithoutData(const TfrTemplate& t) {
  for (const auto& page : t.Pages)
    for (const auto& view : page->Objects) {
      const auto* band = dynamic_cast<const TfrBandView*>(view.get());
      if (!band) continue;
      const int kind = band->FrameTyp;
      if (kind != btMasterData && kind != btDetailData && kind != btSubDetailData) continue;
      const std::string& source = band->FormatText;
      if (source.empty() || (source[0] >= '1' && source[0] <= '9')) continue;
      if (!FindDatasetComponent(source)) return band;
    }
  return nullptr;
}

}  // namespace quillet
