#include "report/formation/page_formation.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <unordered_map>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/scope_guard.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/expr/dataset_components.h"
#include "report/expr/expression_globals.h"
#include "report/formation/formation_report.h"
#include "report/prepared/prepared_pages.h"
#include "report/printer/printer.h"
#include "report/template/data_dictionary.h"
#include "report/template/page.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/subreport_view.h"

namespace quillet {
namespace {

// Fires OnEndPage on the active report and, when different, the outer.
void FireEndPage(const PreparationState& prep, int pageIndex) {
  PreparationReport* active = prep.ActiveReport;
  PreparationReport* outer = prep.OuterReport;
  if (active) active->OnEndPage(pageIndex);
  if (outer && outer != active) outer->OnEndPage(pageIndex);
}

// Orders a chain by BandY exactly as a selection sort does (for each place,
// the first band of the smallest top among the rest is swapped into it;
// bands of equal top may change their order), with a tree of minimums so
// that a chain of many bands is not sorted in quadratic time.
void SelectionSortByTop(std::vector<std::unique_ptr<TfrBand>>& chain) {
  const std::size_t n = chain.size();
  if (n < 2) return;
  std::size_t size = 1;
  while (size < n) size *= 2;
  // tree[size + i] is place i; an inner node holds the place of the first
  // smallest top below it, n for none.
  std::vector<std::size_t> tree(2 * size, n);
  auto better = [&](std::size_t a, std::size_t b) {
    if (a == n) return b;
    if (b == n) return a;
    if (chain[b]->BandY < chain[a]->BandY) return b;
    if (chain[a]->BandY < chain[b]->BandY) return a;
    return std::min(a, b);
  };
  auto update = [&](std::size_t place, bool present) {
    std::size_t node = size + place;
    tree[node] = present ? place : n;
    for (node /= 2; node >= 1; node /= 2) tree[node] = better(tree[2 * node], tree[2 * node + 1]);
  };
  for (std::size_t i = 0; i < n; ++i) tree[size + i] = i;
  for (std::size_t node = size - 1; node >= 1; --node)
    tree[node] = better(tree[2 * node], tree[2 * node + 1]);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t best = tree[1];
    std::swap(chain[i], chain[best]);
    update(best, true);  // the band moved there from place i
    update(i, false);    // place i is settled
  }
}

}  // namespace

PageFormation::PageFormation(TfrPage& page, FormationReport& report, RunContext& run)
    : Page(page), Report(report), Run(run) {
  Page.Formation = this;
}

PageFormation::~PageFormation() {
  FreeBands();
  if (Page.Formation == this) Page.Formation = nullptr;
}

bool PageFormation::Present(int kind) const {
  const TfrBand* band = Chain(kind);
  return band && band->IsPresent();
}

// ---- Geometry ------------------------------------------------------------

int PageFormation::TopEdge() const {
  if (Page.MarginsApply == 0) return 0;
  return Page.Margins.Top != 0 ? Page.Margins.Top : Paper.PageInfo.OffsetYPx;
}

int PageFormation::LeftEdge() const {
  if (Page.MarginsApply == 0) return 0;
  return Page.Margins.Left != 0 ? Page.Margins.Left : Paper.PageInfo.OffsetXPx;
}

int PageFormation::RightEdge() const {
  const PrinterPageInfo& info = Paper.PageInfo;
  if (Page.MarginsApply == 0) return info.PaperWidthPx;
  return Page.Margins.Right != 0 ? SubSat(info.PaperWidthPx, Page.Margins.Right)
                                 : AddSat(info.OffsetXPx, info.PrintableWidthPx);
}

int PageFormation::BottomEdge() const {
  const PrinterPageInfo& info = Paper.PageInfo;
  int bottom;
  if (Page.MarginsApply == 0)
    bottom = info.PaperHeightPx;
  else
    bottom = Page.Margins.Bottom != 0 ? SubSat(info.PaperHeightPx, Page.Margins.Bottom)
                                      : AddSat(info.OffsetYPx, info.PrintableHeightPx);
  if (Run.State().RenderActive && Present(btPageFooter))
    bottom = SubSat(bottom, Chain(btPageFooter)->BandHeight);
  return bottom;
}

