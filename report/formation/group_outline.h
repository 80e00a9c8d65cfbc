// The outline entry a group header adds to the prepared pages when it is
// shown (page_outline.h): what the header shows, where, and how deep its
// group lies.
#pragma once

#include <string>

#include "report/prepared/page_outline.h"

namespace quillet {

class TfrBand;

// Starts an entry for `header` (a group header band) at the page being
// formed and the page's current position. Called just before the header is
// drawn: a header that does not fit has already moved to the next page.
PageOutlineEntry BeginGroupOutlineEntry(const TfrBand& header);
// Completes `entry` once the header has been drawn (its memos then hold
// their texts) and appends it to the outer report's prepared pages.
void AddGroupOutlineEntry(const TfrBand& header, PageOutlineEntry entry);

// What an outline shows for a header: the text of its first visible memo
// (topmost, then leftmost) as drawn, on one line; else the group
// condition's value; else "(blank)".
std::string GroupOutlineText(const TfrBand& header);
// 0 for the first group header of the report's outermost data band; a
// header further down its band's chain, and the headers of a detail band
// below the groups of the bands it runs inside, lie deeper.
int GroupOutlineLevel(const TfrBand& header);

}  // namespace quillet
