// TfrPreviewForm: the preview window. It takes a report's prepared pages
// (Connect), lays them out at a zoom (page width, whole page, two pages or a
// percentage), pages, scrolls, finds text, saves and loads prepared-report
// files, and forwards clicks and hovering over printed objects to the
// report's events. A TfrPreview panel can borrow its page area and toolbar.
//
// Ownership: from Connect on the window owns the pages and the report holds
// an empty list; Disconnect gives them back. While a report still forms
// (StartForming .. EndForming) the window only reads the report's own list,
// showing the pages formed so far. Closing (destroying) the window
// frees the pages it holds. The report is not owned and must outlive the
// window. Everything runs on the user-interface thread.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "preview/preview_layout.h"
#include "preview/preview_search.h"

class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollBar;

namespace quillet {

class TfrEMFPages;
struct EngineGlobals;
class TfrReport;
class TfrPBox;
class TfrTBButton;
class TfrTBSeparator;
class TfrSpeedButton;

// Context-help numbers of the window's controls.
enum PreviewHelpNumber : int {
  hcZoom = 200,
  hcLoad = 201,
  hcSave = 202,
  hcPrint = 203,
  hcFind = 204,
  hcExit = 205,
  hcPageLabel = 206,
  hcPageBox = 207,
};
// The context-help text of a number (empty for a number without help).
QString PreviewHelpText(int number);

// Where and how large the pages are shown.
struct PreviewViewState {
  int CurrentPage = 1;  // 1-based; the page whose number the label shows
  int ViewOffsetX = 0;  // minus the horizontal scroll position
  int ViewOffsetY = 0;  // minus the vertical scroll position
  int PrevHorzPos = 0;  // scroll positions before the last change
  int PrevVertPos = 0;
  double Scale = 1.0;  // screen pixels per report pixel
  std::uint8_t ZoomMode = zmPercent;
  bool PaintEnabled = true;  // the page box paints nothing while false
};

class TfrPreviewForm : public QDialog {
  Q_OBJECT

 public:
  explicit TfrPreviewForm(QWidget* parent = nullptr);
  ~TfrPreviewForm() override;

  // ---- State ----
  TfrReport* Report() const { return report_; }
  // The engine of the report shown.
  EngineGlobals& Globals() const;
  // The pages shown, or nullptr while the window holds none.
  TfrEMFPages* Pages() const { return pages_; }
  int PageCount() const;
  PreviewViewState View;
  SearchState Search;
  std::function<void()> PageChangedHook;  // set by TfrPreview
  int WheelFactor = 1;

  // ---- Operations ----
  // Connect, buttons, view reset, then shows the window: modally (returns
  // when it closes) when the report's ModalPreview is set, else modelessly.
  void ShowWindow(TfrReport& report);
  // Takes the report's prepared pages; the report gets an empty list.
  void Connect(TfrReport& report);
  // Gives the pages back to the report.
  void Disconnect();

  // ---- Showing pages while they form (preview_form_forming.cpp) ----
  // Shows the window (modeless, yet modal to the application when the
  // report's ModalPreview is set) on the first `formed` pages of the
  // report's PreparedPages, which formation goes on appending to; the list
  // stays the report's. The forming bar under the pages shows the count, a
  // progress bar towards `total` (busy when 0) and a Cancel button that
  // sets the report's StopRequested. File, print, page-setup and find
  // actions wait for the end.
  void StartForming(TfrReport& report, int formed, int total);
  // `formed` pages are whole now: the count, the layout and the progress
  // follow, the view stays where it is.
  void ShowFormed(int formed, int total);
  // Formation has ended: the window takes the report's pages (Connect) and
  // its status line says when formation was stopped or failed (`error`, in
  // red); the forming bar goes. After an error only the first `formed`
  // pages are kept (those after were cut short); -1 keeps every page.
  // Emits FormationEnded.
  void EndForming(const std::string& error, int formed);
  bool Forming() const { return forming_; }
  // The user closed the window while the pages formed (which stopped
  // formation); the window stays hidden.
  bool ClosedWhileForming() const { return closedWhileForming_; }
  QWidget* FormingBar() const { return formingBar_; }
  QLabel* FormingLabel() const { return formingLabel_; }
  QProgressBar* FormingProgress() const { return formingProgress_; }
  QPushButton* CancelButton() const { return cancelButton_; }
  // Cancel: asks formation to stop after the page it forms.
  void CancelForming();
  void ApplyButtons();
  void LoadCaptions();
  void ResetView(bool resetPage);
  void ShowPageNumber();
  void ScrollToPage();
  // The layout: zoom, page rectangles, scroll furniture and ranges.
  void FormResize();
  // Replaces the pages by those of a prepared-report file. Errors of the
  // file propagate; the window is then left without pages.
  void LoadPreparedFile(const std::string& name);
  // Opens a report file in the window: a prepared-report file's pages, or
  // a template (.frf, or JSON whatever its name) prepared first into a
  // report the window keeps, titled with the file's name. The file joins
  // the recent files. Errors propagate with the pages shown as they were;
  // a preparation that failed or was cancelled (the host has said why)
  // changes nothing either.
  void OpenReportFile(const std::string& path);
  // Shows the prepared pages of `report`, which the window keeps (and frees
  // once it shows another). With `keepView` the page shown, the scroll
  // position and the zoom stay as they were (a page past the new end
  // becomes the last page); otherwise the first page is shown from its top.
  // The report must hold pages.
  void ShowReport(std::shared_ptr<TfrReport> report, bool keepView);
  // How OpenReportFile prepares a template: returns the prepared report, or
  // nullptr when the preparation failed or was stopped (the host has said
  // why); errors propagate. The program sets it to prepare with the data it
  // was started with; without it a template is prepared over no data.
  std::function<std::shared_ptr<TfrReport>(const std::string& path)> PrepareTemplate;
  // Called with the path of every file OpenReportFile opened.
  std::function<void(const std::string& path)> FileOpened;
  // The status line under the pages: hidden while `text` is empty; an
  // error is drawn in red.
  void ShowStatus(const QString& text, bool error);
  QLabel* StatusLine() const { return statusLine_; }
  // Whether a dropped file is taken: a .frp, .frf or .json name.
  static bool IsReportFileName(const QString& path);
  // Saves the pages under `name` with its extension replaced by ".frp".
  // Errors propagate; the pages stay in the window.
  void SavePreparedFile(const std::string& name);
  // One find step (see preview_search.h), then the match is shown.
  void FindNext();
  // Chooses a zoom entry by its tag (200 .. 10 percent; 1, 2, 3 the modes).
  void ChooseZoom(int tag);
  void PgUpClick();
  void PgDownClick();
  // A key as the window previews it; true when consumed.
  bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