void PageFormation::TakePaper() {
  Paper.PaperSizeCode = static_cast<std::int16_t>(Page.PaperSizeCode);
  Paper.PaperWidthTenths = Page.PaperWidthTenths;
  Paper.PaperHeightTenths = Page.PaperHeightTenths;
  Paper.Orientation = Page.Orientation;
  Paper.PaperSource = Page.PaperSource;
  Paper.Margins = Page.Margins;
  Paper.MarginsApply = Page.MarginsApply != 0;
  if (Run.Globals().Printer.EnginePrinter) {
    ApplyPagePaper(EnginePrinter(Run.Globals()), Paper);
    Page.PageInfo = Paper.PageInfo;
    return;
  }
  // No printer service at all: the paper as it stands, all of it printable.
  PrinterPageInfo& info = Paper.PageInfo;
  info = PrinterPageInfo{};
  info.PaperWidthPx = Round(Paper.PaperWidthTenths * ReportPixelsPerInch / 254);
  info.PaperHeightPx = Round(Paper.PaperHeightTenths * ReportPixelsPerInch / 254);
  info.PrintableWidthPx = info.PaperWidthPx;
  info.PrintableHeightPx = info.PaperHeightPx;
  Page.PageInfo = info;
}

// ---- Set-up and finish -----------------------------------------------------

void PageFormation::SetUpPage() {
  PreparationState& prep = Run.State();
  PreparationReport& outer = OuterReportOf(Run.State(), Report);
  if (SetUpDone && outer.InFinalPass && outer.TwoPassRequested) {
    // The bands survived the counting pass: their data start again, and so
    // do the running record position and the totals, which a band shown
    // last on the counting pass (a page footer before the last page) would
    // otherwise carry into the final pass.
    for (int kind = 0; kind < kBandKindCount; ++kind)
      if (TfrBand* band = Chain(kind); band && band->Dataset) band->Dataset->First();
    RecordPosition = 1;
    CrossColumnNumber = 1;
    for (int kind = 0; kind < kBandKindCount; ++kind)
      if (kind != btGroupHeader)
        for (TfrBand* band = Chain(kind); band; band = band->Next) Run.Data().Reset(*band);
    return;
  }
  if (Page.Type == ptDialog) {
    // Dialog windows come from the window layer, which hosts no dialog
    // page yet: the page runs its script as a page without controls does.
    prep.ActivePage = &Page;
    RunPageScript(Page.ScriptLines);
    SetUpDone = true;
    return;
  }
  FreeBands();
  TakePaper();
  for (int kind = 0; kind < kBandKindCount; ++kind)
    BandChains[static_cast<std::size_t>(kind)] =
        std::make_unique<TfrBand>(*this, static_cast<std::uint8_t>(kind));
  PlaceObjects();
  Report.TranslateObjectScripts(Page);
  RecordPosition = 1;
  CrossColumnNumber = 1;
  SetUpDone = true;
}

void PageFormation::ResolveReferences() {
  // An object whose whole text is one data reference is bound to that
  // field, so it can load the field's value itself (a picture from a BLOB
  // column); texts are still expanded each time they are written.
  Run.State().ActivePage = &Page;
  for (const auto& view : Page.Objects) {
    view->BoundDataSet = nullptr;
    view->BoundFieldName.clear();
    BindToDataField(*view);
  }
  Run.Data().PreScanAggregates(*this);
}

void PageFormation::BindToDataField(TfrView& view) {
  std::string text;
  for (const std::string& line : view.Memo) text += line;
  if (text.size() <= 2 || text[0] != '[') return;
  if (view.ObjectType == gtMemo && MemoFlags::FromBits(view.Flags).Has(MemoFlag::TextOnly)) return;
  const auto close = text.rfind(']');
  if (close == std::string::npos || close < 1) return;
  // A text that is no data reference is expanded as it stands.
  TfrCacheItem item;
  if (!ResolveDataReference(text.substr(1, close - 1), nullptr, item) || !item.DataSet) return;
  view.BoundDataSet = &item.DataSet->Dataset();
  view.BoundFieldName = item.FieldName;
}

