#include "report/prepared/prepared_pages.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/canvas.h"
#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/recording_canvas.h"
#include "platform/scope_guard.h"
#include "platform/spill_file.h"
#include "report/base/engine_state.h"
#include "report/base/preparation_report.h"
#include "report/base/record_stream.h"
#include "report/views/object_records.h"
#include "report/views/view.h"
#include "report/views/view_registry.h"

namespace quillet {
namespace {

// The text object's flag bit that makes its width follow its text.
constexpr std::uint16_t kTextAutoWidthFlag = 8;

// How far outside the clip region an object may start and still be drawn:
// frames and text may reach a little past an object's rectangle.
constexpr int kClipSlack = 10;

// A scaled coordinate plus an offset, kept inside the int range (object
// geometry comes from files and may be anything).
int Placed(double scaled, int offset) {
  const std::int64_t v = std::int64_t(Round(scaled)) + offset;
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// Device coordinates an object may reach. Geometry read from a file can be
// anything; an object whose scaled rectangle or gaps lie beyond this could
// not be placed on any device (and its arithmetic would overflow), so it is
// not drawn.
constexpr double kDeviceLimit = 1 << 29;

// Whether the object can be drawn into `target`: its geometry within the
// device range, and its frame no wider than the target itself (dashed frames
// are drawn one device pixel at a time, so an absurd width from a file would
// otherwise mean millions of lines).
bool FitsDevice(const TfrView& v, double sx, double sy, const Rect& target) {
  auto fits = [](double d) { return std::abs(d) <= kDeviceLimit; };
  const int ox = target.left, oy = target.top;
  const double frameLimit =
      std::max({std::abs(double(target.Width())), std::abs(double(target.Height())), 1.0});
  return fits(v.Left * sx + ox) && fits((double(v.Left) + v.Width) * sx + ox) &&
         fits(v.Width * sx) && fits(v.Top * sy + oy) &&
         fits((double(v.Top) + v.Height) * sy + oy) && fits(v.Height * sy) && fits(v.GapX * sx) &&
         fits(v.GapY * sy) && std::abs(double(v.FrameWidth) * sx) <= frameLimit &&
         std::abs(double(v.FrameWidth) * sy) <= frameLimit;
}

// Objects formation writes lie on their page; a record placing one
// kilometres away is malformed, and would overflow the arithmetic of
// alignment and drawing.
void CheckGeometry(const TfrView& v) {
  for (std::int32_t value : {v.Left, v.Top, v.Width, v.Height, v.GapX, v.GapY})
    if (value < -kMaxPageCoordinate || value > kMaxPageCoordinate)
      throw StreamReadError("Object \"" + v.Name + "\" of a prepared page lies out of range");
}

}  // namespace

PagePaper PreparedPage::Paper() const {
  PagePaper p;
  p.PaperSizeCode = PaperSizeCode;
  p.PaperWidthTenths = PaperWidthTenths;
  p.PaperHeightTenths = PaperHeightTenths;
  p.Orientation = Orientation;
  p.PaperSource = PaperSource;
  p.Margins = Margins;
  p.MarginsApply = MarginsApply != 0;
  p.PageInfo = PageInfo;
  return p;
}

void PreparedPage::SetPaper(const PagePaper& p) {
  PaperSizeCode = p.PaperSizeCode;
  PaperWidthTenths = p.PaperWidthTenths;
  PaperHeightTenths = p.PaperHeightTenths;
  Orientation = p.Orientation;
  PaperSource = p.PaperSource;
  Margins = p.Margins;
  MarginsApply = p.MarginsApply ? 1 : 0;
  PageInfo = p.PageInfo;
}

TfrEMFPages::TfrEMFPages(EngineGlobals& engine, PreparedPagesReport* report)
    : engine_(engine), report_(report) {}

TfrEMFPages::~TfrEMFPages() {
  Clear();
}

PreparedPage& TfrEMFPages::operator[](int index) {
  if (index < 0 || index >= Count())
    throw RangeError("Prepared page " + std::to_string(index) + " does not exist");
  Slot& slot = pages_[std::size_t(index)];
  if (!slot.page) slot.page = MadeWhole(slot);
  return *slot.page;
}

std::unique_ptr<PreparedPage> TfrEMFPages::MadeWhole(const Slot& slot) const {
  auto page = std::make_unique<PreparedPage>();
  page->SetPaper(papers_[slot.paper]);
  page->ObjectStream.Unpark(slot.records, spill_);
  return page;
}

const PreparedPage& TfrEMFPages::Peek(int index, std::unique_ptr<PreparedPage>& scratch) const {
  const Slot& slot = pages_.at(std::size_t(index));
  if (slot.page) return *slot.page;
  scratch = MadeWhole(slot);
  return *scratch;
}

int TfrEMFPages::ParkedCount() const {
  return static_cast<int>(
      std::count_if(pages_.begin(), pages_.end(), [](const Slot& s) { return !s.page; }));
}

void TfrEMFPages::Append(std::unique_ptr<PreparedPage> page) {
  pages_.push_back(Slot{std::move(page), 0, {}});
  ParkPassedPages();
}

void TfrEMFPages::ParkPassedPages() {
  for (const int until = Count() - kWholePages; parkFrom_ < until; ++parkFrom_) {
    Slot& slot = pages_[std::size_t(parkFrom_)];
    PreparedPage* page = slot.page.get();
    if (!page || page->InUse || page->RebuiltPage || page == open_ ||
        !page->ObjectStream.IsSpilled())
      continue;
    // While a page's records are in the file, the file lives: this is it.
    if (!spill_) spill_ = SpillFile::Shared();
    const std::optional<PageStream::Place> place = page->ObjectStream.Park(*spill_);
    if (!place) continue;
    // Pages of one report mostly share their paper: the last few are tried.
    const PagePaper paper = page->Paper();
    auto found =
        std::find(papers_.size() > 4 ? papers_.end() - 4 : papers_.begin(), papers_.end(), paper);
    if (found == papers_.end()) found = papers_.insert(papers_.end(), paper);
    slot.paper = std::uint32_t(found - papers_.begin());
    slot.records = *place;
    slot.page.reset();
  }
}

const PreparedPage& TfrEMFPages::operator[](int index) const {
  return const_cast<TfrEMFPages&>(*this)[index];
}

void TfrEMFPages::ReleaseRebuilt(PreparedPage& page) {
  // The preparation state must not keep pointing at a page that is gone.
  PreparationState& run = engine_.Run;
  if (page.RebuiltPage && run.ActivePage == page.RebuiltPage.get()) run.ActivePage = nullptr;
  page.RebuiltPage.reset();
}

void TfrEMFPages::ReleasePage(int index) {
  PreparedPage& page = (*this)[index];
  page.InUse = 0;
  ReleaseRebuilt(page);
}

void TfrEMFPages::Clear() {
  // Released in one sweep: deleting from the front one by one would move
  // the rest each time, which a million pages turn into hours.
  for (Slot& slot : pages_)
    if (slot.page) ReleaseRebuilt(*slot.page);
  open_ = nullptr;
  pages_.clear();
  papers_.clear();
  spill_.reset();
  parkFrom_ = 0;
  Outline.clear();
}

MemoryStream& TfrEMFPages::RecordStream(int index) {
  PreparedPage& page = (*this)[index];
  if (open_ != &page) {
    CloseOpenPage();
    open_ = &page;
  }
  return page.ObjectStream.Open();
}

void TfrEMFPages::CloseOpenPage() {
  if (open_) open_->ObjectStream.Close();
  open_ = nullptr;
}

void TfrEMFPages::InsertPage(int index, const PagePaper& templatePage) {
  if (index < 0) throw RangeError("Prepared page " + std::to_string(index) + " does not exist");
  auto page = std::make_unique<PreparedPage>();
  page->SetPaper(templatePage);
  // The new page is the one records go to next; the page open before it
  // (the one formation has moved on from) is packed.
  CloseOpenPage();
  page->ObjectStream.Open().WriteU8(kPreparedStreamVersion);
  open_ = page.get();
  if (index >= Count()) {
    Append(std::move(page));
  } else {
    pages_.insert(pages_.begin() + index, Slot{std::move(page), 0, {}});
    if (index < parkFrom_) ++parkFrom_;
  }
}

void TfrEMFPages::AddPage(const PagePaper& templatePage) {
  if (Count() >= PageLimit)
    throw EngineError("The report forms more than " + std::to_string(PageLimit) +
                      " prepared pages; preparation stops here");
  InsertPage(Count(), templatePage);
  PreparationState& prep = engine_.Run;
  PreparationReport* active = prep.ActiveReport;
  PreparationReport* outer = prep.OuterReport;
  if (active) active->OnBeginPage(prep.PageIndex);
  if (outer && outer != active) outer->OnBeginPage(prep.PageIndex);
}

void TfrEMFPages::DeletePage(int index) {
  PreparedPage& page = (*this)[index];
  ReleaseRebuilt(page);
  if (open_ == &page) open_ = nullptr;
  pages_.erase(pages_.begin() + index);
  if (index < parkFrom_) --parkFrom_;
}

void TfrEMFPages::RebuildPage(int index) {
  PreparedPage& record = (*this)[index];
  ReleaseRebuilt(record);
  auto page = std::make_unique<RebuiltPage>(engine_, record.Paper());
  PreparationState& prep = engine_.Run;
  prep.ActivePage = page.get();
  MemoryStream s = record.ObjectStream.Reader();
  // A failed rebuild leaves no active page pointing at it.
  const ScopeGuard forget([&prep, &page] {
    if (page && prep.ActivePage == page.get()) prep.ActivePage = nullptr;
  });
  // A page whose stream is empty (a compressed file in this system) is blank.
  const int version = s.AtEnd() ? kPreparedStreamVersion : s.ReadU8();
  if (version > kNewestStreamVersion)
    throw StreamReadError("A prepared page of stream version " + std::to_string(version) +
                          " cannot be read: this program reads versions up to " +
                          std::to_string(kNewestStreamVersion));
  RecordReader reader(s, version);
  while (!reader.AtEnd()) {
    const std::uint8_t kind = reader.ReadU8();
    const std::string className = kind == gtAddIn ? ReadCountedString(reader) : std::string();
    std::unique_ptr<TfrView> view = CreateViewByKind(page->Globals(), kind, className);
    if (!view)
      throw StreamReadError("Object of unknown type " + std::to_string(kind) +
                            " in a prepared page");
    view->OwnerPage = page.get();
    view->PreparedMode = true;
    ReadViewRecord(reader, *view);
    view->PreparedMode = false;
    CheckGeometry(*view);
    if (view->ObjectType == gtMemo && (view->Flags & kTextAutoWidthFlag)) {
      // Drawn once where nothing shows, so that it computes its width.
      RecordingCanvas scratch(DeviceKind::Screen, engine_.MeasuringCanvas);
      view->Draw(scratch);
    }
    page->Objects.push_back(std::move(view));
  }
  record.RebuiltPage = std::move(page);
}

void TfrEMFPages::DrawPage(int index, Canvas& canvas, const Rect& rect) {
  PreparedPage& record = (*this)[index];
  PlatformPrinter* platform =
      engine_.Printer.EnginePrinter ? EnginePrinter(engine_).PlatformPrinter : nullptr;
  const bool printing = platform && platform->Printing() && platform->PageCanvas() == &canvas;
  PreparationState& prep = engine_.Run;
  prep.RenderActive = true;
  if (!record.InUse) {
    ReleaseRebuilt(record);
    return;
  }
  if (!record.RebuiltPage) RebuildPage(index);
  prep.ActivePage = record.RebuiltPage.get();
  const PrinterPageInfo& info = record.PageInfo;
  // A page without a size has nowhere to put its objects.
  if (info.PaperWidthPx <= 0 || info.PaperHeightPx <= 0) return;
  const double sx = double(rect.right - rect.left) / info.PaperWidthPx;
  const double sy = double(rect.bottom - rect.top) / info.PaperHeightPx;
  const bool clipTest = !printing && canvas.Kind() != DeviceKind::Metafile;
  for (const std::unique_ptr<TfrView>& view : record.RebuiltPage->Objects) {
    if (clipTest) {
      const Rect area{Placed(view->Left * sx, rect.left - kClipSlack),
                      Placed(view->Top * sy, rect.top - kClipSlack),
                      Placed(sx * (double(view->Left) + view->Width), rect.left + kClipSlack),
                      Placed(sy * (double(view->Top) + view->Height), rect.top + kClipSlack)};
      if (!canvas.RectVisible(area)) continue;
    }
    if (!FitsDevice(*view, sx, sy, rect)) continue;
    view->DeviceScaleX = sx;
    view->DeviceScaleY = sy;
    view->DeviceOffsetX = rect.left;
    view->DeviceOffsetY = rect.top;
    view->OnPrinterCanvas = printing;
    view->Draw(canvas);
  }
}

bool TfrEMFPages::HitTest(int index, Point point, int& cursor, bool isClick) {
  PreparedPage& record = (*this)[index];
  if (!record.RebuiltPage) RebuildPage(index);
  const PrinterPageInfo& info = record.PageInfo;
  double sx = 1, sy = 1, ox = 0, oy = 0;
  if (record.MarginsApply == 0 && info.PaperWidthPx > 0 && info.PaperHeightPx > 0) {
    const PageMargins& m = record.Margins;
    sx = double(info.PrintableWidthPx - m.Left - m.Right) / info.PaperWidthPx;
    sy = double(info.PrintableHeightPx - m.Top - m.Bottom) / info.PaperHeightPx;
    ox = double(m.Left) + info.OffsetXPx;
    oy = double(m.Top) + info.OffsetYPx;
  }
  const auto& objects = record.RebuiltPage->Objects;
  for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
    TfrView& v = **it;
    const int left = Round(v.Left * sx + ox);
    const int top = Round(v.Top * sy + oy);
    const int right = Round(ox + sx * (double(v.Left) + v.Width));
    const int bottom = Round(oy + sy * (double(v.Top) + v.Height));
    if (point.x < left || point.x >= right || point.y < top || point.y >= bottom) continue;
    if (!report_) return false;
    return isClick ? report_->OnObjectClick(v) : report_->OnMouseOverObject(v, cursor);
  }
  return false;
}

}  // namespace quillet
