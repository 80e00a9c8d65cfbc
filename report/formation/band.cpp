#include "report/formation/band.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/scope_guard.h"
#include "report/base/calc_errors.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/formation/formation_report.h"
#include "report/formation/group_outline.h"
#include "report/formation/page_formation.h"
#include "report/prepared/prepared_pages.h"
#include "report/prepared/rebuilt_page.h"
#include "report/template/page.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/view_bases.h"

namespace quillet {

TfrBand::TfrBand(PageFormation& page, std::uint8_t kind) : Page(&page), Kind(kind) {}

TfrBand::~TfrBand() {
  // Unlinked one by one, so a long chain does not free itself recursively.
  while (NextOwned) {
    std::unique_ptr<TfrBand> rest = std::move(NextOwned->NextOwned);
    NextOwned = std::move(rest);
  }
}

int TfrBand::FormingHeight() const {
  return Stretched && StretchedHeight > 0 ? StretchedHeight : BandHeight;
}

bool TfrBand::IsPresent() const {
  return View != nullptr || (Kind == kNoBandKind && !Views.empty());
}

bool TfrBand::HasCrossObjects() const {
  return std::any_of(Views.begin(), Views.end(), [this](const TfrView* v) {
    return v->FormationBand != this && v->FormationBand && IsCrossBand(v->FormationBand->Kind);
  });
}

bool TfrBand::Owns(const TfrView& view) const {
  return view.FormationBand == this;
}

int TfrBand::ColumnFooterHeight() const {
  const TfrBand* footer = Page->Chain(btColumnFooter);
  return footer ? footer->BandHeight : 0;
}

// ---- The showing protocol --------------------------------------------------

bool TfrBand::Show() {
  // A band and its chain of children are shown one after another rather
  // than nested, so a long chain costs no stack: each band's closing steps
  // (the new page it asks for, OnEndBand) wait until its children are shown,
  // innermost first.
  std::vector<std::pair<TfrBand*, bool>> opened;  // band, whether it was drawn
  bool result = false;
  for (TfrBand* band = this; band;) {
    if (band != this && Page->Recording) {
      Page->PresentBand(band);
      break;
    }
    bool bandResult = false, drawn = false;
    TfrBand* child = nullptr;
    const bool open = band->OpenShowing(bandResult, drawn, child);
    if (band == this) result = bandResult;
    if (!open) break;
    opened.emplace_back(band, drawn);
    band = child;
  }
  for (auto it = opened.rbegin(); it != opened.rend(); ++it) it->first->CloseShowing(it->second);
  return result;
}

bool TfrBand::OpenShowing(bool& result, bool& drawn, TfrBand*& child) {
  PreparationState& prep = Page->Run.State();
  PageFormation& page = *Page;
  FormationReport& report = page.Report;
  PreparationReport& outer = OuterReportOf(prep, report);
  prep.ActiveView = View;
  prep.ActiveBand = this;
  ShowingHeight = -1;
  ForcedNewPages = 0;
  ForcedNewColumns = 0;
  report.OnBeginBand(*this);

  TfrBand* last = page.LastShownBand;
  if (last && last != this && last->IsPresent() && last->ColumnCounter > 1) {
    // A multi-column band was left in the middle of a row: the row is
    // closed, once (the bands shown after it must not close it again).
    page.ColumnOffsetX = last->SavedX;
    page.CurrentY += last->BandHeight;
    last->ColumnCounter = 1;
  }

  KeepYAfterBreaks = false;
  if (!SkipScriptOnce) report.RunBandScript(View);
  SkipScriptOnce = false;
  const int y0 = page.CurrentY;
  if (report.StopRequested || outer.StopRequested) return false;  // no OnEndBand

  for (int i = 0; i < ForcedNewPages; ++i) {
    page.ColumnIndex = page.Page.Columns - 1;
    page.BreakColumn(this);
  }
  for (int i = 0; i < ForcedNewColumns; ++i) page.BreakColumn(this);
  if (KeepYAfterBreaks) page.CurrentY = y0;
  prep.ActiveBand = this;

  if (Visible) {
    if (Kind == btColumnHeader) page.ColumnTopY = page.CurrentY;
    if (Kind == btPageFooter) BandY = page.BottomLimit;
    if (IsPresent()) {
      ShowingHeight = BandHeight;
      if (Kind != btPageFooter && Kind != btOverlay && Kind != btColumnFooter &&
          Kind != kNoBandKind) {
        const int h = MeasureHeight();
        if (page.BottomLimit < AddSat(page.CurrentY, h) && !Breaked) {
          if (page.SubReportTarget) {
            result = true;
            return false;  // no OnEndBand
          }
          if (page.AtFreshTop()) FitsNoPage(h);
          CheckSpace(0, 10000, false);
        }
      }
      SubReportDone = true;
      prep.ActiveBand = this;
      if (IsDataBandKind(Kind) && Dataset && Next && !Next->Dataset) {
        // The bands after it in its chain have no data of their own: they
        // are drawn with it, once per record.
        for (TfrBand* b = this; b && (b == this || !b->Dataset); b = b->Next) {
          prep.ActiveBand = b;
          prep.ActiveView = b->View;
          b->DrawBand();
        }
      } else {
        // A group header starts an outline entry where it lands; a repeated
        // one continues its group and adds none.
        const bool outlined = Kind == btGroupHeader && !Repeating;
        PageOutlineEntry entry;
        if (outlined) entry = BeginGroupOutlineEntry(*this);
        DrawBand();
        if (outlined) AddGroupOutlineEntry(*this, std::move(entry));
        child = Child;
        drawn = true;
      }
      // A sub-report of the band goes on (on the next page).
      if (!SubReportDone) result = true;
    }
  } else {
    if (Child && PrintChildIfInvisible) child = Child;
    if (IsDataBandKind(Kind) && !Repeating) Page->Run.Data().Accumulate(*this);
  }
  return true;
}

void TfrBand::CloseShowing(bool drawn) {
  if (drawn && !IsDataBandKind(Kind) && Kind != btGroupHeader && FormNewPage && Visible)
    Page->BreakPage();
  if (!Repeating) {
    // A page footer keeps its values until the last prepared page.
    if (Kind != btPageFooter ||
        Page->Run.State().PageIndex + 1 >=
            OuterReportOf(Page->Run.State(), Page->Report).Prepared().Count())
      Page->Run.Data().Reset(*this);
  }
  Page->Report.OnEndBand(*this);
}

// ---- Drawing one showing ---------------------------------------------------

void TfrBand::DrawBand() {
  PageFormation& page = *Page;
  const int rememberedY = BandY;
  const bool fixed = IsFixedBandKind(Kind);
  if (!fixed) BandY = page.CurrentY;

  if (Stretched && !fixed) {
    int h = ShowingHeight;
    // The band's own objects and its intersections with the cross columns.
    for (TfrView* v : Views)
      if (dynamic_cast<TfrStretcheable*>(v) && v->IsStretched() && v->Height > 0)
        v->Height = h - v->Top;
    StretchedHeight = h;
    if (!Breaked) MakeRoom(h);
    BandY = page.CurrentY;
    bool tookOver = false;
    if (Breaked) {
      DrawSplit();
      h = 0;
    } else {
      tookOver = OutputObjects();
      if (!tookOver) DrawCrossObjects();
    }
    RestoreHeights();
    if (!tookOver) page.CurrentY += h;
  } else {
    if (!fixed && !Breaked) {
      MakeRoom(BandHeight);
      BandY = page.CurrentY;
    }
    if (Breaked && !fixed) {
      StretchedHeight = ShowingHeight;
      DrawSplit();
    } else {
      const bool tookOver = OutputObjects();
      if (!tookOver) DrawCrossObjects();
      if (!fixed && !tookOver) page.CurrentY += BandHeight;
    }
    RestoreHeights();
  }

  // Multi-column bands: showings side by side, then a new row.
  if (page.LastShownBand != this) ColumnCounter = 1;
  page.LastShownBand = this;
  if (View && View->Columns > 1 && View->NewColumnAfter == 1) {
    if (ColumnCounter == 1) SavedX = page.ColumnOffsetX;
    ++ColumnCounter;
    if (ColumnCounter > View->Columns) {
      page.ColumnOffsetX = SavedX;
      ColumnCounter = 1;
    } else {
      page.ColumnOffsetX = (View->ColumnWidth + View->ColumnGap) * (ColumnCounter - 1) + SavedX;
      page.CurrentY -= ShowingHeight;
    }
  }
  BandY = rememberedY;
  // A record repeated above its details on a new page was counted already.
  if (IsDataBandKind(Kind) && !Repeating) Page->Run.Data().Accumulate(*this);
}

void TfrBand::DrawCrossObjects() {
  if (Kind != btPageFooter && HasCrossObjects()) Page->Run.Data().DrawCrossObjects(*this);
}

bool TfrBand::OutputObjects() {
  PreparationReport& outer = OuterReportOf(Page->Run.State(), Page->Report);
  for (std::size_t i = 0; i < Views.size(); ++i) {
    TfrView* v = Views[i];
    if (v->ObjectType == gtSubReport) {
      if (v->Visible == 0 || !Owns(*v)) continue;
      // The first visible sub-report takes the rest of the band with it.
      FormSubReports(i);
      return true;
    }
    OutputObject(*v);
    if (outer.StopRequested) break;
  }
  return false;
}

void TfrBand::FormSubReports(std::size_t first) {
  PageFormation& page = *Page;
  const int pages = OuterReportOf(page.Run.State(), page.Report).Prepared().Count();
  const std::int64_t reserved =
      std::int64_t(page.CurrentY) + (Stretched ? StretchedHeight : BandHeight);
  page.Run.Data().FormSubReports(*this, first);
  if (OuterReportOf(page.Run.State(), page.Report).Prepared().Count() == pages)
    page.CurrentY = std::max(page.CurrentY, ClampToInt(reserved));
  page.Run.State().ActivePage = &page.Page;
  page.Run.State().ActiveBand = this;
}

void TfrBand::OutputObject(TfrView& view) {
  PreparationState& prep = Page->Run.State();
  PageFormation& page = *Page;
  prep.ActivePage = &page.Page;
  prep.ActiveBand = this;
  if (!Owns(view)) return;
  try {
    if (Breaked || !prep.CountingPass) {
      TfrEMFPages& pages = OuterReportOf(page.Run.State(), page.Report).Prepared();
      if (prep.PageIndex < 0 || prep.PageIndex >= pages.Count())
        throw EngineError("There is no prepared page " + std::to_string(prep.PageIndex + 1) +
                          " to write into");
      const int x = view.Left;
      const int y = view.Top;
      const KeepValue<std::int32_t> keepLeft(view.Left);
      const KeepValue<std::int32_t> keepTop(view.Top);
      const std::int64_t left = std::int64_t(page.ColumnOffsetX) + x - page.LeftEdge();
      const std::int64_t top = std::int64_t(y) + BandY;
      // Prepared pages hold objects on their page; one placed kilometres
      // away (a damaged template) is refused loudly.
      auto far = [](std::int64_t v) { return v < -kMaxPageCoordinate || v > kMaxPageCoordinate; };
      if (far(left) || far(top) || far(view.Width) || far(view.Height) ||
          far(std::int64_t(top) + view.Height))
        throw EngineError("Object " + view.Name + " lies too far outside its page");
      view.Left = static_cast<std::int32_t>(left);
      view.Top = static_cast<std::int32_t>(top);
      view.Record(pages.RecordStream(prep.PageIndex));
    } else {
      prep.ActiveView = &view;
      auto* stretcheable = dynamic_cast<TfrStretcheable*>(&view);
      if (view.ObjectType == gtMemo && stretcheable && stretcheable->DrawPass != 0) return;
      page.Report.RunViewScript(view);
    }
  } catch (const std::exception& e) {
    RecordCalcError(Page->Run.State(), e.what());
  }
}

// ---- Space, heights --------------------------------------------------------

bool TfrBand::CheckSpace(int y, int h, bool testOnly) {
  if (Kind == btColumnFooter) return false;
  const bool fits = Page->BottomLimit >= std::int64_t(y) + h + ColumnFooterHeight();
  if (!fits && !testOnly) Page->BreakColumn(this);
  return !fits;
}

void TfrBand::MakeRoom(int h) {
  if (!CheckSpace(Page->CurrentY, h, true)) return;
  if (!Page->AtFreshTop()) {
    Page->BreakColumn(this);
    if (!CheckSpace(Page->CurrentY, h, true)) return;
  }
  FitsNoPage(h);
}

void TfrBand::FitsNoPage(int h) const {
  throw EngineError("Band " + Name + " is " + std::to_string(h) +
                    " pixels high and fits on no page");
}

void TfrBand::SaveHeights() {
  savedHeights_.clear();
  savedHeights_.reserve(Views.size());
  for (TfrView* v : Views) savedHeights_.push_back(v->Height);
}

void TfrBand::RestoreHeights() {
  if (savedHeights_.size() != Views.size()) return;
  for (std::size_t i = 0; i < Views.size(); ++i) Views[i]->Height = savedHeights_[i];
  savedHeights_.clear();
}

int TfrBand::MeasureHeight() {
  // A data band drawn together with the following bands of its chain needs
  // room for all of them; each keeps its own showing height for drawing.
  static bool inChain = false;
  if (!inChain && IsDataBandKind(Kind) && Dataset && Next && !Next->Dataset) {
    inChain = true;
    struct Done {
      ~Done() { inChain = false; }
    } done;
    std::int64_t total = MeasureHeight();
    for (TfrBand* b = Next; b && !b->Dataset; b = b->Next) total += b->MeasureHeight();
    return ClampToInt(std::min<std::int64_t>(total, PageFormation::kMaxCoordinate));
  }
  ShowingHeight = BandHeight;
  SaveHeights();
  if (!Stretched) return ShowingHeight;
  // With cross objects the band is as high as its tallest column needs.
  const bool cross = Kind != btPageFooter && HasCrossObjects();
  auto measure = [this, cross] {
    int h = BandHeight;
    for (TfrView* v : Views) {
      auto* s = dynamic_cast<TfrStretcheable*>(v);
      if (!s || (!cross && !Owns(*v))) continue;
      if (!Owns(*v)) s->DrawPass = 0;
      Page->Run.State().ActiveView = v;
      try {
        h = std::max(h, ClampToInt(std::int64_t(v->Top) + s->CalcHeight()));
      } catch (const std::exception& e) {
        RecordCalcError(Page->Run.State(), e.what());
      }
    }
    return h;
  };
  const int h = cross ? Page->Run.Data().MeasureCrossColumns(*this, measure) : measure();
  // Content taller than any page could hold is cut to a bound, so the sums
  // of page positions cannot wrap. A band that breaks over pages carries
  // all of it on (a memo's 65,535 lines of 12-point type need some 1.2
  // million pixels); any other band shows one page of it at most.
  ShowingHeight = std::min(h, Breaked ? kMaxPageCoordinate : PageFormation::kMaxCoordinate);
  return ShowingHeight;
}

// ---- Breakable bands -----------------------------------------------------

void TfrBand::DrawSplit() {
  PageFormation& page = *Page;
  PreparationReport& outer = OuterReportOf(page.Run.State(), page.Report);
  struct Item {
    TfrView* view;
    std::int32_t left, top, width, height;
    bool pending;
  };
  std::vector<Item> items;
  items.reserve(Views.size());
  for (TfrView* v : Views) items.push_back({v, v->Left, v->Top, v->Width, v->Height, Owns(*v)});
  const ScopeGuard restore([&items] {
    for (Item& it : items) {
      it.view->Left = it.left;
      it.view->Top = it.top;
      it.view->Width = it.width;
      it.view->Height = it.height;
    }
  });
  for (Item& it : items)
    if (it.view->BandAlign == baBottom) it.view->Top = ShowingHeight - it.view->Height;

  if (!CheckSpace(BandY, StretchedHeight, true)) {
    if (!OutputObjects()) page.CurrentY += StretchedHeight;
    return;
  }

  bool progress = false;  // the current part wrote something new
  // Writes a piece of a stretchable object cut to `pieceHeight`; what did
  // not fit grows the object by its leftover and pushes down what lies
  // below it.
  auto cut = [&](Item& it, TfrStretcheable& s, int pieceHeight) {
    TfrView& v = *it.view;
    const int y = v.Top;
    const int fullHeight = v.Height;
    if (s.DrawPass == 0) {
      Page->Run.State().ActiveView = &v;
      s.CalcHeight();  // lays the text out, so the piece takes the lines that fit
    }
    v.Height = pieceHeight;
    s.DrawPass = 2;
    auto* memo = dynamic_cast<TfrMemoView*>(&v);
    const std::size_t linesBefore = memo ? memo->LinesLeft() : 0;
    OutputObject(v);
    if (!memo || memo->LinesLeft() < linesBefore) progress = true;
    const int leftover = s.LeftoverHeight();
    v.Top = y;
    v.Height = AddSat(fullHeight, leftover);
    for (Item& other : items) {
      if (&other == &it || !other.pending) continue;
      TfrView& o = *other.view;
      if (o.Top >= std::int64_t(y) + fullHeight && o.Left >= v.Left &&
          o.Left <= std::int64_t(v.Left) + v.Width)
        o.Top = AddSat(o.Top, leftover);
    }
  };

  int lowest = 0;
  bool freshPart = false;
  while (!outer.StopRequested) {
    const int limit = ClampToInt(std::int64_t(page.BottomLimit) - ColumnFooterHeight() - BandY - 2);
    if (freshPart && limit <= 0)
      throw EngineError("A breakable band has no room left on a new page");
    lowest = 0;
    progress = false;
    for (Item& it : items) {
      if (!it.pending) continue;
      TfrView& v = *it.view;
      auto* s = dynamic_cast<TfrStretcheable*>(&v);
      if (v.Top < 0) {
        // Continued from the previous part.
        const int rest = AddSat(v.Top, v.Height);
        if (rest <= 0 || !s) {
          it.pending = false;
          continue;
        }
        v.Top = 0;
        v.Height = rest;
        if (rest < limit) {
          s->DrawPass = 2;
          OutputObject(v);
          it.pending = false;
          progress = true;
          lowest = std::max(lowest, rest);
        } else {
          s->DrawPass = 2;  // the rest of the laid-out text, not a new layout
          cut(it, *s, AddSat(limit, 1));
          lowest = std::max(lowest, AddSat(limit, 1));
        }
        continue;
      }
      if (v.Top >= limit) continue;
      if (std::int64_t(v.Top) + v.Height < limit) {
        OutputObject(v);
        it.pending = false;
        progress = true;
        lowest = std::max(lowest, v.Top + v.Height);
      } else if (s && s->LeastPieceHeight() < std::int64_t(limit) - v.Top + 1) {
        const int piece = limit - v.Top + 1;
        const int top = v.Top;
        cut(it, *s, piece);
        lowest = std::max(lowest, top + piece);
      } else if (freshPart && v.Top == 0) {
        // Taller than any page can hold: written whole rather than carried
        // from page to page for ever.
        OutputObject(v);
        it.pending = false;
        progress = true;
        lowest = std::max(lowest, v.Height);
      } else {
        v.Top = limit;
      }
    }
    bool remaining = false;
    for (Item& it : items) {
      if (!it.pending) continue;
      it.view->Top = SubSat(it.view->Top, limit);
      remaining = true;
    }
    if (!remaining || outer.StopRequested) break;
    // A fresh page or column on which nothing more could be written would
    // repeat for ever (text whose lines fit no piece, say).
    if (freshPart && !progress)
      throw EngineError("Band " + Name + " cannot be continued: nothing of it fits a page");
    // The column footer of the new column or page follows the written part
    // rather than the band's top.
    page.CurrentY = BandY + lowest;
    page.BreakColumn(this);
    Page->Run.State().ActiveBand = this;
    BandY = page.CurrentY;
    freshPart = true;
  }
  StretchedHeight = lowest;
  page.CurrentY += StretchedHeight;
}

}  // namespace quillet