void PageFormation::FinishPage() {
  // The bands stay for the final pass of a two-pass run.
  if (Run.State().CountingPass) return;
  if (SetUpDone && Page.Type != ptDialog) FreeBands();
  SetUpDone = false;
}

void PageFormation::FreeBands() {
  PreparationState& prep = Run.State();
  for (auto& first : BandChains) {
    for (TfrBand* band = first.get(); band; band = band->Next) {
      if (prep.ActiveBand == band) prep.ActiveBand = nullptr;
      if (band->OwnedDataset) band->OwnedDataset->CloseData();
      if (band->OwnedCrossDataset) band->OwnedCrossDataset->CloseData();
    }
    // Unlinked one by one, so a long chain does not free itself recursively.
    while (first && first->NextOwned) {
      std::unique_ptr<TfrBand> rest = std::move(first->NextOwned);
      first = std::move(rest);
    }
    first.reset();
  }
  for (const auto& view : Page.Objects) {
    view->FormationBand = nullptr;
    if (auto* bandView = dynamic_cast<TfrBandView*>(view.get())) bandView->RunTimeBand = nullptr;
  }
  LastShownBand = nullptr;
  PendingBand = nullptr;
}

// ---- Placing the objects -------------------------------------------------

void PageFormation::ConfigureBand(TfrBand& band, TfrBandView& view) {
  band.View = &view;
  band.Memo = view.Memo;
  band.ScriptLines = view.ScriptLines;
  band.BandX = view.Left;
  band.BandY = view.Top;
  band.BandWidth = view.Width;
  band.BandHeight = view.Height;
  band.Flags = view.Flags;
  band.Visible = view.Visible != 0;
  band.Name = view.Name;
  band.ColumnCounter = 1;
  view.FormationBand = &band;
  view.RunTimeBand = &band;
  const BandFlags options = view.Options();
  band.Stretched = options.Has(BandFlag::Stretched);
  band.PrintIfSubsetEmpty = options.Has(BandFlag::PrintIfSubsetEmpty);
  band.PrintChildIfInvisible = options.Has(BandFlag::PrintChildIfInvisible);
  band.FormNewPage = !SubReportTarget && options.Has(BandFlag::FormNewPage);
  band.Breaked = !SubReportTarget && options.Has(BandFlag::Breaked);
  if (band.Kind == btGroupHeader) {
    band.Condition = Expressions(Run.Globals()).Parser.ToPostfix(view.FormatText);
    return;
  }
  band.UseDataSource(view.FormatText);
}

void PageFormation::TakeBandObjects(TfrBand& band, UnplacedByTop& unplaced,
                                    std::vector<char>& waiting) {
  const int top = band.BandY;
  const int bottom = AddSat(band.BandY, band.BandHeight);
  // The unplaced objects whose top lies in the band, in template order.
  std::vector<std::size_t> inside;
  for (auto it = unplaced.lower_bound({top, 0}); it != unplaced.end() && it->first <= bottom; ++it)
    inside.push_back(it->second);
  std::sort(inside.begin(), inside.end());
  auto take = [&](TfrView& v, std::size_t index, bool setOwner) {
    unplaced.erase({v.Top, index});
    v.Top -= top;
    waiting[index] = 0;
    if (setOwner) v.FormationBand = &band;
    band.Views.push_back(&v);
  };
  // Three sweeps: ordinary objects, objects of a cross band, sub-reports.
  for (std::size_t i : inside)
    if (TfrView& v = *Page.Objects[i]; !v.FormationBand && v.ObjectType != gtSubReport)
      take(v, i, true);
  for (std::size_t i : inside)
    if (TfrView& v = *Page.Objects[i];
        waiting[i] && v.FormationBand && IsCrossBand(v.FormationBand->Kind))
      take(v, i, false);
  for (std::size_t i : inside)
    if (TfrView& v = *Page.Objects[i];
        waiting[i] && !v.FormationBand && v.ObjectType == gtSubReport)
      take(v, i, true);
}

