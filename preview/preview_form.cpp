// The preview window: building its widgets and menu, the buttons the report
// asks for, taking and giving back the pages, opening and closing.
#include "preview/preview_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QVBoxLayout>

#include "preview/preview_form_constants.h"
#include "preview/preview_view.h"
#include "preview/preview_window_size.h"
#include "preview/toolbar_button.h"
#include "preview/toolbar_glyphs.h"
#include "report/component/report.h"
#include "report/printer/printer.h"
#include "widgets/engine_window_font.h"

namespace quillet {
namespace {

using namespace preview_form;

void SetHelp(QWidget* w, int number) {
  w->setProperty(kHelpProperty, number);
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

TfrPreviewForm::TfrPreviewForm(QWidget* parent) : QDialog(parent) {
  setFont(EngineWindowFont());
  setWindowTitle("Preview");
  resize(443, 305);
  setAcceptDrops(true);
  BuildWidgets();
  BuildMenu();
  LoadCaptions();
}

TfrPreviewForm::~TfrPreviewForm() {
  if (helpMode_) QApplication::restoreOverrideCursor();
}

int TfrPreviewForm::PageCount() const {
  if (!pages_) return 0;
  return Forming() ? std::min(formed_, pages_->Count()) : pages_->Count();
}

void TfrPreviewForm::DropPages() {
  pages_ = nullptr;
  ownedPages_.reset();
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
  loadBtn_->OnClick = [this] { OpenBtnMenu(); };
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
  statusLine_ = new QLabel(this);
  statusLine_->setObjectName("StatusLine");
  statusLine_->setWordWrap(true);
  statusLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statusLine_->setContentsMargins(4, 2, 4, 2);
  statusLine_->hide();
  layout->addWidget(statusLine_);
  BuildFormingBar();
  layout->addWidget(formingBar_);
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
  SetUpForShowing(report);
  if (report.ModalPreview) {
    exec();
  } else {
    show();
  }
}

void TfrPreviewForm::SetUpForShowing(TfrReport& report) {
  report_ = &report;
  ApplyButtons();
  ResetView(true);
  SetHorzPos(0);
  SetVertPos(0);
  // Without a window manager to maximise it, or when it is restored, the
  // window keeps its normal size: make that most of the screen.
  if (!positionRestored_)
    if (const QScreen* s = parentWidget() ? parentWidget()->screen() : screen())
      setGeometry(DefaultPreviewGeometry(s->availableGeometry()));
  setWindowState(windowState() | Qt::WindowMaximized);
}

EngineGlobals& TfrPreviewForm::Globals() const {
  // Before a report is connected the window belongs to the process's engine.
  return report_ ? report_->Globals() : Engine();
}

void TfrPreviewForm::Connect(TfrReport& report) {
  report_ = &report;
  ownedPages_ = std::make_unique<TfrEMFPages>(report.Template.Globals(), &report);
  ownedPages_->Swap(report.PreparedPages);
  pages_ = ownedPages_.get();
}

void TfrPreviewForm::ShowStatus(const QString& text, bool error) {
  statusLine_->setText(text);
  statusLine_->setStyleSheet(error ? QStringLiteral("color: #b00000; font-weight: bold;")
                                   : QString());
  statusLine_->setVisible(!text.isEmpty());
}

void TfrPreviewForm::Disconnect() {
  if (!report_ || !pages_ || Forming()) return;
  report_->PreparedPages.Clear();
  report_->PreparedPages.Swap(*pages_);
  DropPages();
}

bool TfrPreviewForm::PrinterInstalled() const {
  if (!report_ || !report_->Globals().Printer.EnginePrinter) return false;
  PlatformPrinter* platform = EnginePrinter(report_->Globals()).PlatformPrinter;
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
  if (forming_) {
    // Closing a window whose pages still form stops formation.
    closedWhileForming_ = true;
    CancelForming();
  }
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
