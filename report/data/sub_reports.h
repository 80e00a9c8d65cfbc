// Sub-reports: a sub-report object shows another template page, its
// target, inside the band that holds it.
//
// When a band reaches its first visible sub-report object, the targets of
// that object and of every visible sub-report object after it are formed
// with Recording set (band showings and data-set steps are recorded, not
// drawn), placed at their objects' positions within the band, and their
// recordings replayed side by side. A replay stops at a band that does not
// fit; the host page then starts a new page and the unfinished replays go
// on from its top. On a host that is itself a sub-report target the band
// is left pending instead, and the outer replay continues it on its next
// page. The page's CurrentY ends below the lowest sub-report.
//
// Failures are calculation errors that stop the run: a band with more than
// kMaxSubReportObjects objects from its first sub-report object on, a
// sub-report naming no report page, a target already being formed (two
// sub-reports showing the same page at once, or pages that show each other),
// nesting deeper than kMaxSubReportDepth, and a band of a sub-report that
// fits on no page.
#pragma once

#include <cstddef>

namespace quillet {

class PageFormation;
class TfrBand;

// Objects a band may hold from its first sub-report object to its end.
constexpr std::size_t kMaxSubReportObjects = 35;
// Sub-reports inside sub-reports, at most this many levels.
constexpr int kMaxSubReportDepth = 16;

// Forms and replays the targets of the band's sub-report objects from
// Views[first] on (the band's first visible sub-report object). Leaves
// the band's SubReportDone false when the band is left pending on a page
// that is itself a sub-report target.
void FormSubReports(TfrBand& band, std::size_t first);

}  // namespace quillet