void PageFormation::PlaceObjects() {
  std::vector<TfrBandView*> bandViews;
  // Every object but a band waits for the band that takes it.
  std::vector<char> waiting(Page.Objects.size());
  for (std::size_t i = 0; i < Page.Objects.size(); ++i) {
    const std::unique_ptr<TfrView>& v = Page.Objects[i];
    // Geometry from a damaged or hostile template is kept within a range
    // that no page reaches, so positions summed while forming cannot wrap.
    v->Left = std::clamp(v->Left, -kMaxCoordinate, kMaxCoordinate);
    v->Top = std::clamp(v->Top, -kMaxCoordinate, kMaxCoordinate);
    v->Width = std::clamp(v->Width, -kMaxCoordinate, kMaxCoordinate);
    v->Height = std::clamp(v->Height, -kMaxCoordinate, kMaxCoordinate);
    v->GapX = std::clamp(v->GapX, -kMaxCoordinate, kMaxCoordinate);
    v->GapY = std::clamp(v->GapY, -kMaxCoordinate, kMaxCoordinate);
    if (auto* b = dynamic_cast<TfrBandView*>(v.get())) {
      b->Columns = std::clamp(b->Columns, 0, kMaxColumns);
      b->ColumnWidth = std::clamp(b->ColumnWidth, -kMaxCoordinate, kMaxCoordinate);
      b->ColumnGap = std::clamp(b->ColumnGap, -kMaxCoordinate, kMaxCoordinate);
    }
    v->PreparedMode = true;
    if (auto* memo = dynamic_cast<TfrMemoView*>(v.get())) {
      // A condition that does not convert never holds, as one that fails.
      try {
        memo->HighlightPostfix =
            Expressions(Run.Globals()).Parser.ToPostfix(memo->HighlightCondition);
      } catch (const ParserError&) {
        memo->HighlightPostfix.clear();
      }
    }
    waiting[i] = v->ObjectType == gtBand ? 0 : 1;
    v->FormationBand = nullptr;
    if (auto* b = dynamic_cast<TfrBandView*>(v.get())) bandViews.push_back(b);
    if (auto* sub = dynamic_cast<TfrSubReportView*>(v.get())) {
      if (PageFormation* target = Report.FormationAt(sub->SubPageIndex))
        target->SubReportTarget = true;
    }
  }

  // Cross (vertical) bands first: one band per kind, the last object wins.
  bool anyCross = false;
  for (TfrBandView* bv : bandViews) {
    if (!IsCrossBand(bv->BandKind())) continue;
    TfrBand& band = *Chain(bv->BandKind());
    ConfigureBand(band, *bv);
    anyCross = true;
  }
  if (anyCross) {
    for (int kind = btCrossHeader; kind <= btCrossFooter; ++kind) {
      TfrBand& band = *Chain(kind);
      if (!band.View) continue;
      for (std::size_t i = 0; i < Page.Objects.size(); ++i) {
        TfrView* v = Page.Objects[i].get();
        if (!waiting[i] || v->FormationBand) continue;
        if (v->Left >= band.BandX && v->Left + v->Width <= band.BandX + band.BandWidth) {
          v->Left -= band.BandX;
          v->FormationBand = &band;
          band.Views.push_back(v);
        }
      }
    }
  }

  // Horizontal bands, kind by kind, each chain ordered by its top. The
  // objects not yet placed are kept ordered by their top, so that each band
  // finds its own without a walk over the whole page.
  UnplacedByTop unplaced;
  for (std::size_t i = 0; i < Page.Objects.size(); ++i)
    if (waiting[i]) unplaced.insert({Page.Objects[i]->Top, i});
  for (int kind = 0; kind <= btChild; ++kind) {
    if (IsCrossBand(kind)) continue;
    auto& first = BandChains[static_cast<std::size_t>(kind)];
    std::vector<std::unique_ptr<TfrBand>> chain;
    chain.push_back(std::move(first));
    bool configured = false;
    for (TfrBandView* bv : bandViews) {
      if (bv->BandKind() != kind) continue;
      if (configured)
        chain.push_back(std::make_unique<TfrBand>(*this, static_cast<std::uint8_t>(kind)));
      configured = true;
      ConfigureBand(*chain.back(), *bv);
      TakeBandObjects(*chain.back(), unplaced, waiting);
    }
    SelectionSortByTop(chain);
    for (std::size_t i = chain.size(); i-- > 1;) {
      chain[i - 1]->Next = chain[i].get();
      chain[i]->Prev = chain[i - 1].get();
      chain[i - 1]->NextOwned = std::move(chain[i]);
    }
    first = std::move(chain[0]);
    TfrBand* last = first.get();
    while (last->Next) last = last->Next;
    first->ChainLast = last;
  }

  // Whatever lies in no band belongs to the no-band band, in template order.
  // An object of a cross band's strip that no horizontal band took is
  // written there too, at its template position.
  TfrBand& none = *Chain(kNoBandKind);
  for (std::size_t i = 0; i < Page.Objects.size(); ++i) {
    if (!waiting[i]) continue;
    TfrView* v = Page.Objects[i].get();
    if (v->FormationBand) v->Left += v->FormationBand->BandX;
    v->FormationBand = &none;
    none.Views.push_back(v);
  }
  for (int kind = btCrossHeader; kind <= btCrossFooter; ++kind) {
    TfrBand& cross = *Chain(kind);
    std::erase_if(cross.Views, [&](TfrView* v) { return v->FormationBand != &cross; });
  }

  LinkHeadersAndFooters();

  Run.Data().LinkCrossDataSources(*this);

  LinkChildBands();

  // Group headers join their data band (the master-data band unless named).
  if (Present(btMasterData)) {
    for (TfrBand* g = Chain(btGroupHeader); g && g->View; g = g->Next) {
      TfrBand* target = Chain(btMasterData);
      if (!g->View->Master.empty()) {
        TfrView* named = FindPageView(g->View->Master);
        target = named && named->ObjectType == gtBand ? named->FormationBand : nullptr;
      }
      if (!target) continue;
      if (!target->FirstGroupHeader) {
        target->FirstGroupHeader = target->LastGroupHeader = g;
      } else {
        target->LastGroupHeader->NextGroupHeader = g;
        g->PrevGroupHeader = target->LastGroupHeader;
        target->LastGroupHeader = g;
      }
    }
  }

  // Page columns.
  if (Page.Columns <= 0) Page.Columns = 1;
  Page.Columns = std::min(Page.Columns, kMaxColumns);
  Page.ColumnGap = std::clamp(Page.ColumnGap, -kMaxCoordinate, kMaxCoordinate);
  Page.ColumnWidth = ClampToInt(
      (std::int64_t(RightEdge()) - LeftEdge() - std::int64_t(Page.Columns - 1) * Page.ColumnGap) /
      Page.Columns);
}

