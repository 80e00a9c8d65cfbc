#include "report/views/view.h"

#include <algorithm>
#include <cstdio>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/base/forming_band.h"
#include "report/base/preparation_report.h"
#include "report/expr/brackets.h"
#include "report/views/band_view.h"
#include "report/views/object_records.h"
#include "report/views/view_bases.h"
#include "report/views/view_page.h"

namespace quillet {

TfrView::TfrView() {
  DisplayFormat = 512 + static_cast<unsigned char>(Globals().DecimalSeparator);
}

TfrView::~TfrView() = default;

void TfrView::SetGeometry(int left, int top, int width, int height) {
  Left = left;
  Top = top;
  Width = width;
  Height = height;
}

void TfrView::Draw(Canvas&) {
  throw AbstractError();
}

int TfrView::DeviceRight() const {
  return Round((double(Saved.Left) + Saved.Width) * DeviceScaleX + double(DeviceOffsetX));
}

int TfrView::DeviceBottom() const {
  return Round((double(Saved.Top) + Saved.Height) * DeviceScaleY + double(DeviceOffsetY));
}

EngineGlobals& TfrView::Globals() const {
  // A view on no page (one a script or a test makes on its own) belongs to
  // the process's engine.
  return OwnerPage ? OwnerPage->Globals() : Engine();
}

PreparationState& TfrView::Run() const {
  return Globals().Run;
}

void TfrView::PrepareDraw() {
  Saved = {Left, Top, Width, Height, GapX, GapY, FrameWidth};
  if (!Run().RenderActive) {
    DeviceScaleX = DeviceScaleY = 1.0;
    DeviceOffsetX = DeviceOffsetY = 0;
  }
  const double sx = DeviceScaleX;
  const double sy = DeviceScaleY;
  const double w = Saved.FrameWidth;
  // Sums are taken in 64 bits and saturate: values from files may be extreme.
  Left = ClampToInt(std::int64_t(Round(Saved.Left * sx)) + DeviceOffsetX);
  Top = ClampToInt(std::int64_t(Round(Saved.Top * sy)) + DeviceOffsetY);
  Width = Round(Saved.Width * sx);
  Height = Round(Saved.Height * sy);
  const int insetX = Round((w * sx - 1) / 2);
  const int halfX = Round(w * sx / 2);
  const int insetY = Round((w * sy - 1) / 2);
  const int halfY = Round(w * sy / 2);
  FrameWidth = static_cast<float>(w * sx);
  GapX = ClampToInt(std::int64_t(Round(Saved.GapX * sx)) + halfX);
  GapY = ClampToInt(std::int64_t(Round(Saved.GapY * sy)) + Div(halfY, 2));
  std::int64_t right = DeviceRight();
  std::int64_t bottom = DeviceBottom();
  if (Sides().Has(FrameSide::Right)) right -= halfX;
  if (Sides().Has(FrameSide::Bottom)) bottom -= halfY;
  const std::int64_t left = Sides().Has(FrameSide::Left) ? std::int64_t(Left) + insetX : Left;
  const std::int64_t top = Sides().Has(FrameSide::Top) ? std::int64_t(Top) + insetY : Top;
  DrawRect = {ClampToInt(left), ClampToInt(top), ClampToInt(right + 1), ClampToInt(bottom + 1)};
}

void TfrView::RestoreCoords() {
  Left = Saved.Left;
  Top = Saved.Top;
  Width = Saved.Width;
  Height = Saved.Height;
  GapX = Saved.GapX;
  GapY = Saved.GapY;
  FrameWidth = Saved.FrameWidth;
}

void TfrView::AttachCanvas(Canvas* canvas) {
  Canvas_ = canvas;
  Run().ActiveView = this;
  ApplyBandAlignment();
}

namespace {

// Views of the same row, ordered by their Left written as decimal text of at
// least four digits (numeric order for 0 .. 9999, text order beyond).
std::vector<TfrView*> SameRow(const ViewPage& page, const TfrView& view) {
  std::vector<std::pair<std::string, TfrView*>> keyed;
  for (std::size_t i = 0; i < page.ObjectCount(); ++i) {
    TfrView* v = page.ObjectAt(i);
    if (!v || v == &view || v->ObjectType == gtBand || v->Top != view.Top) continue;
    char key[16];
    std::snprintf(key, sizeof key, "%04d", v->Left);
    keyed.emplace_back(key, v);
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<TfrView*> row;
  for (auto& k : keyed) row.push_back(k.second);
  return row;
}

// The last candidate with the alignment left of `left`, or nullptr.
TfrView* LeftNeighbour(const std::vector<TfrView*>& row, int left, BandAlignment align) {
  TfrView* found = nullptr;
  for (TfrView* v : row)
    if (v->Alignment() == align && v->Left < left) found = v;
  return found;
}

// The first candidate with the alignment right of `left`, or nullptr.
TfrView* RightNeighbour(const std::vector<TfrView*>& row, int left, BandAlignment align) {
  for (TfrView* v : row)
    if (v->Alignment() == align && v->Left > left) return v;
  return nullptr;
}

}  // namespace

void TfrView::ApplyBandAlignment() {
  ViewPage* page = Run().ActivePage;
  if (!page || Alignment() == baNone) return;
  // Edges are summed in 64 bits and saturate, whatever the stored values.
  using I64 = std::int64_t;
  const I64 leftLimit = page->LeftLimit();
  const I64 rightLimit = page->RightLimit();
  const std::vector<TfrView*> row = SameRow(*page, *this);
  auto rightEdge = [](const TfrView* v) { return I64(v->Left) + v->Width; };
  switch (Alignment()) {
    case baLeft: {
      TfrView* n = LeftNeighbour(row, Left, baLeft);
      const I64 edge = n ? rightEdge(n) : leftLimit;
      // A neighbour that already runs past the right limit leaves the view
      // where it is, rather than giving it a negative width.
      if (edge <= rightLimit) Left = ClampToInt(edge);
      break;
    }
    case baRight: {
      TfrView* n = RightNeighbour(row, Left, baRight);
      Left = ClampToInt(n ? I64(n->Left) - Width - 1 : rightLimit - Width);
      break;
    }
    case baCenter: Left = ClampToInt(leftLimit + (rightLimit - leftLimit - Width) / 2); break;
    case baWidth:
      if (Run().RenderActive && !Run().ActiveBand) {
        Left = ClampToInt(leftLimit);
        Width = ClampToInt(rightLimit - leftLimit - 1);
      }
      break;
    case baRest: {
      TfrView* l = LeftNeighbour(row, Left, baLeft);
      TfrView* r = RightNeighbour(row, Left, baRight);
      Left = ClampToInt(l ? rightEdge(l) : leftLimit);
      Width = ClampToInt((r ? I64(r->Left) : rightLimit) - Left);
      break;
    }
    default:  // baBottom and baTop act when the view is written (Record)
      break;
  }
}

void TfrView::ExpandTagExpressions() {
  ReportServices* report = Run().ActiveReport;
  Tag = ExpandBrackets(Tag, [report](const std::string& expr) {
    return report ? report->EvaluateBracket(expr) : std::string();
  });
}

void TfrView::MakeUniqueName() {
  ReportServices* report = Run().ActiveReport;
  const bool isControl = dynamic_cast<TfrControl*>(this) != nullptr;
  for (int n = 1; n <= 10000; ++n) {
    std::string candidate = NamePrefix + std::to_string(n);
    if (report && report->FindView(candidate)) continue;
    if (isControl && report && report->DialogHasComponent(candidate)) continue;
    Name = candidate;
    return;
  }
  Name.clear();
}

void TfrView::Record(MemoryStream& page) {
  AttachCanvas(Canvas_);
  WorkText = Memo;
  ReportServices* report = Run().ActiveReport;
  if (report) {
    report->BeforeObjectOutput(WorkText, *this);
    report->RunViewScript(*this);
  }
  if (Visible == 0) return;
  const std::string keptTag = Tag;
  if (Tag.find('[') != std::string::npos) ExpandTagExpressions();
  // Placement against the band being formed (the no-band band too, whose
  // top is the page top and whose height is 0).
  if (const FormingBand* band = Run().ActiveBand) {
    if (BandAlign == baBottom)
      Top = SubSat(AddSat(band->FormingTop(), band->FormingHeight()), Height);
    else if (BandAlign == baTop)
      Top = band->FormingTop();
    else if (BandAlign == baWidth && IsCrossBand(band->FormingKind()))
      Width = band->FormingWidth();
  }
  AppendObjectRecord(page, *this);
  Tag = keptTag;
}

void TfrView::Export(Stream&) {
  // This system has no export filters: a view on its own hands nothing on
  // (the memo replays its lines into Globals().MemoTextExport).
}

}  // namespace quillet
