#include "preview/preview_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QSettings>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <exception>

#include "platform/engine_host.h"
#include "platform/numeric.h"
#include "platform/qt/qt_text.h"
#include "platform/recording_canvas.h"
#include "widgets/engine_window_font.h"
#include "preview/preview_search_form.h"
#include "preview/preview_view.h"
#include "preview/toolbar_button.h"
#include "preview/toolbar_glyphs.h"
#include "report/template/page.h"
#include "report/printer/printer.h"
#include "report/component/report.h"

namespace quillet {
namespace {

constexpr int kSmallStep = 10;
constexpr int kLargeStep = 200;
constexpr int kScrollRange = 32000;
const char* const kHelpProperty = "helpContext";
const char* const kZoomTagProperty = "zoomTag";

void SetHelp(QWidget* w, int number) {
  w->setProperty(kHelpProperty, number);
}

// The extension of the last path component replaced by `ext` (added when
// the name has none).
std::string ChangeFileExt(const std::string& name, const std::string& ext) {
  const auto slash = name.find_last_of('/');
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + ext;
  return name.substr(0, dot) + ext;
}

std::string UpperOfText(std::string_view text) {
  return FromQString(ToQString(text).toUpper());
}

Qt::CursorShape ToQtCursor(int cursor) {
  switch (cursor) {
    case -3: return Qt::CrossCursor;
    case -4: return Qt::IBeamCursor;
    case -11: return Qt::WaitCursor;
    case -21: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
  }
}

TfrTBButton* MakeButton(QWidget* parent, ToolbarGlyph glyph, int help) {
  auto* b = new TfrTBButton(parent);
  b->resize(24, 24);
  b->SetFlat(true);
  b->SetGlyph(MakeToolbarGlyph(glyph));
  SetHelp(b, help);
  return b;
}

TfrTBSeparator* MakeSeparator(QWidget* parent) {
  auto* s = new TfrTBSeparator(parent);
  s->resize(8, 24);
  s->SetDrawBevel(false);
  return s;
}

}  // namespace

QString PreviewHelpText(int number) {
  switch (number) {
    case hcZoom: return "Scale: choose how large the pages are shown, or fit them to the window.";
    case hcLoad: return "Open report: show the pages of a saved prepared report (.frp).";
    case hcSave: return "Save report: keep the pages shown as a prepared report file (.frp).";
    case hcPrint: return "Print report: print the pages shown.";
    case hcFind: return "Find text: search the text printed on the pages (F3 finds the next).";
    case hcExit: return "Close preview.";
    case hcPageLabel: return "The page shown at the top of the view and the number of pages.";
    case hcPageBox:
      return "The pages. Drag them with the mouse; Page Up and Page Down scroll, "
             "Ctrl+Page Up and Ctrl+Page Down turn the page.";
    default: return {};
  }
}

TfrPreviewForm::TfrPreviewForm(QWidget* parent) : QDialog(parent) {
  setFont(EngineWindowFont());
  setWindowTitle("Preview");
  resize(443, 305);
  BuildWidgets();
  BuildMenu();
  LoadCaptions();
}

TfrPreviewForm::~TfrPreviewForm() {
  if (helpMode_) QApplication::restoreOverrideCursor();
}

int TfrPreviewForm::PageCount() const {
  return pages_ ? pages_->Count() : 0;
}

void TfrPreviewForm::BuildWidgets() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  toolbarStrip_ = new QWidget(this);
  toolbarStrip_->setObjectName("TPanel");
  toolbarStrip_->setFixedHeight(33);
  auto* bevel2 = new QFrame(toolbarStrip_);
  bevel2->setFrameShape(QFrame::HLine);
  bevel2->setFrameShadow(QFrame::Sunken);
  bevel2->setGeometry(0, 0, 4000, 2);
  panel1_ = new QWidget(toolbarStrip_);
  panel1_->setGeometry(4, 6, 273, 24);
  zoomBtn_ = MakeButton(panel1_, tgZoom, hcZoom);
  zoomBtn_->resize(53, 24);
  zoomBtn_->SetMargin(3);
  zoomBtn_->SetCaption("100%");
  sep1_ = MakeSeparator(panel1_);
  loadBtn_ = MakeButton(panel1_, tgOpen, hcLoad);
  saveBtn_ = MakeButton(panel1_, tgSave, hcSave);
  printBtn_ = MakeButton(panel1_, tgPrint, hcPrint);
  pageSetupBtn_ = MakeButton(panel1_, tgPrint, hcPrint);
  sep2_ = MakeSeparator(panel1_);
  findBtn_ = MakeButton(panel1_, tgFind, hcFind);
  helpBtn_ = MakeButton(panel1_, tgHelp, 0);
  sep3_ = MakeSeparator(panel1_);
  exitBtn_ = MakeButton(panel1_, tgClose, hcExit);
  zoomBtn_->OnClick = [this] { ZoomBtnClick(); };
  loadBtn_->OnClick = [this] { LoadBtnClick(); };
  saveBtn_->OnClick = [this] { SaveBtnClick(); };
  printBtn_->OnClick = [this] { PrintBtnClick(); };
  pageSetupBtn_->OnClick = [this] { PageSetupBtnClick(); };
  findBtn_->OnClick = [this] { FindBtnClick(); };
  helpBtn_->OnClick = [this] { HelpBtnClick(); };
  exitBtn_->OnClick = [this] { ExitBtnClick(); };
  layout->addWidget(toolbarStrip_);

