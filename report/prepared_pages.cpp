#include "report/prepared_pages.h"

#include "platform/canvas.h"
#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/recording_canvas.h"
#include "report/engine_state.h"
#include "report/report_services.h"
#include "report/stream_strings.h"
#include "report/view.h"
#include "report/view_registry.h"

namespace quillet {
namespace {

// The text object's flag bit that makes its width follow its text.
constexpr std::uint16_t kTextAutoWidthFlag = 8;

// How far outside the clip region an object may start and still be drawn:
// frames and text may reach a little past an object's rectangle.
constexpr int kClipSlack = 10;

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

TfrEMFPages::TfrEMFPages(PreparedPagesReport* report) : report_(report) {}

TfrEMFPages::~TfrEMFPages() { Clear(); }

PreparedPage& TfrEMFPages::operator[](int index) {
  if (index < 0 || index >= Count())
    throw RangeError("Prepared page " + std::to_string(index) + " does not exist");
  return *pages_[index];
}

const PreparedPage& TfrEMFPages::operator[](int index) const {
  return const_cast<TfrEMFPages&>(*this)[index];
}

void TfrEMFPages::ReleaseRebuilt(PreparedPage& page) {
  // The preparation state must not keep pointing at a page that is gone.
  if (page.RebuiltPage && Prep().ActivePage == page.RebuiltPage.get()) Prep().ActivePage = nullptr;
  page.RebuiltPage.reset();
}

void TfrEMFPages::Clear() {
  while (!pages_.empty()) DeletePage(0);
}

void TfrEMFPages::InsertPage(int index, const PagePaper& templatePage) {
  if (index < 0) throw RangeError("Prepared page " + std::to_string(index) + " does not exist");
  Engine().StreamVersion = kPreparedStreamVersion;
  auto page = std::make_unique<PreparedPage>();
  page->ObjectStream = std::make_unique<MemoryStream>();
  page->ObjectStream->WriteU8(kPreparedStreamVersion);
  page->PaperSizeCode = templatePage.PaperSizeCode;
  page->PaperWidthTenths = templatePage.PaperWidthTenths;
  page->PaperHeightTenths = templatePage.PaperHeightTenths;
  page->Orientation = templatePage.Orientation;
  page->PaperSource = templatePage.PaperSource;
  page->Margins = templatePage.Margins;
  page->MarginsApply = templatePage.MarginsApply ? 1 : 0;
  page->PageInfo = templatePage.PageInfo;
  if (index >= Count())
    pages_.push_back(std::move(page));
  else
    pages_.insert(pages_.begin() + index, std::move(page));
}

void TfrEMFPages::AddPage(const PagePaper& templatePage) {
  InsertPage(Count(), templatePage);
  PreparationState& prep = Prep();
  // The reports that want page events implement PreparedPagesReport too.
  auto* active = dynamic_cast<PreparedPagesReport*>(prep.ActiveReport);
  auto* outer = dynamic_cast<PreparedPagesReport*>(prep.OuterReport);
  if (active) active->OnBeginPage(prep.PageIndex);
  if (outer && outer != active) outer->OnBeginPage(prep.PageIndex);
}

void TfrEMFPages::DeletePage(int index) {
  PreparedPage& page = (*this)[index];
  ReleaseRebuilt(page);
  pages_.erase(pages_.begin() + index);
}

void TfrEMFPages::RebuildPage(int index) {
  PreparedPage& record = (*this)[index];
  ReleaseRebuilt(record);
  auto page = std::make_unique<RebuiltPage>(record.Paper());
  PreparationState& prep = Prep();
  prep.ActivePage = page.get();
  try {
    MemoryStream& s = *record.ObjectStream;
    s.Seek(0);
    // A page whose stream is empty (a compressed file in this system) is blank.
    if (!s.AtEnd()) Engine().StreamVersion = s.ReadU8();
    while (!s.AtEnd()) {
      const std::uint8_t kind = s.ReadU8();
      const std::string className = kind == gtAddIn ? ReadCountedString(s) : std::string();
      std::unique_ptr<TfrView> view = CreateViewByKind(kind, className);
      if (!view)
        throw StreamReadError("Object of unknown type " + std::to_string(kind) +
                              " in a prepared page");
      view->OwnerPage = page.get();
      view->PreparedMode = true;
      view->ReadRecord(s);
      view->PreparedMode = false;
      if (view->ObjectType == gtMemo && (view->Flags & kTextAutoWidthFlag)) {
        // Drawn once where nothing shows, so that it computes its width.
        RecordingCanvas scratch(DeviceKind::Screen, Engine().MeasuringCanvas);
        view->Draw(scratch);
      }
      page->Objects.push_back(std::move(view));
    }
  } catch (...) {
    if (prep.ActivePage == page.get()) prep.ActivePage = nullptr;
    throw;
  }
  record.RebuiltPage = std::move(page);
}

void TfrEMFPages::DrawPage(int index, Canvas& canvas, const Rect& rect) {
  PreparedPage& record = (*this)[index];
  PlatformPrinter* platform =
      PrinterState().EnginePrinter ? EnginePrinter().PlatformPrinter : nullptr;
  const bool printing =
      platform && platform->Printing() && platform->PageCanvas() == &canvas;
  PreparationState& prep = Prep();
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
      const Rect area{Round(view->Left * sx) + rect.left - kClipSlack,
                      Round(view->Top * sy) + rect.top - kClipSlack,
                      Round(sx * (double(view->Left) + view->Width)) + rect.left + kClipSlack,
                      Round(sy * (double(view->Top) + view->Height)) + rect.top + kClipSlack};
      if (!canvas.RectVisible(area)) continue;
    }
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