void PageFormation::LinkChildBands() {
  // Child bands: the band of the page object the band object names (the
  // first object of that name, looked up once per name).
  std::unordered_map<std::string, TfrView*> byName;
  for (const auto& v : Page.Objects) byName.try_emplace(UpperCase(v->Name), v.get());
  std::vector<TfrBand*> bands;
  for (const auto& first : BandChains)
    for (TfrBand* band = first.get(); band; band = band->Next) {
      bands.push_back(band);
      if (!band->View || band->View->ChildBand.empty()) continue;
      auto it = byName.find(UpperCase(band->View->ChildBand));
      if (it != byName.end() && it->second->FormationBand) band->Child = it->second->FormationBand;
    }

  // Each band has one child, so the chains are walked once each: a chain
  // that comes back to a band of its own walk is a cycle, and a chain's
  // length is known once its end (or an already measured band) is reached.
  std::unordered_map<const TfrBand*, int> depth;  // 0 while on the current walk
  for (TfrBand* start : bands) {
    if (depth.count(start)) continue;
    std::vector<TfrBand*> walk;
    TfrBand* band = start;
    while (band && !depth.count(band)) {
      depth[band] = 0;
      walk.push_back(band);
      band = band->Child;
    }
    if (band && depth[band] == 0) {
      const auto length = walk.end() - std::find(walk.begin(), walk.end(), band);
      throw EngineError(length == 1 ? "Band " + band->Name + " names itself as its child band"
                                    : "Child bands form a cycle through band " + band->Name);
    }
    int below = band ? depth[band] : 0;
    for (auto it = walk.rbegin(); it != walk.rend(); ++it) {
      depth[*it] = ++below;
      if (below > kMaxChildDepth)
        throw EngineError("Band " + (*it)->Name + " starts a chain of more than " +
                          std::to_string(kMaxChildDepth) + " child bands");
    }
  }
}