  previewPanel_ = new QWidget(this);
  previewPanel_->setObjectName("PreviewPanel");
  previewPanel_->installEventFilter(this);
  scrollBox_ = new QWidget(previewPanel_);
  pbox_ = new TfrPBox(*this, scrollBox_);
  SetHelp(pbox_, hcPageBox);
  rPanel_ = new QWidget(scrollBox_);
  vbar_ = new QScrollBar(Qt::Vertical, rPanel_);
  pgUp_ = new TfrSpeedButton(rPanel_);
  pgDown_ = new TfrSpeedButton(rPanel_);
  for (TfrSpeedButton* b : {pgUp_, pgDown_}) {
    b->resize(16, 16);
    b->SetFlat(true);
  }
  pgUp_->SetGlyph(
      MakeToolbarGlyph(tgPageUp).scaled(12, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  pgDown_->SetGlyph(
      MakeToolbarGlyph(tgPageDown).scaled(12, 12, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  pgUp_->OnClick = [this] { PgUpClick(); };
  pgDown_->OnClick = [this] { PgDownClick(); };
  bPanel_ = new QWidget(previewPanel_);
  bevel1_ = new QFrame(bPanel_);
  bevel1_->setFrameShape(QFrame::Panel);
  bevel1_->setFrameShadow(QFrame::Sunken);
  bevel1_->setGeometry(0, 1, 77, 17);
  SetHelp(bevel1_, hcPageLabel);
  label1_ = new QLabel(bPanel_);
  label1_->setGeometry(4, 3, 72, 13);
  SetHelp(label1_, hcPageLabel);
  hbar_ = new QScrollBar(Qt::Horizontal, bPanel_);
  for (QScrollBar* bar : {vbar_, hbar_}) {
    bar->setRange(0, kScrollRange);
    bar->setSingleStep(kSmallStep);
    bar->setPageStep(kLargeStep);
    bar->setFocusPolicy(Qt::NoFocus);
  }
  connect(vbar_, &QScrollBar::valueChanged, this, [this](int pos) { VScrolled(pos); });
  connect(hbar_, &QScrollBar::valueChanged, this, [this](int pos) { HScrolled(pos); });
  layout->addWidget(previewPanel_, 1);
  ArrangeToolbar();
}

void TfrPreviewForm::BuildMenu() {
  procMenu_ = new QMenu(this);
  zoomGroup_ = new QActionGroup(this);
  zoomGroup_->setExclusive(true);
  struct Entry {
    const char* caption;
    int tag;
  };
  for (const Entry& e : {Entry{"200%", 200},
                         {"150%", 150},
                         {"100%", 100},
                         {"75%", 75},
                         {"50%", 50},
                         {"25%", 25},
                         {"10%", 10},
                         {"&Page width", 1},
                         {"&Whole page", 2},
                         {"&Two pages", 3}}) {
    QAction* a = procMenu_->addAction(e.caption);
    a->setCheckable(true);
    a->setProperty(kZoomTagProperty, e.tag);
    a->setChecked(e.tag == 100);
    zoomGroup_->addAction(a);
    const int tag = e.tag;
    connect(a, &QAction::triggered, this, [this, tag] { ChooseZoom(tag); });
  }
  // The page-editing group: no report designer is part of this system, so
  // these entries stay hidden and do nothing.
  editActions_ << procMenu_->addSeparator() << procMenu_->addAction("Edit page")
               << procMenu_->addAction("Add page") << procMenu_->addAction("Delete page");
  for (QAction* a : editActions_) a->setVisible(false);
}

void TfrPreviewForm::LoadCaptions() {
  const QList<QAction*> actions = zoomGroup_->actions();
  actions[7]->setText("&Page width");
  actions[8]->setText("&Whole page");
  actions[9]->setText("&Two pages");
  editActions_[1]->setText("Edit page");
  editActions_[2]->setText("Add page");
  editActions_[3]->setText("Delete page");
  zoomBtn_->setToolTip("Scale");
  loadBtn_->setToolTip("Open report");
  saveBtn_->setToolTip("Save report");
  printBtn_->setToolTip("Print report");
  findBtn_->setToolTip("Find text");
  helpBtn_->setToolTip("Show help");
  exitBtn_->setToolTip("Close preview");
}

QList<QWidget*> TfrPreviewForm::ToolbarItems() const {
  return {zoomBtn_, sep1_,    loadBtn_, saveBtn_, printBtn_, pageSetupBtn_,
          sep2_,    findBtn_, helpBtn_, sep3_,    exitBtn_};
}

void TfrPreviewForm::ArrangeToolbar() {
  int x = 0;
  for (QWidget* w : ToolbarItems()) {
    if (w->isHidden()) continue;
    w->move(x, 0);
    x += w->width();
  }
}

bool TfrPreviewForm::ToolbarInWindow() const {
  return toolbarStrip_->window() == this;
}

void TfrPreviewForm::ArrangePreviewPanel() {
  const int w = previewPanel_->width();
  const int h = previewPanel_->height();
  const int bh = bPanel_->isHidden() ? 0 : 18;
  scrollBox_->setGeometry(0, 0, w, h - bh);
  const int rw = rPanel_->isHidden() ? 0 : 16;
  rPanel_->setGeometry(scrollBox_->width() - 16, 0, 16, scrollBox_->height());
  pbox_->setGeometry(0, 0, std::max(0, scrollBox_->width() - rw), scrollBox_->height());
  bPanel_->setGeometry(0, h - 18, w, 18);
  // Scroll furniture.
  const int pgDownTop = rPanel_->height() - 16;
  pgDown_->move(0, pgDownTop);
  pgUp_->move(0, pgDownTop - 16);
  vbar_->setGeometry(0, 0, 16, std::max(0, pgDownTop - 16 - 1));
  hbar_->setGeometry(80, 1, std::max(0, bPanel_->width() - 80 - rw), 16);
  FormResize();
}

void TfrPreviewForm::SetScrollFurniture(bool vertical, bool horizontal) {
  rPanel_->setHidden(!vertical);
  bPanel_->setHidden(!horizontal);
  ArrangePreviewPanel();
}

bool TfrPreviewForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == previewPanel_ && event->type() == QEvent::Resize) ArrangePreviewPanel();
  return QDialog::eventFilter(watched, event);
}

void TfrPreviewForm::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
}

// ---- Showing and ownership ----

void TfrPreviewForm::ShowWindow(TfrReport& report) {
  Connect(report);
  ApplyButtons();
  ResetView(true);
  SetHorzPos(0);
  SetVertPos(0);
  setWindowState(windowState() | Qt::WindowMaximized);
  if (report.ModalPreview) {
    exec();
  } else {
    show();
  }
}

void TfrPreviewForm::Connect(TfrReport& report) {
  report_ = &report;
  pages_ = std::make_unique<TfrEMFPages>(&report);
  pages_->Swap(report.PreparedPages);
}

void TfrPreviewForm::Disconnect() {
  if (!report_ || !pages_) return;
  report_->PreparedPages.Clear();
  report_->PreparedPages.Swap(*pages_);
  pages_.reset();
}

bool TfrPreviewForm::PrinterInstalled() {
  if (!PrinterState().EnginePrinter) return false;
  PlatformPrinter* platform = EnginePrinter().PlatformPrinter;
  return platform && !platform->PrinterNames().empty();
}

void TfrPreviewForm::ApplyButtons() {
  if (!report_) return;
  const std::uint8_t b = report_->PreviewButtons;
  const bool inWindow = ToolbarInWindow();
  zoomBtn_->setVisible(b & pbZoom);
  loadBtn_->setVisible(b & pbLoad);
  saveBtn_->setVisible(b & pbSave);
  printBtn_->setVisible(b & pbPrint);
  pageSetupBtn_->setVisible(b & pbPageSetup);
  findBtn_->setVisible(b & pbFind);
  helpBtn_->setVisible((b & pbHelp) && inWindow);
  exitBtn_->setVisible((b & pbExit) && inWindow);
  sep1_->setVisible(!zoomBtn_->isHidden());
  sep3_->setVisible(!findBtn_->isHidden() || !helpBtn_->isHidden());
  const bool printer = PrinterInstalled();
  printBtn_->setEnabled(printer);
  pageSetupBtn_->setEnabled(printer);
  // No report designer is registered: the page-editing entries stay hidden.
  for (QAction* a : editActions_) a->setVisible(false);
  switch (report_->InitialZoom) {
    case pzPageWidth: ZoomMemory().LastZoomMode = zmPageWidth; break;
    case pzOnePage: ZoomMemory().LastZoomMode = zmWholePage; break;
    case pzTwoPages: ZoomMemory().LastZoomMode = zmTwoPages; break;
    case pzDefault: break;
  }
  for (QWidget* w : ToolbarItems())
    if (auto* button = qobject_cast<TfrSpeedButton*>(w))
      button->SetGrayedInactive(report_->GrayedButtons);
  ArrangeToolbar();
}

void TfrPreviewForm::CheckZoomEntries() {
  const int percent = Round(Scale * 100);
  for (QAction* a : zoomGroup_->actions()) {
    const int tag = a->property(kZoomTagProperty).toInt();
    if (ZoomMode != zmPercent ? tag == ZoomMode : tag == percent) a->setChecked(true);
  }
  if (ZoomMode == zmPercent) {
    bool any = false;
    for (QAction* a : zoomGroup_->actions())
      any = any || (a->isChecked() && a->property(kZoomTagProperty).toInt() == percent);
    // A percentage off the menu checks nothing.
    if (!any && zoomGroup_->checkedAction()) zoomGroup_->checkedAction()->setChecked(false);
  }
}

void TfrPreviewForm::ResetView(bool resetPage) {
  Scale = ZoomMemory().LastScale;
  ZoomMode = ZoomMemory().LastZoomMode;
  CheckZoomEntries();
  if (resetPage) {
    CurrentPage = 1;
    ViewOffsetX = ViewOffsetY = 0;
    PrevHorzPos = PrevVertPos = 0;
    const QSignalBlocker bh(hbar_), bv(vbar_);
    hbar_->setValue(0);
    vbar_->setValue(0);
  }
  ShowPageNumber();
  FormResize();
  if (pages_) {
    for (int i = 0; i < pages_->Count(); ++i) {
      (*pages_)[i].InUse = 0;
      RecordingCanvas unused;  // a page out of use draws nothing
      pages_->DrawPage(i, unused, {});
    }
    editActions_[3]->setEnabled(pages_->Count() > 1);
  }
  pbox_->update();
}

void TfrPreviewForm::ShowPageNumber() {
  if (!pages_ || pages_->Count() == 0) {
    label1_->clear();
    return;
  }
  if (PageChangedHook) PageChangedHook();
  label1_->setText(QString("Page %1/%2").arg(CurrentPage).arg(pages_->Count()));
}

void TfrPreviewForm::ScrollToPage() {
  if (!pages_ || pages_->Count() == 0) return;
  CurrentPage = std::clamp(CurrentPage, 1, pages_->Count());
  // The page turned to stays the current page even where the scroll bar
  // cannot bring it to the top (the last pages of a report).
  followScroll_ = false;
  SetVertPos((*pages_)[CurrentPage - 1].PreviewRect.top - kPageGap);
  followScroll_ = true;
}

void TfrPreviewForm::FormResize() {
  if (!pages_ || pages_->Count() == 0) return;
  PaintEnabled = false;
  const PreviewLayout l = LayOutPreviewPages(*pages_, CurrentPage - 1, ZoomMode, Scale,
                                             pbox_->width(), pbox_->height());
  Scale = l.Scale;
  CheckZoomEntries();
  zoomBtn_->SetCaption(QString("%1%").arg(Round(Scale * 100)));
  {
    // The ranges clamp the positions; the offsets follow without moving
    // the current page.
    const QSignalBlocker bh(hbar_), bv(vbar_);
    hbar_->setMaximum(l.HorzMax);
    vbar_->setMaximum(l.VertMax);
  }
  hbar_->setEnabled(l.HorzMax != 0);
  vbar_->setEnabled(l.VertMax != 0);
  PrevHorzPos = hbar_->value();
  PrevVertPos = vbar_->value();
  ViewOffsetX = -PrevHorzPos;
  ViewOffsetY = -PrevVertPos;
  if (isVisible()) pbox_->setFocus();
  ScrollToPage();
  PaintEnabled = true;
  pbox_->update();
}

// ---- Scrolling ----

void TfrPreviewForm::SetVertPos(int pos) {
  vbar_->setValue(pos);
}
void TfrPreviewForm::SetHorzPos(int pos) {
  hbar_->setValue(pos);
}

void TfrPreviewForm::VScrolled(int pos) {
  const int old = PrevVertPos;
  PrevVertPos = pos;
  ViewOffsetY = -pos;
  if (PaintEnabled)
    pbox_->scroll(0, old - pos);
  else
    pbox_->update();
  if (!followScroll_ || !pages_) return;
  const int page = PageAtScrollPosition(*pages_, pos);
  if (page >= 0) {
    CurrentPage = page + 1;
    ShowPageNumber();
  }
}

void TfrPreviewForm::HScrolled(int pos) {
  const int old = PrevHorzPos;
  PrevHorzPos = pos;
  ViewOffsetX = -pos;
  if (PaintEnabled)
    pbox_->scroll(old - pos, 0);
  else
    pbox_->update();
}

void TfrPreviewForm::PgUpClick() {
  if (!pages_ || pages_->Count() == 0) return;
  if (CurrentPage > 1) --CurrentPage;
  ShowPageNumber();
  ScrollToPage();
}

void TfrPreviewForm::PgDownClick() {
  if (!pages_ || pages_->Count() == 0) return;
  if (CurrentPage < pages_->Count()) ++CurrentPage;
  ShowPageNumber();
  ScrollToPage();
}

// ---- Zoom ----

void TfrPreviewForm::ZoomBtnClick() {
  for (QAction* a : editActions_) a->setVisible(false);
  procMenu_->popup(zoomBtn_->mapToGlobal(QPoint(0, zoomBtn_->height())));
}

void TfrPreviewForm::ChooseZoom(int tag) {
  if (!pages_ || pages_->Count() == 0) return;
  ViewOffsetX = 0;
  if (tag >= 1 && tag <= 3) {
    ZoomMode = static_cast<std::uint8_t>(tag);
  } else {
    ZoomMode = zmPercent;
    Scale = tag / 100.0;
  }
  for (QAction* a : zoomGroup_->actions())
    if (a->property(kZoomTagProperty).toInt() == tag) a->setChecked(true);
  SetHorzPos(0);
  FormResize();
  ZoomMemory().LastScale = Scale;
  ZoomMemory().LastZoomMode = ZoomMode;
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
  if (!pages_ || pages_->Count() == 0) return false;
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
        CurrentPage = pages_->Count();
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
      Search.FollowCurrentPage(CurrentPage);
      FindNext();
    }
    return true;
  }
  return false;
}

