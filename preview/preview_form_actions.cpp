// The preview window's actions: loading and saving prepared-report files,
// printing, page setup, finding text and context help.
#include <QApplication>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QWhatsThis>
#include <exception>

#include "platform/engine_host.h"
#include "platform/numeric.h"
#include "platform/qt/qt_text.h"
#include "preview/preview_form.h"
#include "preview/preview_form_constants.h"
#include "preview/preview_search_form.h"
#include "preview/preview_view.h"
#include "preview/toolbar_button.h"
#include "report/component/report.h"
#include "report/printer/printer.h"
#include "report/template/page.h"

namespace quillet {
namespace {

using namespace preview_form;

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

// ---- Files ----

void TfrPreviewForm::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    Globals().Host().ShowMessage(e.what(), "Error", MessageIcon::Error, MessageButtons::Ok);
  }
}

void TfrPreviewForm::LoadBtnClick() {
  if (!report_ || !pages_ || Forming()) return;
  const QString name = AskOpenName
                           ? AskOpenName(*this)
                           : QFileDialog::getOpenFileName(
                                 this, {}, {},
                                 "Report files (*.frp *.frf *.json);;Prepared report (*.frp);;"
                                 "Report template (*.frf *.json)");
  if (name.isEmpty()) return;
  Guarded([&] { OpenReportFile(FromQString(name)); });
}

void TfrPreviewForm::LoadPreparedFile(const std::string& name) {
  if (!report_ || Forming()) return;
  // The file is read into the report's (empty) list first, so a file that
  // cannot be read leaves the pages shown as they were.
  report_->PreparedPages.Clear();
  try {
    report_->LoadPrepared(name);
  } catch (...) {
    report_->PreparedPages.Clear();
    throw;
  }
  DropPages();
  Connect(*report_);
  View.CurrentPage = 1;
  FormResize();
  View.PaintEnabled = false;
  ShowPageNumber();
  ScrollToPage();
  View.PaintEnabled = true;
  pbox_->update();
}

void TfrPreviewForm::SaveBtnClick() {
  if (!report_ || !pages_ || Forming()) return;
  const QString name = AskSaveName
                           ? AskSaveName(*this)
                           : QFileDialog::getSaveFileName(this, {}, {}, "Report file (*.frp)");
  if (name.isEmpty()) return;
  Guarded([&] { SavePreparedFile(FromQString(name)); });
}

void TfrPreviewForm::SavePreparedFile(const std::string& name) {
  if (!report_ || !pages_ || Forming()) return;
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
  if (!report_ || !pages_ || Forming() || !PrinterInstalled()) return;
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
bool AskQtPageSetup(TfrPrinter& engine, QWidget* owner, TfrPreviewForm::PageSetupChoice& c) {
  QPrinter printer(QPrinter::HighResolution);
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
  if (!report_ || !pages_ || Forming() || PageCount() == 0 || !PrinterInstalled()) return;
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
  const bool ok = AskPageSetup ? AskPageSetup(*this, c)
                               : AskQtPageSetup(EnginePrinter(report_->Globals()), scrollBox_, c);
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
  DropPages();
  Connect(*report_);
  ResetView(true);
}

// ---- Find text ----

void TfrPreviewForm::FindBtnClick() {
  if (!report_ || !pages_ || Forming()) return;
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
    Search.FollowCurrentPage(View.CurrentPage);
  }
  FindNext();
}

void TfrPreviewForm::FindNext() {
  if (!pages_) return;
  pbox_->ClearMark();
  View.PaintEnabled = false;
  bool hit = false;
  Guarded([&] { hit = FindNextOnPages(*pages_, Search, UpperOfText); });
  if (!hit) {
    View.PaintEnabled = true;
    return;
  }
  View.CurrentPage = Search.SearchPage + 1;
  ShowPageNumber();
  const Rect& r = (*pages_)[Search.SearchPage].PreviewRect;
  const ScrollTarget t =
      ScrollToShow(Search.HitBounds, View.Scale, r, pbox_->width(), pbox_->height());
  followScroll_ = false;
  SetVertPos(t.Vert);
  SetHorzPos(t.Horz);
  followScroll_ = true;
  Globals().Host().ProcessPendingMessages();
  View.PaintEnabled = true;
  LastMark =
      QRect(r.left + View.ViewOffsetX + t.Scaled.left, r.top + View.ViewOffsetY + t.Scaled.top,
            t.Scaled.Width(), t.Scaled.Height() + 1);
  // The mark stays through repaints that move nothing (the window getting
  // the focus back from the Find dialog repaints the whole box) until the
  // view scrolls, is laid out again or the next search starts. A box not on
  // screen gets none, so no stale mark turns up later.
  if (pbox_->isVisible()) {
    pbox_->SetMark(LastMark);
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

}  // namespace quillet