void PageFormation::LinkHeadersAndFooters() {
  constexpr int kLevels[3][3] = {{4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
  for (const auto& level : kLevels) {
    TfrBand* data = Chain(level[1]);
    if (!data || !data->View) continue;
    for (TfrBand* h = Chain(level[0]); h && h->View; h = h->Next) {
      for (TfrBand* d = data; d; d = d->Next) {
        if (h->BandY + h->BandHeight < d->BandY) {
          if (!d->Header) d->Header = h;
          h->OwnerDataBand = d;
          break;
        }
      }
    }
    for (TfrBand* f = Chain(level[2]); f && f->View; f = f->Next) {
      TfrBand* owner = nullptr;
      bool found = false;
      for (TfrBand* d = data; d; d = d->Next) {
        if (d->BandY + d->BandHeight > f->BandY) {
          owner = d->Prev;
          found = true;
          break;
        }
      }
      if (!found) owner = data->ChainLast ? data->ChainLast : data;
      if (!owner) continue;
      if (!owner->Footer) owner->Footer = f;
      f->OwnerDataBand = owner;
    }
  }
  // Groups: the innermost header closes with the first footer.
  std::vector<TfrBand*> headers, footers;
  for (TfrBand* h = Chain(btGroupHeader); h && h->View; h = h->Next) headers.push_back(h);
  for (TfrBand* f = Chain(btGroupFooter); f && f->View; f = f->Next) footers.push_back(f);
  for (std::size_t i = 0; i < headers.size() && i < footers.size(); ++i)
    headers[headers.size() - 1 - i]->Footer = footers[i];
}

// ---- Forming -------------------------------------------------------------

void PageFormation::ComposePage() {
  PreparationState& prep = Run.State();
  PreparationReport& outer = OuterReportOf(Run.State(), Report);
  prep.ActivePage = &Page;

  if (!Report.PrintsIfEmpty()) {
    bool empty = true;
    try {
      TfrBand* master = Chain(btMasterData);
      if (master && master->IsPresent() && master->Dataset) {
        master->Dataset->First();
        empty = master->Dataset->Eof();
      }
    } catch (const std::exception&) {
      empty = true;
    }
    if (empty) {
      if (prep.AppendToPrevious) ++prep.PageIndex;
      return;
    }
  }
  SuppressRepeatHeaders = false;
  const bool manual = Report.BuildsManually();

  if (!Recording) {
    RunPageScript(Page.ScriptLines);
    if (prep.AppendToPrevious && prep.ResumeY == prep.ResumeBottom) {
      prep.AppendToPrevious = false;
      prep.FootersPrinted = false;
      prep.PageIndex = outer.Prepared().Count();
    }
    BottomLimit = prep.AppendToPrevious && prep.FootersPrinted ? prep.ResumeBottom : BottomEdge();
    freshTopY_ = std::numeric_limits<std::int32_t>::min();
    ColumnIndex = 0;
    ColumnOffsetX = LeftEdge();
    if (!prep.AppendToPrevious) {
      outer.Prepared().AddPage(Paper);
      CurrentY = TopEdge();
      PresentBand(Chain(btOverlay));
      PresentBand(Chain(kNoBandKind));
    } else {
      CurrentY = prep.ResumeY;
    }
    const int before = prep.PageIndex;
    if (!manual) PresentBand(Chain(btReportTitle));
    if (prep.PageIndex == before) {
      TfrBand* header = Chain(btPageHeader);
      if (header->IsPresent() && header->Options().Has(BandFlag::OnFirstPage)) PresentBand(header);
      PresentBand(Chain(btColumnHeader));
    }
  }

  // Data levels: data bands with their headers, footers and groups.
  if (!manual) Run.Data().ShowDataLevels(*this);

  if (!Recording) {
    if (manual) {
      Report.BuildManually(Page);
    } else {
      SuppressRepeatHeaders = true;
      PresentBand(Chain(btColumnFooter));
      {
        // The summary's room is not shortened by the column footer.
        KeepValue<std::int32_t> footerHeight(Chain(btColumnFooter)->BandHeight);
        Chain(btColumnFooter)->BandHeight = 0;
        PresentBand(Chain(btReportSummary));
      }
      SuppressRepeatHeaders = false;
    }
    prep.ResumeY = ColumnIndex > 0 ? BottomEdge() : CurrentY;
    prep.ResumeBottom = BottomLimit;
    ColumnIndex = 0;
    ColumnOffsetX = LeftEdge();
    const int n = prep.PageIndex;
    prep.FootersPrinted = false;
    if (!manual) {
      TfrBand* footer = Chain(btPageFooter);
      if ((prep.PageIndex == 0 && footer->Options().Has(BandFlag::OnFirstPage)) ||
          footer->Options().Has(BandFlag::OnLastPage)) {
        KeepValue<std::uint16_t> flags(footer->Flags);
        footer->Flags |= flBandOnFirstPage;
        prep.FootersPrinted = footer->IsPresent();
        if (prep.FootersPrinted) WritePageFooters();
      }
    }
    FireEndPage(prep, prep.PageIndex);
    prep.PageIndex = n + 1;
  }
  LastShownBand = nullptr;
}

void PageFormation::PresentBand(TfrBand* band) {
  if (!band) return;
  if (Recording) {
    RecordedBands.emplace_back(band, 0);
    return;
  }
  band->Show();
}

bool PageFormation::PresentNamedBand(std::string_view name) {
  for (int kind = 0; kind < kBandKindCount; ++kind)
    for (TfrBand* band = Chain(kind); band; band = band->Next)
      if (band->View && EqualsIgnoreCase(band->View->Name, name)) {
        PresentBand(band);
        return true;
      }
  return false;
}

void PageFormation::BreakPage() {
  if (breakDepth_ >= kMaxBreakDepth)
    throw EngineError("The bands that begin a page do not fit on one page");
  ++breakDepth_;
  const ScopeGuard depth([this] { --breakDepth_; });
  PreparationState& prep = Run.State();
  PreparationReport& outer = OuterReportOf(Run.State(), Report);
  Report.ReportProgress(prep.PageIndex + 1);
  if (!SuppressRepeatHeaders) PresentBand(Chain(btColumnFooter));
  WritePageFooters();
  BottomLimit = BottomEdge();
  outer.Prepared().AddPage(Paper);
  prep.AppendToPrevious = false;
  PresentBand(Chain(btOverlay));
  CurrentY = TopEdge();
  freshTopY_ = CurrentY;
  PresentBand(Chain(btPageHeader));
  PresentBand(Chain(btColumnHeader));
  freshTopY_ = CurrentY;
}

namespace {

// Bands shown inside the data levels other than data bands and group
// headers: a column they start repeats the open groups' headers.
bool OpensWithOpenGroups(int kind) {
  switch (kind) {
    case btMasterHeader:
    case btMasterFooter:
    case btDetailHeader:
    case btDetailFooter:
    case btSubDetailHeader:
    case btSubDetailFooter:
    case btGroupFooter:
    case btChild: return true;
    default: return false;
  }
}

}  // namespace

void PageFormation::BreakColumn(TfrBand* band) {
  if (ColumnIndex < Page.Columns - 1) {
    PresentBand(Chain(btColumnFooter));
    ++ColumnIndex;
    // A script may have set either to anything since the page was set up.
    ColumnOffsetX = ClampToInt(std::int64_t(ColumnOffsetX) +
                               std::clamp(Page.ColumnWidth, -kMaxCoordinate, kMaxCoordinate) +
                               std::clamp(Page.ColumnGap, -kMaxCoordinate, kMaxCoordinate));
    CurrentY = ColumnTopY;
    PresentBand(Chain(btColumnHeader));
  } else {
    BreakPage();
  }
  freshTopY_ = CurrentY;
  RepeatHeaders(band);
}

void PageFormation::RepeatHeaders(TfrBand* band) {
  if (!band) return;
  auto repeat = [this](TfrBand* header) {
    header->Repeating = true;
    const ScopeGuard done([header] { header->Repeating = false; });
    PresentBand(header);
  };
  // The records of outer levels whose details go on here, outer levels
  // first, each after its own open groups when those repeat too.
  auto repeatOuter = [&](bool withGroups) {
    for (int kind : {btMasterData, btDetailData, btSubDetailData})
      for (TfrBand* data = Chain(kind); data; data = data->Next) {
        if (withGroups)
          for (TfrBand* g = data->FirstGroupHeader; g; g = g->NextGroupHeader)
            if (g->GroupOpen && g->Options().Has(BandFlag::RepeatHeader)) repeat(g);
        if (data != band && data->HeadingShown && data->Options().Has(BandFlag::RepeatHeader))
          repeat(data);
      }
  };
  const bool opensWithOpenGroups = OpensWithOpenGroups(band->Kind);
  if (!SuppressRepeatHeaders) {
    if (!opensWithOpenGroups) repeatOuter(false);
    // The group headers before the band, outermost first.
    TfrBand* stop = band->Kind == btGroupHeader ? band : nullptr;
    TfrBand* first = IsDataBandKind(band->Kind) ? band->FirstGroupHeader
                     : band->Kind == btGroupHeader && band->OwnerDataBand
                         ? band->OwnerDataBand->FirstGroupHeader
                         : nullptr;
    if (band->Kind == btGroupHeader && !first) {
      first = band;
      while (first->PrevGroupHeader) first = first->PrevGroupHeader;
    }
    for (TfrBand* g = first; g && g != stop && g != band; g = g->NextGroupHeader)
      if (g->Options().Has(BandFlag::RepeatHeader)) repeat(g);
    // Another band of the data levels starts the column: the groups still
    // open, of every data band, outer levels first.
    if (opensWithOpenGroups) repeatOuter(true);
  }
  if (IsDataBandKind(band->Kind) && band->Header &&
      band->Header->Options().Has(BandFlag::RepeatHeader))
    repeat(band->Header);
  freshTopY_ = CurrentY;
}

void PageFormation::WritePageFooters() {
  PreparationState& prep = Run.State();
  PreparationReport& outer = OuterReportOf(Run.State(), Report);
  ColumnIndex = 0;
  ColumnOffsetX = LeftEdge();
  TfrBand* footer = Chain(btPageFooter);
  if (prep.PageIndex != 0 || footer->Options().Has(BandFlag::OnFirstPage)) {
    for (; prep.PageIndex < outer.Prepared().Count(); ++prep.PageIndex) {
      if (prep.AppendToPrevious && prep.FootersPrinted) continue;
      FireEndPage(prep, prep.PageIndex);
      PresentBand(footer);
    }
  }
  prep.PageIndex = outer.Prepared().Count();
}

TfrView* PageFormation::FindPageView(std::string_view name) const {
  for (const auto& v : Page.Objects)
    if (EqualsIgnoreCase(v->Name, name)) return v.get();
  return nullptr;
}

void PageFormation::RunPageScript(const StringList& script) {
  if (script.empty()) return;
  Run.State().ActiveView = nullptr;
  Report.RunScript(script);
}

bool PageFormation::StopRequested() const {
  return Report.StopRequested || OuterReportOf(Run.State(), Report).StopRequested;
}

}  // namespace quillet