// ---- Mouse on the page box ----

void TfrPreviewForm::BoxMouseDown(QPoint p) {
  if (!pages_ || pages_->Count() == 0) return;
  if (pbox_->SkipNextMouseDown) {
    pbox_->SkipNextMouseDown = false;
    return;
  }
  pbox_->ClickedPage = 0;
  const int x = p.x() - ViewOffsetX;
  const int y = p.y() - ViewOffsetY;
  for (int i = 0; i < pages_->Count(); ++i) {
    const Rect& r = (*pages_)[i].PreviewRect;
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
    pbox_->ClickedPage = i + 1;
    const Point at{Round((x - r.left) / Scale), Round((y - r.top) / Scale)};
    int cursor = 0;
    bool taken = false;
    Guarded([&] { taken = pages_->HitTest(i, at, cursor, true); });
    if (taken) return;
  }
  pbox_->Dragging = true;
  pbox_->DragLastX = p.x();
  pbox_->DragLastY = p.y();
  if (pbox_->ClickedPage != 0) CurrentPage = pbox_->ClickedPage;
  ShowPageNumber();
}

void TfrPreviewForm::BoxMouseMove(QPoint p) {
  if (!pages_ || pages_->Count() == 0) return;
  if (pbox_->Dragging) {
    SetHorzPos(hbar_->value() + pbox_->DragLastX - p.x());
    SetVertPos(vbar_->value() + pbox_->DragLastY - p.y());
    pbox_->DragLastX = p.x();
    pbox_->DragLastY = p.y();
    return;
  }
  if (!report_ || !report_->Events.OnMouseOverObject) return;
  const int x = p.x() - ViewOffsetX;
  const int y = p.y() - ViewOffsetY;
  for (int i = 0; i < pages_->Count(); ++i) {
    const Rect& r = (*pages_)[i].PreviewRect;
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
    const Point at{Round((x - r.left) / Scale), Round((y - r.top) / Scale)};
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
  if (!pages_ || pages_->Count() == 0) return;
  pbox_->Dragging = false;
  pbox_->SkipNextMouseDown = true;
  if (pbox_->ClickedPage != 0) {
    CurrentPage = pbox_->ClickedPage;
    ShowPageNumber();
  }
}

void TfrPreviewForm::BoxRightClick(QPoint globalPos) {
  if (!pages_ || pages_->Count() == 0) return;
  QMenu* menu = ContextMenu ? ContextMenu : procMenu_;
  menu->popup(globalPos);
}

void TfrPreviewForm::BoxWheel(int notches) {
  if (!pages_ || pages_->Count() == 0 || notches == 0) return;
  SetVertPos(vbar_->value() - notches * kSmallStep * WheelFactor);
}

// ---- Files ----

void TfrPreviewForm::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    Host().ShowMessage(e.what(), "Error", MessageIcon::Error, MessageButtons::Ok);
  }
}

