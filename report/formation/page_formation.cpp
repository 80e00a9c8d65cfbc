#include "report/formation/page_formation.h"

#include <algorithm>
#include <cctype>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "report/views/band_view.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/template/page.h"
#include "report/printer/printer.h"
#include "report/component/report.h"
#include "report/views/subreport_view.h"
#include "report/views/memo/memo_view.h"
#include "report/expr/dataset_components.h"
#include "report/expr/expression_globals.h"
#include "report/formation/data_seams.h"
#include "report/base/text_format.h"

namespace quillet {
namespace {

TfrReport& OuterOf(TfrReport& report) {
  auto* outer = dynamic_cast<TfrReport*>(Prep().OuterReport);
  return outer ? *outer : report;
}

// Restores a value when the scope ends, also when an error passes through.
template <typename T>
struct KeepValue {
  T& ref;
  T saved;
  explicit KeepValue(T& r) : ref(r), saved(r) {}
  ~KeepValue() { ref = saved; }
};

}  // namespace

PageFormation::PageFormation(TfrPage& page, TfrReport& report) : Page(page), Report(report) {}

PageFormation::~PageFormation() {
  FreeBands();
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
  return Page.Margins.Right != 0 ? info.PaperWidthPx - Page.Margins.Right
                                 : info.OffsetXPx + info.PrintableWidthPx;
}

int PageFormation::BottomEdge() const {
  const PrinterPageInfo& info = Paper.PageInfo;
  int bottom;
  if (Page.MarginsApply == 0)
    bottom = info.PaperHeightPx;
  else
    bottom = Page.Margins.Bottom != 0 ? info.PaperHeightPx - Page.Margins.Bottom
                                      : info.OffsetYPx + info.PrintableHeightPx;
  if (Prep().RenderActive && Present(3)) bottom -= Chain(3)->BandHeight;
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
  if (PrinterState().EnginePrinter) {
    ApplyPagePaper(EnginePrinter(), Paper);
    return;
  }
  // No printer service at all: the paper as it stands, all of it printable.
  PrinterPageInfo& info = Paper.PageInfo;
  info = PrinterPageInfo{};
  info.PaperWidthPx = Round(Paper.PaperWidthTenths * ReportPixelsPerInch / 254);
  info.PaperHeightPx = Round(Paper.PaperHeightTenths * ReportPixelsPerInch / 254);
  info.PrintableWidthPx = info.PaperWidthPx;
  info.PrintableHeightPx = info.PaperHeightPx;
}

// ---- Set-up and finish -----------------------------------------------------

void PageFormation::SetUpPage() {
  PreparationState& prep = Prep();
  TfrReport& outer = OuterOf(Report);
  if (SetUpDone && outer.InFinalPass && outer.TwoPassRequested) {
    // The bands survived the counting pass: only their data start again.
    for (int kind = 0; kind < kBandKindCount; ++kind)
      if (TfrBand* band = Chain(kind); band && band->Dataset) band->Dataset->First();
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
  // Texts are not bound to data fields ahead: a data reference is resolved
  // each time its text is expanded.
  Prep().ActivePage = &Page;
  for (const auto& view : Page.Objects) {
    view->BoundDataSet = nullptr;
    view->BoundFieldName.clear();
  }
  if (DataSeams().PreScanAggregates) DataSeams().PreScanAggregates(*this);
}

void PageFormation::FinishPage() {
  // The bands stay for the final pass of a two-pass run.
  if (Prep().CountingPass) return;
  if (SetUpDone && Page.Type != ptDialog) FreeBands();
  SetUpDone = false;
}

void PageFormation::FreeBands() {
  PreparationState& prep = Prep();
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
  for (const auto& view : Page.Objects) view->FormationBand = nullptr;
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
  band.Stretched = (view.Flags & flStretched) != 0;
  band.PrintIfSubsetEmpty = (view.Flags & flBandPrintIfSubsetEmpty) != 0;
  band.PrintChildIfInvisible = (view.Flags & flBandPrintChildIfInvisible) != 0;
  band.FormNewPage = !SubReportTarget && (view.Flags & flBandFormNewPage) != 0;
  band.Breaked = !SubReportTarget && (view.Flags & flBandBreaked) != 0;
  if (band.Kind == btGroupHeader) {
    band.Condition = Expressions().Parser.ToPostfix(view.FormatText);
    return;
  }
  band.DataSource = view.FormatText;
  const std::string& source = band.DataSource;
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
    band.Dataset = counted.get();
    band.OwnedDataset = std::move(counted);
  }
  // Any other text names a data set the host registered.
  if (!band.Dataset && !source.empty()) {
    if (DataSetComponent* named = FindDatasetComponent(source)) {
      band.Dataset = &named->Dataset();
      band.Dataset->OpenData();
    }
  }
  if (band.Kind == btMasterData && !band.Dataset && Report.ReportType == rtSimple)
    band.Dataset = Report.Dataset;
}

void PageFormation::TakeBandObjects(TfrBand& band) {
  const int top = band.BandY;
  const int bottom = band.BandY + band.BandHeight;
  auto inside = [&](const TfrView& v) {
    return v.FormationFlag && v.Top >= top && v.Top <= bottom;
  };
  auto take = [&](TfrView& v, bool setOwner) {
    v.Top -= top;
    v.FormationFlag = 0;
    if (setOwner) v.FormationBand = &band;
    band.Views.push_back(&v);
  };
  for (const auto& v : Page.Objects)
    if (inside(*v) && !v->FormationBand && v->ObjectType != gtSubReport) take(*v, true);
  for (const auto& v : Page.Objects)
    if (inside(*v) && v->FormationBand && IsCrossBand(v->FormationBand->Kind)) take(*v, false);
  for (const auto& v : Page.Objects)
    if (inside(*v) && !v->FormationBand && v->ObjectType == gtSubReport) take(*v, true);
}

void PageFormation::PlaceObjects() {
  std::vector<TfrBandView*> bandViews;
  for (const auto& v : Page.Objects) {
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
        memo->HighlightPostfix = Expressions().Parser.ToPostfix(memo->HighlightCondition);
      } catch (const ParserError&) {
        memo->HighlightPostfix.clear();
      }
    }
    v->FormationFlag = v->ObjectType == gtBand ? 0 : 1;
    v->FormationBand = nullptr;
    if (auto* b = dynamic_cast<TfrBandView*>(v.get())) bandViews.push_back(b);
    if (auto* sub = dynamic_cast<TfrSubReportView*>(v.get())) {
      const auto& pages = Report.Template.Pages;
      if (sub->SubPageIndex >= 0 && static_cast<std::size_t>(sub->SubPageIndex) < pages.size())
        if (PageFormation* target = Report.FormationOf(*pages[sub->SubPageIndex]))
          target->SubReportTarget = true;
    }
  }

  // Cross (vertical) bands first: one band per kind, the last object wins.
  bool anyCross = false;
  for (TfrBandView* bv : bandViews) {
    if (!IsCrossBand(bv->FrameTyp)) continue;
    TfrBand& band = *Chain(bv->FrameTyp);
    ConfigureBand(band, *bv);
    anyCross = true;
  }
  if (anyCross) {
    for (int kind = btCrossHeader; kind <= btCrossFooter; ++kind) {
      TfrBand& band = *Chain(kind);
      if (!band.View) continue;
      for (const auto& v : Page.Objects) {
        if (!v->FormationFlag || v->FormationBand) continue;
        if (v->Left >= band.BandX && v->Left + v->Width <= band.BandX + band.BandWidth) {
          v->Left -= band.BandX;
          v->FormationBand = &band;
          band.Views.push_back(v.get());
        }
      }
    }
  }

  // Horizontal bands, kind by kind, each chain ordered by its top.
  for (int kind = 0; kind <= btChild; ++kind) {
    if (IsCrossBand(kind)) continue;
    auto& first = BandChains[static_cast<std::size_t>(kind)];
    std::vector<std::unique_ptr<TfrBand>> chain;
    chain.push_back(std::move(first));
    bool configured = false;
    for (TfrBandView* bv : bandViews) {
      if (bv->FrameTyp != kind) continue;
      if (configured)
        chain.push_back(std::make_unique<TfrBand>(*this, static_cast<std::uint8_t>(kind)));
      configured = true;
      ConfigureBand(*chain.back(), *bv);
      TakeBandObjects(*chain.back());
    }
    for (std::size_t i = 0; i < chain.size(); ++i) {
      std::size_t best = i;
      for (std::size_t j = i + 1; j < chain.size(); ++j)
        if (chain[j]->BandY < chain[best]->BandY) best = j;
      std::swap(chain[i], chain[best]);
    }
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
  TfrBand& none = *Chain(kNoBandKind);
  for (const auto& v : Page.Objects) {
    if (!v->FormationFlag || v->FormationBand) continue;
    v->FormationBand = &none;
    none.Views.push_back(v.get());
  }

  LinkHeadersAndFooters();

  // Child bands: the band of the page object the band object names.
  for (const auto& first : BandChains)
    for (TfrBand* band = first.get(); band; band = band->Next) {
      if (!band->View || band->View->ChildBand.empty()) continue;
      if (TfrView* child = FindPageView(band->View->ChildBand); child && child->FormationBand)
        band->Child = child->FormationBand;
    }

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
  ColumnWidth = ClampToInt((std::int64_t(RightEdge()) - LeftEdge() -
                            std::int64_t(Page.Columns - 1) * Page.ColumnGap) /
                           Page.Columns);
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
  PreparationState& prep = Prep();
  TfrReport& outer = OuterOf(Report);
  prep.ActivePage = &Page;

  if (!Report.PrintIfEmpty) {
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
  const bool manual = static_cast<bool>(Report.Events.OnManualBuild);

  if (!Recording) {
    RunPageScript(Page.ScriptLines);
    if (prep.AppendToPrevious && prep.ResumeY == prep.ResumeBottom) {
      prep.AppendToPrevious = false;
      prep.FootersPrinted = false;
      prep.PageIndex = outer.PreparedPages.Count();
    }
    BottomLimit = prep.AppendToPrevious && prep.FootersPrinted ? prep.ResumeBottom : BottomEdge();
    ColumnIndex = 0;
    ColumnOffsetX = LeftEdge();
    if (!prep.AppendToPrevious) {
      outer.PreparedPages.AddPage(Paper);
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
      if (header->IsPresent() && (header->Flags & flBandOnFirstPage)) PresentBand(header);
      PresentBand(Chain(btColumnHeader));
    }
  }

  // Data levels: data bands with their headers, footers and groups.
  if (!manual && DataSeams().ShowDataLevels) DataSeams().ShowDataLevels(*this);

  if (!Recording) {
    if (manual) {
      Report.Events.OnManualBuild(Page);
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
      if ((prep.PageIndex == 0 && (footer->Flags & flBandOnFirstPage)) ||
          (footer->Flags & flBandOnLastPage)) {
        KeepValue<std::uint16_t> flags(footer->Flags);
        footer->Flags |= flBandOnFirstPage;
        prep.FootersPrinted = footer->IsPresent();
        if (prep.FootersPrinted) WritePageFooters();
      }
    }
    TfrReport::FireEndPage(prep.PageIndex);
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
  struct Depth {
    int& d;
    ~Depth() { --d; }
  } depth{breakDepth_};
  PreparationState& prep = Prep();
  TfrReport& outer = OuterOf(Report);
  Report.ReportProgress(prep.PageIndex + 1);
  if (!SuppressRepeatHeaders) PresentBand(Chain(btColumnFooter));
  WritePageFooters();
  BottomLimit = BottomEdge();
  outer.PreparedPages.AddPage(Paper);
  prep.AppendToPrevious = false;
  PresentBand(Chain(btOverlay));
  CurrentY = TopEdge();
  PresentBand(Chain(btPageHeader));
  PresentBand(Chain(btColumnHeader));
}

void PageFormation::BreakColumn(TfrBand* band) {
  if (ColumnIndex < Page.Columns - 1) {
    PresentBand(Chain(btColumnFooter));
    ++ColumnIndex;
    ColumnOffsetX += ColumnWidth + Page.ColumnGap;
    CurrentY = ColumnTopY;
    PresentBand(Chain(btColumnHeader));
  } else {
    BreakPage();
  }
  if (!band) return;
  auto repeat = [this](TfrBand* header) {
    header->Repeating = true;
    struct Done {
      TfrBand* h;
      ~Done() { h->Repeating = false; }
    } done{header};
    PresentBand(header);
  };
  if (!SuppressRepeatHeaders) {
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
      if (g->Flags & flBandRepeatHeader) repeat(g);
  }
  if (IsDataBandKind(band->Kind) && band->Header && (band->Header->Flags & flBandRepeatHeader))
    repeat(band->Header);
}

void PageFormation::WritePageFooters() {
  PreparationState& prep = Prep();
  TfrReport& outer = OuterOf(Report);
  ColumnIndex = 0;
  ColumnOffsetX = LeftEdge();
  TfrBand* footer = Chain(btPageFooter);
  if (prep.PageIndex != 0 || (footer->Flags & flBandOnFirstPage)) {
    for (; prep.PageIndex < outer.PreparedPages.Count(); ++prep.PageIndex) {
      if (prep.AppendToPrevious && prep.FootersPrinted) continue;
      TfrReport::FireEndPage(prep.PageIndex);
      PresentBand(footer);
    }
  }
  prep.PageIndex = outer.PreparedPages.Count();
}

TfrView* PageFormation::FindPageView(std::string_view name) const {
  for (const auto& v : Page.Objects)
    if (EqualsIgnoreCase(v->Name, name)) return v.get();
  return nullptr;
}

void PageFormation::RunPageScript(const StringList& script) {
  if (script.empty()) return;
  Prep().ActiveView = nullptr;
  Report.RunScript(script);
}

bool PageFormation::StopRequested() const {
  return Report.StopRequested || OuterOf(Report).StopRequested;
}

}  // namespace quillet
