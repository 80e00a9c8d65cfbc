#include "report/formation/group_outline.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "report/base/engine_state.h"
#include "report/base/preparation_report.h"
#include "report/expr/expression_globals.h"
#include "report/formation/band.h"
#include "report/formation/formation_report.h"
#include "report/formation/page_formation.h"
#include "report/prepared/prepared_pages.h"
#include "report/views/memo/memo_view.h"

namespace quillet {
namespace {

// Lines joined by single spaces, paragraph marks and runs of white space
// folded, ends trimmed.
std::string OneLine(const StringList& lines) {
  std::string out;
  bool space = false;
  for (const std::string& line : lines) {
    space = !out.empty();
    for (char c : line) {
      if (c == kParagraphMark || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        space = !out.empty();
        continue;
      }
      if (space) out += ' ';
      space = false;
      out += c;
    }
  }
  return out;
}

// The chain of group headers `header` belongs to starts at this band.
const TfrBand* FirstOfChain(const TfrBand& header) {
  const TfrBand* first = &header;
  while (first->PrevGroupHeader) first = first->PrevGroupHeader;
  return first;
}

int ChainLength(const TfrBand* first) {
  int n = 0;
  for (const TfrBand* g = first; g; g = g->NextGroupHeader) ++n;
  return n;
}

}  // namespace

std::string GroupOutlineText(const TfrBand& header) {
  const TfrMemoView* first = nullptr;
  for (const TfrView* v : header.Views) {
    const auto* memo = dynamic_cast<const TfrMemoView*>(v);
    if (!memo || memo->Visible == 0 || memo->FormationBand != &header) continue;
    if (!first || memo->Top < first->Top || (memo->Top == first->Top && memo->Left < first->Left))
      first = memo;
  }
  if (first) {
    std::string text = OneLine(first->WorkText);
    if (!text.empty()) return text;
  }
  // The condition's value for the group starting now (the band's GroupValue
  // still holds the group before). A condition that fails was reported by
  // the data levels already.
  std::string value;
  try {
    value = OneLine(
        {Expressions(header.Page->Run.Globals()).Parser.CalcPostfix(header.Condition).AsText()});
  } catch (const std::exception&) {
    value.clear();
  }
  return value.empty() ? "(blank)" : value;
}

int GroupOutlineLevel(const TfrBand& header) {
  const TfrBand* first = FirstOfChain(header);
  int own = 0;
  for (const TfrBand* g = first; g != &header; g = g->NextGroupHeader) ++own;
  // The data band whose chain this is lies below the groups of the data
  // levels it runs inside: each of those levels adds its longest chain.
  static constexpr int kDataKinds[] = {btMasterData, btDetailData, btSubDetailData};
  const PageFormation& page = *header.Page;
  int outer = 0;
  for (int kind : kDataKinds) {
    bool owns = false;
    int longest = 0;
    for (const TfrBand* data = page.Chain(kind); data; data = data->Next) {
      if (data->FirstGroupHeader == first) owns = true;
      longest = std::max(longest, ChainLength(data->FirstGroupHeader));
    }
    if (owns) return outer + own;
    outer += longest;
  }
  return own;  // no data band took the chain: shown some other way
}

PageOutlineEntry BeginGroupOutlineEntry(const TfrBand& header) {
  PageOutlineEntry entry;
  entry.PageIndex = header.Page->Run.State().PageIndex;
  entry.Top = header.Page->CurrentY;
  return entry;
}

void AddGroupOutlineEntry(const TfrBand& header, PageOutlineEntry entry) {
  entry.Text = GroupOutlineText(header);
  entry.Level = GroupOutlineLevel(header);
  OuterReportOf(header.Page->Run.State(), header.Page->Report)
      .Prepared()
      .Outline.push_back(std::move(entry));
}

}  // namespace quillet