void TfrPreviewForm::LoadBtnClick() {
  if (!report_ || !pages_) return;
  const QString name = AskOpenName
                           ? AskOpenName(*this)
                           : QFileDialog::getOpenFileName(this, {}, {}, "Report file (*.frp)");
  if (name.isEmpty()) return;
  Guarded([&] { LoadPreparedFile(FromQString(name)); });
}

void TfrPreviewForm::LoadPreparedFile(const std::string& name) {
  if (!report_) return;
  // The file is read into the report's (empty) list first, so a file that
  // cannot be read leaves the pages shown as they were.
  report_->PreparedPages.Clear();
  try {
    report_->LoadPrepared(name);
  } catch (...) {
    report_->PreparedPages.Clear();
    throw;
  }
  pages_.reset();
  Connect(*report_);
  CurrentPage = 1;
  FormResize();
  PaintEnabled = false;
  ShowPageNumber();
  ScrollToPage();
  PaintEnabled = true;
  pbox_->update();
}

void TfrPreviewForm::SaveBtnClick() {
  if (!report_ || !pages_) return;
  const QString name = AskSaveName
                           ? AskSaveName(*this)
                           : QFileDialog::getSaveFileName(this, {}, {}, "Report file (*.frp)");
  if (name.isEmpty()) return;
  Guarded([&] { SavePreparedFile(FromQString(name)); });
}