  // The toolbar actions.
  void ZoomBtnClick();
  void LoadBtnClick();
  void SaveBtnClick();
  void PrintBtnClick();
  void PageSetupBtnClick();
  void FindBtnClick();
  void HelpBtnClick();
  void ExitBtnClick();

  // Printing of prepared pages (the print dialog, then the report's
  // PrintPrepared between Disconnect and Connect) comes from the printing
  // layer; the program installs it here (printing/preview_printing). Without it
  // the Print button prints the pages once with the report's default
  // copies and no dialog.
  std::function<void(TfrPreviewForm&)> PrintHook;
  // What the page-setup dialog shows and returns: margins in hundredths of
  // a millimetre, the platform paper code, orientation (0 portrait), and
  // the paper size in tenths of a millimetre.
  struct PageSetupChoice {
    int MarginLeft = 0, MarginTop = 0, MarginRight = 0, MarginBottom = 0;
    int PaperSizeCode = 9;
    int PaperWidthTenths = 0, PaperHeightTenths = 0;
    std::uint8_t Orientation = 0;
  };
  // The page-setup dialog (Qt's by default; tests replace it): false on
  // Cancel.
  std::function<bool(TfrPreviewForm&, PageSetupChoice&)> AskPageSetup;
  // How the file dialogs are asked (tests replace them): return the chosen
  // name, or an empty text for Cancel.
  std::function<QString(TfrPreviewForm&)> AskOpenName;
  std::function<QString(TfrPreviewForm&)> AskSaveName;
  // The search dialog: returns false on Cancel (tests replace it).
  struct SearchRequest {
    QString Text;
    bool CaseSensitive = false;
    bool FromCurrentPage = false;
  };
  std::function<bool(TfrPreviewForm&, SearchRequest&)> AskSearch;
  // Starts a search as the dialog's OK does.
  void StartSearch(const SearchRequest& request);

  // ---- Widgets (for the panel and tests) ----
  QWidget* ToolbarStrip() const { return toolbarStrip_; }
  QWidget* PreviewPanel() const { return previewPanel_; }
  TfrPBox* PageBox() const { return pbox_; }
  QScrollBar* VScrollBar() const { return vbar_; }
  QScrollBar* HScrollBar() const { return hbar_; }
  QLabel* PageLabel() const { return label1_; }
  QMenu* ProcMenu() const { return procMenu_; }
  TfrTBButton* ZoomBtn() const { return zoomBtn_; }
  TfrTBButton* LoadBtn() const { return loadBtn_; }
  TfrTBButton* SaveBtn() const { return saveBtn_; }
  TfrTBButton* PrintBtn() const { return printBtn_; }
  TfrTBButton* PageSetupBtn() const { return pageSetupBtn_; }
  TfrTBButton* FindBtn() const { return findBtn_; }
  TfrTBButton* HelpBtn() const { return helpBtn_; }
  TfrTBButton* ExitBtn() const { return exitBtn_; }
  TfrSpeedButton* PgUp() const { return pgUp_; }
  TfrSpeedButton* PgDown() const { return pgDown_; }
  // The toolbar items in order, visible or not.
  QList<QWidget*> ToolbarItems() const;
  // Lays the visible toolbar items out from the left.
  void ArrangeToolbar();
  // Places the page area's furniture in its panel, then FormResize.
  void ArrangePreviewPanel();
  // Shows or hides the vertical (RPanel) and horizontal (BPanel) scroll
  // furniture, then lays out again.
  void SetScrollFurniture(bool vertical, bool horizontal);
  // The box rectangle the last find match was marked in (for tests).
  QRect LastMark;
  // A popup menu that replaces ProcMenu on a right click (the panel's).
  QMenu* ContextMenu = nullptr;
  // True while the toolbar strip sits in this window (not in a panel).
  bool ToolbarInWindow() const;

