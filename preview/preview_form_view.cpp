// The preview window's view: the layout and zoom, scrolling and paging, the
// keys it handles, and the mouse on the page box.
#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>

#include "platform/numeric.h"
#include "platform/recording_canvas.h"
#include "preview/preview_form.h"
#include "preview/preview_form_constants.h"
#include "preview/preview_view.h"
#include "preview/toolbar_button.h"
#include "report/component/report.h"

namespace quillet {
namespace {

using namespace preview_form;

Qt::CursorShape ToQtCursor(int cursor) {
  switch (cursor) {
    case -3: return Qt::CrossCursor;
    case -4: return Qt::IBeamCursor;
    case -11: return Qt::WaitCursor;
    case -21: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

void TfrPreviewForm::CheckZoomEntries() {
  const int percent = Round(View.Scale * 100);
  for (QAction* a : zoomGroup_->actions()) {
    const int tag = a->property(kZoomTagProperty).toInt();
    if (View.ZoomMode != zmPercent ? tag == View.ZoomMode : tag == percent) a->setChecked(true);
  }
  if (View.ZoomMode == zmPercent) {
    bool any = false;
    for (QAction* a : zoomGroup_->actions())
      any = any || (a->isChecked() && a->property(kZoomTagProperty).toInt() == percent);
    // A percentage off the menu checks nothing.
    if (!any && zoomGroup_->checkedAction()) zoomGroup_->checkedAction()->setChecked(false);
  }
}

void TfrPreviewForm::ResetView(bool resetPage) {
  View.Scale = ZoomMemory().LastScale;
  View.ZoomMode = ZoomMemory().LastZoomMode;
  CheckZoomEntries();
  if (resetPage) {
    View.CurrentPage = 1;
    View.ViewOffsetX = View.ViewOffsetY = 0;
    View.PrevHorzPos = View.PrevVertPos = 0;
    const QSignalBlocker bh(hbar_), bv(vbar_);
    hbar_->setValue(0);
    vbar_->setValue(0);
  }
  ShowPageNumber();
  FormResize();
  if (pages_) {
    for (int i = 0; i < PageCount(); ++i) {
      (*pages_)[i].InUse = 0;
      RecordingCanvas unused;  // a page out of use draws nothing
      pages_->DrawPage(i, unused, {});
    }
    editActions_[3]->setEnabled(PageCount() > 1);
  }
  pbox_->update();
}

void TfrPreviewForm::ShowPageNumber() {
  if (!pages_ || PageCount() == 0) {
    label1_->clear();
    return;
  }
  if (PageChangedHook) PageChangedHook();
  label1_->setText(QString("Page %1/%2").arg(View.CurrentPage).arg(PageCount()));
}

void TfrPreviewForm::ScrollToPage() {
  if (!pages_ || PageCount() == 0) return;
  View.CurrentPage = std::clamp(View.CurrentPage, 1, PageCount());
  // The page turned to stays the current page even where the scroll bar
  // cannot bring it to the top (the last pages of a report).
  followScroll_ = false;
  SetVertPos((*pages_)[View.CurrentPage - 1].PreviewRect.top - kPageGap);
  followScroll_ = true;
}

void TfrPreviewForm::FormResize() {
  pbox_->ClearMark();
  if (!pages_ || PageCount() == 0) return;
  View.PaintEnabled = false;
  LayOutPages();
  if (isVisible()) pbox_->setFocus();
  ScrollToPage();
  View.PaintEnabled = true;
  pbox_->update();
}

void TfrPreviewForm::LayOutPages() {
  const PreviewLayout l =
      LayOutPreviewPages(*pages_, View.CurrentPage - 1, View.ZoomMode, View.Scale, pbox_->width(),
                         pbox_->height(), PageCount());
  View.Scale = l.Scale;
  CheckZoomEntries();
  zoomBtn_->SetCaption(QString("%1%").arg(Round(View.Scale * 100)));
  {
    // The ranges clamp the positions; the offsets follow without moving
    // the current page.
    const QSignalBlocker bh(hbar_), bv(vbar_);
    hbar_->setMaximum(l.HorzMax);
    vbar_->setMaximum(l.VertMax);
  }
  hbar_->setEnabled(l.HorzMax != 0);
  vbar_->setEnabled(l.VertMax != 0);
  View.PrevHorzPos = hbar_->value();
  View.PrevVertPos = vbar_->value();
  View.ViewOffsetX = -View.PrevHorzPos;
  View.ViewOffsetY = -View.PrevVertPos;
}

// ---- Scrolling ----

void TfrPreviewForm::SetVertPos(int pos) {
  vbar_->setValue(pos);
}
void TfrPreviewForm::SetHorzPos(int pos) {
  hbar_->setValue(pos);
}

void TfrPreviewForm::MoveView(int dx, int dy) {
  if (View.PaintEnabled && pbox_->Mark().isEmpty()) {
    pbox_->scroll(dx, dy);  // moves the pixels, repaints the uncovered strip
    return;
  }
  // Moving the pixels would carry a find mark along with the page; the
  // view is drawn afresh without it.
  pbox_->ClearMark();
  pbox_->update();
}

void TfrPreviewForm::VScrolled(int pos) {
  const int old = View.PrevVertPos;
  View.PrevVertPos = pos;
  View.ViewOffsetY = -pos;
  MoveView(0, old - pos);
  if (!followScroll_ || !pages_) return;
  const int page = PageAtScrollPosition(*pages_, pos, PageCount());
  if (page >= 0) {
    View.CurrentPage = page + 1;
    ShowPageNumber();
  }
}

void TfrPreviewForm::HScrolled(int pos) {
  const int old = View.PrevHorzPos;
  View.PrevHorzPos = pos;
  View.ViewOffsetX = -pos;
  MoveView(old - pos, 0);
}

void TfrPreviewForm::PgUpClick() {
  if (!pages_ || PageCount() == 0) return;
  if (View.CurrentPage > 1) --View.CurrentPage;
  ShowPageNumber();
  ScrollToPage();
}

void TfrPreviewForm::PgDownClick() {
  if (!pages_ || PageCount() == 0) return;
  if (View.CurrentPage < PageCount()) ++View.CurrentPage;
  ShowPageNumber();
  ScrollToPage();
}

// ---- Zoom ----

void TfrPreviewForm::ZoomBtnClick() {
  for (QAction* a : editActions_) a->setVisible(false);
  procMenu_->popup(zoomBtn_->mapToGlobal(QPoint(0, zoomBtn_->height())));
}

void TfrPreviewForm::ChooseZoom(int tag) {
  if (!pages_ || PageCount() == 0) return;
  View.ViewOffsetX = 0;
  if (tag >= 1 && tag <= 3) {
    View.ZoomMode = static_cast<std::uint8_t>(tag);
  } else {
    View.ZoomMode = zmPercent;
    View.Scale = tag / 100.0;
  }
  for (QAction* a : zoomGroup_->actions())
    if (a->property(kZoomTagProperty).toInt() == tag) a->setChecked(true);
  SetHorzPos(0);
  FormResize();
  ZoomMemory().LastScale = View.Scale;
  ZoomMemory().LastZoomMode = View.ZoomMode;
  pbox_->update();
}

// ---- Keys ----

void TfrPreviewForm::keyPressEvent(QKeyEvent* e) {
  if (HandleKey(e->key(), e->modifiers())) {
    e->accept();
    return;
  }
  // Escape and the dialog's default keys are the window's own business.
  if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool TfrPreviewForm::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
  const bool ctrl = modifiers & Qt::ControlModifier;
  if (key == Qt::Key_Escape) {
    ExitBtnClick();
    return true;
  }
  if (!pages_ || PageCount() == 0) return false;
  switch (key) {
    case Qt::Key_Up: SetVertPos(vbar_->value() - kSmallStep); return true;
    case Qt::Key_Down: SetVertPos(vbar_->value() + kSmallStep); return true;
    case Qt::Key_Left: SetHorzPos(hbar_->value() - kSmallStep); return true;
    case Qt::Key_Right: SetHorzPos(hbar_->value() + kSmallStep); return true;
    case Qt::Key_PageUp:
      if (ctrl)
        PgUpClick();
      else
        SetVertPos(vbar_->value() - kLargeStep);
      return true;
    case Qt::Key_PageDown:
      if (ctrl)
        PgDownClick();
      else
        SetVertPos(vbar_->value() + kLargeStep);
      return true;
    case Qt::Key_Space: ZoomBtnClick(); return true;
    default: break;
  }
  if (ctrl) {
    switch (key) {
      case Qt::Key_Home: SetVertPos(0); break;
      case Qt::Key_End:
        View.CurrentPage = PageCount();
        ScrollToPage();
        ShowPageNumber();
        break;
      case Qt::Key_O: LoadBtnClick(); break;
      case Qt::Key_S: SaveBtnClick(); break;
      case Qt::Key_P:
        if (printBtn_->isEnabled()) PrintBtnClick();
        break;
      case Qt::Key_F: FindBtnClick(); break;
      default: break;  // "Edit page" never shows here; other keys do nothing
    }
    return true;
  }
  if (key == Qt::Key_F3) {
    if (!Search.SearchText.empty()) {
      Search.FollowCurrentPage(View.CurrentPage);
      FindNext();
    }
    return true;
  }
  return false;
}

// ---- Mouse on the page box ----

void TfrPreviewForm::BoxMouseDown(QPoint p) {
  if (!pages_ || PageCount() == 0) return;
  if (pbox_->SkipNextMouseDown) {
    pbox_->SkipNextMouseDown = false;
    return;
  }
  pbox_->ClickedPage = 0;
  const int x = p.x() - View.ViewOffsetX;
  const int y = p.y() - View.ViewOffsetY;
  for (int i = 0; i < PageCount(); ++i) {
    const Rect& r = (*pages_)[i].PreviewRect;
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
    pbox_->ClickedPage = i + 1;
    const Point at{Round((x - r.left) / View.Scale), Round((y - r.top) / View.Scale)};
    int cursor = 0;
    bool taken = false;
    Guarded([&] { taken = pages_->HitTest(i, at, cursor, true); });
    if (taken) return;
  }
  pbox_->Dragging = true;
  pbox_->DragLastX = p.x();
  pbox_->DragLastY = p.y();
  if (pbox_->ClickedPage != 0) View.CurrentPage = pbox_->ClickedPage;
  ShowPageNumber();
}

void TfrPreviewForm::BoxMouseMove(QPoint p) {
  if (!pages_ || PageCount() == 0) return;
  if (pbox_->Dragging) {
    SetHorzPos(hbar_->value() + pbox_->DragLastX - p.x());
    SetVertPos(vbar_->value() + pbox_->DragLastY - p.y());
    pbox_->DragLastX = p.x();
    pbox_->DragLastY = p.y();
    return;
  }
  if (!report_ || !report_->Events.OnMouseOverObject) return;
  const int x = p.x() - View.ViewOffsetX;
  const int y = p.y() - View.ViewOffsetY;
  for (int i = 0; i < PageCount(); ++i) {
    const Rect& r = (*pages_)[i].PreviewRect;
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
    const Point at{Round((x - r.left) / View.Scale), Round((y - r.top) / View.Scale)};
    int cursor = 0;
    bool taken = false;
    Guarded([&] { taken = pages_->HitTest(i, at, cursor, false); });
    pbox_->setCursor(taken ? ToQtCursor(cursor) : Qt::ArrowCursor);
    return;
  }
}

void TfrPreviewForm::BoxMouseUp() {
  pbox_->Dragging = false;
}

void TfrPreviewForm::BoxDoubleClick() {
  if (!pages_ || PageCount() == 0) return;
  pbox_->Dragging = false;
  pbox_->SkipNextMouseDown = true;
  if (pbox_->ClickedPage != 0) {
    View.CurrentPage = pbox_->ClickedPage;
    ShowPageNumber();
  }
}

void TfrPreviewForm::BoxRightClick(QPoint globalPos) {
  if (!pages_ || PageCount() == 0) return;
  QMenu* menu = ContextMenu ? ContextMenu : procMenu_;
  menu->popup(globalPos);
}

void TfrPreviewForm::BoxWheel(int notches) {
  if (!pages_ || PageCount() == 0 || notches == 0) return;
  SetVertPos(vbar_->value() - notches * kSmallStep * WheelFactor);
}

}  // namespace quillet