void TfrPreviewForm::SavePreparedFile(const std::string& name) {
  if (!report_ || !pages_) return;
  const std::string path = ChangeFileExt(name, ".frp");
  Disconnect();
  try {
    report_->SavePrepared(path);
  } catch (...) {
    Connect(*report_);
    throw;
  }
  Connect(*report_);
}

void TfrPreviewForm::PrintBtnClick() {
  if (!report_ || !pages_ || !PrinterInstalled()) return;
  if (PrintHook) {
    PrintHook(*this);
    return;
  }
  Guarded([&] {
    Disconnect();
    try {
      report_->PrintPrepared("", report_->DefaultCopies, report_->DefaultCollate, 0);
    } catch (...) {
      Connect(*report_);
      throw;
    }
    Connect(*report_);
  });
  ResetView(false);
}

namespace {

// Qt's page-setup dialog on the engine printer's device.
bool AskQtPageSetup(QWidget* owner, TfrPreviewForm::PageSetupChoice& c) {
  QPrinter printer(QPrinter::HighResolution);
  TfrPrinter& engine = EnginePrinter();
  if (!engine.IsVirtualSelected() && engine.SelectedPrinterIndex >= 0 &&
      engine.SelectedPrinterIndex < int(engine.PrinterNames.size()))
    printer.setPrinterName(
        QString::fromStdString(engine.PrinterNames[engine.SelectedPrinterIndex]));
  const QPageSize size(QPageSize::id(c.PaperSizeCode));
  if (size.isValid()) printer.setPageSize(size);
  printer.setPageOrientation(c.Orientation ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer.setPageMargins(QMarginsF(c.MarginLeft / 100.0, c.MarginTop / 100.0, c.MarginRight / 100.0,
                                   c.MarginBottom / 100.0),
                         QPageLayout::Millimeter);
  QPageSetupDialog dialog(&printer, owner);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QPageLayout layout = printer.pageLayout();
  const QMarginsF m = layout.margins(QPageLayout::Millimeter);
  c.MarginLeft = Round(m.left() * 100);
  c.MarginTop = Round(m.top() * 100);
  c.MarginRight = Round(m.right() * 100);
  c.MarginBottom = Round(m.bottom() * 100);
  const int code = layout.pageSize().windowsId();
  c.PaperSizeCode = code > 0 ? code : kCustomPaperSize;
  const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
  c.PaperWidthTenths = Round(mm.width() * 10);
  c.PaperHeightTenths = Round(mm.height() * 10);
  c.Orientation = layout.orientation() == QPageLayout::Landscape ? 1 : 0;
  return true;
}

}  // namespace

void TfrPreviewForm::PageSetupBtnClick() {
  if (!report_ || !pages_ || pages_->Count() == 0 || !PrinterInstalled()) return;
  const PreparedPage& first = (*pages_)[0];
  PageSetupChoice c;
  c.MarginLeft = first.Margins.Left * 500 / 18;
  c.MarginTop = first.Margins.Top * 500 / 18;
  c.MarginRight = first.Margins.Right * 500 / 18;
  c.MarginBottom = first.Margins.Bottom * 500 / 18;
  c.PaperSizeCode = first.PaperSizeCode;
  c.PaperWidthTenths = first.PaperWidthTenths;
  c.PaperHeightTenths = first.PaperHeightTenths;
  c.Orientation = first.Orientation;
  const bool ok = AskPageSetup ? AskPageSetup(*this, c) : AskQtPageSetup(scrollBox_, c);
  if (!ok) return;
  for (const auto& page : report_->Template.Pages) {
    if (page->Type != ptReport) continue;
    page->Margins = {c.MarginLeft * 18 / 500, c.MarginTop * 18 / 500, c.MarginRight * 18 / 500,
                     c.MarginBottom * 18 / 500};
    page->PaperSizeCode = c.PaperSizeCode;
    page->PaperWidthTenths = c.PaperWidthTenths;
    page->PaperHeightTenths = c.PaperHeightTenths;
    page->Orientation = c.Orientation;
  }
  // The pages shown stay until the new ones are there: a preparation that
  // fails or is cancelled leaves the preview as it was.
  report_->PreparedPages.Clear();
  bool prepared = false;
  Guarded([&] { prepared = report_->Prepare(); });
  if (!prepared || report_->PreparedPages.Count() == 0) {
    report_->PreparedPages.Clear();
    return;
  }
  pages_.reset();
  Connect(*report_);
  ResetView(true);
}

// ---- Find text ----

void TfrPreviewForm::FindBtnClick() {
  if (!report_ || !pages_) return;
  SearchRequest request;
  const bool ok = AskSearch ? AskSearch(*this, request) : TfrPreviewSearchForm::Ask(this, request);
  if (ok) StartSearch(request);
}

void TfrPreviewForm::StartSearch(const SearchRequest& request) {
  Search.Start(FromQString(request.Text), request.CaseSensitive, UpperOfText);
  if (!request.FromCurrentPage) {
    Search.SearchPage = 0;
    Search.SearchRecord = 0;
  } else {
    Search.FollowCurrentPage(CurrentPage);
  }
  FindNext();
}

void TfrPreviewForm::FindNext() {
  if (!pages_) return;
  PaintEnabled = false;
  bool hit = false;
  Guarded([&] { hit = FindNextOnPages(*pages_, Search, UpperOfText); });
  if (!hit) {
    PaintEnabled = true;
    return;
  }
  CurrentPage = Search.SearchPage + 1;
  ShowPageNumber();
  const Rect& r = (*pages_)[Search.SearchPage].PreviewRect;
  const ScrollTarget t = ScrollToShow(Search.HitBounds, Scale, r, pbox_->width(), pbox_->height());
  followScroll_ = false;
  SetVertPos(t.Vert);
  SetHorzPos(t.Horz);
  followScroll_ = true;
  Host().ProcessPendingMessages();
  PaintEnabled = true;
  LastMark = QRect(r.left + ViewOffsetX + t.Scaled.left, r.top + ViewOffsetY + t.Scaled.top,
                   t.Scaled.Width(), t.Scaled.Height() + 1);
  // The mark is drawn by the paint that follows at once; a box not on
  // screen gets none, so no stale mark turns up later.
  if (pbox_->isVisible()) {
    pbox_->MarkOnce(LastMark);
    pbox_->repaint();
  }
}

// ---- Help ----

void TfrPreviewForm::HelpBtnClick() {
  helpMode_ = true;
  QApplication::setOverrideCursor(Qt::WhatsThisCursor);
  grabMouse();
}

int TfrPreviewForm::HelpAt(QPoint p) {
  helpMode_ = false;
  releaseMouse();
  QApplication::restoreOverrideCursor();
  QWidget* w = childAt(p);
  if (!w || w == helpBtn_ || w->parentWidget() == helpBtn_) return 0;
  const int number = w->property(kHelpProperty).toInt();
  if (number == 0) return 0;
  LastHelpText = PreviewHelpText(number);
  QWhatsThis::showText(mapToGlobal(p), LastHelpText, this);
  return number;
}

void TfrPreviewForm::mousePressEvent(QMouseEvent* e) {
  if (helpMode_) {
    HelpAt(e->position().toPoint());
    e->accept();
    return;
  }
  QDialog::mousePressEvent(e);
}

// ---- Opening and closing ----

void TfrPreviewForm::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  LoadCaptions();
  if (!positionRestored_) {
    positionRestored_ = true;
    RestoreWindowPosition();
  }
  pbox_->setFocus();
}

