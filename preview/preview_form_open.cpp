// Opening report files in the preview window: the Open button with its
// recent files, a file dropped on the window, and a template prepared
// into a report of the window's own. Paths reach the engine as the Open
// dialog's do (FromQString).
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/engine_host.h"
#include "platform/errors.h"
#include "platform/qt/qt_text.h"
#include "preview/preview_form.h"
#include "preview/preview_view.h"
#include "preview/recent_files.h"
#include "preview/toolbar_button.h"
#include "report/component/report.h"
#include "report/template/report_file_kind.h"
#include "report/template/report_template.h"
#include "report/template/template_json.h"

namespace quillet {
namespace {

// The one local report file among dropped URLs, or an empty text.
QString DroppedReportFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().first();
  if (!url.isLocalFile()) return {};
  const QString path = url.toLocalFile();
  return TfrPreviewForm::IsReportFileName(path) ? path : QString();
}

// A template prepared as the window does without data options: a band
// over a data set finds none.
std::shared_ptr<TfrReport> PreparedOverNoData(const std::string& path) {
  auto opened = std::make_shared<TfrReport>();
  if (KindOfReportFile(path) == ReportFileKind::TemplateStream) {
    // Load errors of a template stream are shown by the loader itself.
    opened->LoadTemplateFile(path);
  } else {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileOpenError("Cannot open file \"" + path + "\"");
    ReadTemplateJson(std::string(std::istreambuf_iterator<char>(in), {}), opened->Template,
                     FolderOfTemplateFile(path));
    opened->SelectPrinterByName(opened->Template.PrinterName);
  }
  if (opened->Template.Pages.empty()) throw EngineError(path + " holds no page to prepare");
  if (!opened->Prepare()) return nullptr;
  return opened;
}

}  // namespace

bool TfrPreviewForm::IsReportFileName(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QLatin1String("frp") || suffix == QLatin1String("frf") ||
         suffix == QLatin1String("json");
}

void TfrPreviewForm::OpenReportFile(const std::string& path) {
  if (!report_ || Forming()) return;
  if (KindOfReportFile(path) == ReportFileKind::PreparedReport) {
    LoadPreparedFile(path);
    RecentFiles::Add(ToQString(path));
    if (FileOpened) FileOpened(path);
    return;
  }
  std::shared_ptr<TfrReport> opened =
      PrepareTemplate ? PrepareTemplate(path) : PreparedOverNoData(path);
  if (!opened) return;
  if (opened->PreparedPages.Count() == 0) throw EngineError(path + " holds no page");
  // The caption, the print job and a PDF's name carry the file's name.
  opened->Title = FromQString(QFileInfo(ToQString(path)).fileName());
  opened->ModalPreview = report_->ModalPreview;
  opened->PreviewButtons = report_->PreviewButtons;
  ShowReport(std::move(opened), false);
  RecentFiles::Add(ToQString(path));
  if (FileOpened) FileOpened(path);
}

void TfrPreviewForm::ShowReport(std::shared_ptr<TfrReport> report, bool keepView) {
  const int page = View.CurrentPage;
  const int horz = hbar_->value();
  // How far down its page the view starts.
  const int intoPage = pages_ && page >= 1 && page <= PageCount()
                           ? vbar_->value() - (*pages_)[page - 1].PreviewRect.top
                           : 0;
  // The pages shown go, then the window takes the new report's pages; the
  // report shown before this one goes last, once nothing refers to it.
  DropPages();
  Connect(*report);
  std::swap(openedReport_, report);
  report.reset();
  setWindowTitle(QStringLiteral("Preview - ") + ToQString(report_->Title));
  View.CurrentPage = keepView ? std::clamp(page, 1, PageCount()) : 1;
  FormResize();  // keeps the zoom, lays the new pages out, turns to the page
  View.PaintEnabled = false;
  if (keepView && page <= PageCount()) {
    // Back to the very place on the page, as far as the new layout reaches.
    followScroll_ = false;
    SetHorzPos(horz);
    SetVertPos((*pages_)[page - 1].PreviewRect.top + intoPage);
    followScroll_ = true;
  }
  ShowPageNumber();
  if (!keepView) ScrollToPage();
  View.PaintEnabled = true;
  pbox_->update();
}

void TfrPreviewForm::OpenBtnMenu() {
  const QStringList recent = RecentFiles::List();
  if (recent.isEmpty()) {
    LoadBtnClick();
    return;
  }
  QMenu menu(this);
  menu.addAction(QStringLiteral("&Open..."), this, [this] { LoadBtnClick(); });
  menu.addSeparator();
  int n = 0;
  for (const QString& file : recent) {
    const QString label = QStringLiteral("&%1 %2").arg(++n).arg(QFileInfo(file).fileName());
    QAction* a = menu.addAction(label, this, [this, file] {
      if (report_ && pages_) Guarded([&] { OpenReportFile(FromQString(file)); });
    });
    a->setToolTip(file);
  }
  menu.exec(loadBtn_->mapToGlobal(QPoint(0, loadBtn_->height())));
}

void TfrPreviewForm::dragEnterEvent(QDragEnterEvent* e) {
  if (report_ && pages_ && !Forming() && !DroppedReportFile(e->mimeData()).isEmpty())
    e->acceptProposedAction();
  else
    e->ignore();
}

void TfrPreviewForm::dropEvent(QDropEvent* e) {
  const QString path = DroppedReportFile(e->mimeData());
  if (!report_ || !pages_ || Forming() || path.isEmpty()) {
    e->ignore();
    return;
  }
  e->acceptProposedAction();
  Guarded([&] { OpenReportFile(FromQString(path)); });
}

}  // namespace quillet