  // Mouse actions of the page box (box coordinates).
  void BoxMouseDown(QPoint p);
  void BoxMouseMove(QPoint p);
  void BoxMouseUp();
  void BoxDoubleClick();
  void BoxRightClick(QPoint globalPos);
  void BoxWheel(int notches);
  // Context-help mode is on (the next press on the window shows help).
  bool HelpMode() const { return helpMode_; }
  // The help number shown for a press at window point `p` in help mode
  // (0: none). Ends help mode.
  int HelpAt(QPoint p);
  // The help popup's last text (for tests).
  QString LastHelpText;

  // Paints the page box (called by its paint event).
  void PaintBox(QPainter& painter, const QRegion& region);

 signals:
  // Formation that the window showed while it ran has ended (EndForming).
  void FormationEnded();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  // Every way of ending the window stores its position first.
  void done(int result) override;
  void mousePressEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void BuildWidgets();
  void BuildFormingBar();
  // The buttons that wait for formation to end: open, save, print, page
  // setup and find (print and page setup only with a printer).
  void SetFileButtonsEnabled(bool enabled);
  // Buttons, view and geometry as a window about to be shown wants them.
  void SetUpForShowing(TfrReport& report);
  // The layout of the pages shown, keeping the scroll positions.
  void LayOutPages();
  // No pages held or read any more.
  void DropPages();
  void BuildMenu();
  void CheckZoomEntries();
  void VScrolled(int pos);
  void HScrolled(int pos);
  void SetVertPos(int pos);
  void SetHorzPos(int pos);
  // Shows the view moved by (dx, dy) box pixels after a scroll.
  void MoveView(int dx, int dy);
  void SaveWindowPosition();
  void RestoreWindowPosition();
  void ShowMatch();
  // Runs an action that may raise, reporting an error through the host.
  void Guarded(const std::function<void()>& action);
  bool PrinterInstalled() const;

  // The Open button: the open dialog, or with recent files a menu of them.
  void OpenBtnMenu();

  TfrReport* report_ = nullptr;
  // A template opened in the window is prepared into this report, which
  // report_ then points to.
  std::shared_ptr<TfrReport> openedReport_;
  // The pages shown: ownedPages_, or the report's own list while it forms.
  TfrEMFPages* pages_ = nullptr;
  std::unique_ptr<TfrEMFPages> ownedPages_;
  bool forming_ = false;
  bool closedWhileForming_ = false;
  int formed_ = 0;  // pages whole while forming
  bool helpMode_ = false;
  bool positionRestored_ = false;
  // The current page follows the vertical scroll position (not while the
  // window scrolls to a page it chose).
  bool followScroll_ = true;

  QWidget* toolbarStrip_ = nullptr;
  QWidget* panel1_ = nullptr;
  QWidget* previewPanel_ = nullptr;
  QWidget* scrollBox_ = nullptr;
  QWidget* rPanel_ = nullptr;
  QWidget* bPanel_ = nullptr;
  QFrame* bevel1_ = nullptr;
  TfrPBox* pbox_ = nullptr;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* statusLine_ = nullptr;
  QWidget* formingBar_ = nullptr;
  QLabel* formingLabel_ = nullptr;
  QProgressBar* formingProgress_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QMenu* procMenu_ = nullptr;
  QActionGroup* zoomGroup_ = nullptr;
  QList<QAction*> editActions_;
  TfrTBButton* zoomBtn_ = nullptr;
  TfrTBSeparator* sep1_ = nullptr;
  TfrTBButton* loadBtn_ = nullptr;
  TfrTBButton* saveBtn_ = nullptr;
  TfrTBButton* printBtn_ = nullptr;
  TfrTBButton* pageSetupBtn_ = nullptr;
  TfrTBSeparator* sep2_ = nullptr;
  TfrTBButton* findBtn_ = nullptr;
  TfrTBButton* helpBtn_ = nullptr;
  TfrTBSeparator* sep3_ = nullptr;
  TfrTBButton* exitBtn_ = nullptr;
  TfrSpeedButton* pgUp_ = nullptr;
  TfrSpeedButton* pgDown_ = nullptr;
};

}  // namespace quillet