void TfrPreviewForm::done(int result) {
  if (isVisible()) SaveWindowPosition();
  QDialog::done(result);
}

void TfrPreviewForm::ExitBtnClick() {
  if (report_ && !report_->ModalPreview)
    close();
  else
    accept();
}

void TfrPreviewForm::closeEvent(QCloseEvent* e) {
  QDialog::closeEvent(e);
}

void TfrPreviewForm::SaveWindowPosition() {
  QSettings settings(QSettings::UserScope, "Quillet");
  settings.beginGroup("Form/TfrPreviewForm");
  const QRect g = isMaximized() ? normalGeometry() : geometry();
  settings.setValue("XPosition", g.x());
  settings.setValue("YPosition", g.y());
  settings.setValue("Width", g.width());
  settings.setValue("Height", g.height());
  settings.setValue("Maximized", isMaximized());
}

void TfrPreviewForm::RestoreWindowPosition() {
  QSettings settings(QSettings::UserScope, "Quillet");
  settings.beginGroup("Form/TfrPreviewForm");
  if (!settings.value("Maximized", true).toBool()) setWindowState(Qt::WindowNoState);
  const QRect g = isMaximized() ? normalGeometry() : geometry();
  const QRect stored(
      settings.value("XPosition", g.x()).toInt(), settings.value("YPosition", g.y()).toInt(),
      settings.value("Width", g.width()).toInt(), settings.value("Height", g.height()).toInt());
  // A maximised window keeps the screen; the stored bounds apply to a
  // normal one.
  if (!isMaximized() && stored.width() > 0 && stored.height() > 0) setGeometry(stored);
}

}  // namespace quillet
