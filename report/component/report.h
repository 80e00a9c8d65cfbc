// Folder report/component: the report component (TfrReport), the composite
// report and printing of prepared pages. It may include every report
// folder; only the layers outside the engine include it.
//
// TfrReport: the report component. It owns a template (pages, data
// dictionary, printer settings), the prepared pages that preparation forms
// from it, and the run-time state of one preparation. Prepare forms the
// template into prepared pages (one pass, or a counting pass and a final
// pass), inside the progress window of the engine host unless the report
// reports progress itself; the template is snapshotted before and restored
// after, so preparation never changes it.
//
// Everything runs on the user-interface thread. Errors raised while
// objects are evaluated become one calculation error that stops the run
// and is shown in an "Error" box afterwards; the prepared pages are then
// discarded.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "report/base/report_services.h"
#include "report/base/variant.h"
#include "report/data/data_levels.h"
#include "report/formation/formation_report.h"
#include "report/formation/page_formation.h"
#include "report/formation/run_context.h"
#include "report/prepared/prepared_pages.h"
#include "report/printer/page_range.h"
#include "report/script/code_lines.h"
#include "report/template/report_template.h"

namespace quillet {

class DataSetComponent;
class DialogComponent;
class ProgressControl;
class TfrBand;
class TfrDataset;
class PageFormation;
// The embedded preview panel; the preview layer defines it.
class TfrPreview;

enum TfrReportType : std::uint8_t { rtSimple, rtMultiple };
enum TfrPreviewZoom : std::uint8_t { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };

// Preview buttons (bits of PreviewButtons).
enum TfrPreviewButton : std::uint8_t {
  pbZoom = 1,
  pbLoad = 2,
  pbSave = 4,
  pbPrint = 8,
  pbFind = 16,
  pbHelp = 32,
  pbExit = 64,
  pbPageSetup = 128,
};

// The report's events; an empty function is an unassigned event.
struct TfrReportEvents {
  std::function<void()> OnBeginDoc;
  std::function<void()> OnEndDoc;
  std::function<void(int pageIndex)> OnBeginPage;
  std::function<void(int pageIndex)> OnEndPage;
  std::function<void(TfrBand&)> OnBeginBand;
  std::function<void(TfrBand&)> OnEndBand;
  std::function<void(const std::string& name, Variant& value)> OnGetValue;
  std::function<void(StringList& workText, TfrView& view)> OnBeforePrint;
  std::function<void(const std::string& name, const Variant& p1, const Variant& p2,
                     const Variant& p3, Variant& result)>
      OnUserFunction;
  std::function<void(int pageNumber)> OnProgress;
  std::function<void(TfrBand&)> OnBeginColumn;
  std::function<void(int column, int& width)> OnPrintColumn;
  std::function<void(TfrPage&)> OnManualBuild;
  std::function<void(TfrView&)> OnObjectClick;
  std::function<void(TfrView&, int& cursor)> OnMouseOverObject;
  std::function<void()> OnPrintReport;
  std::function<void(DialogComponent* component)> OnCustomizeObject;
};

class TfrReport : public FormationReport {
 public:
  TfrReport();  // of the process's engine
  explicit TfrReport(EngineGlobals& engine);
  ~TfrReport() override;
  TfrReport(const TfrReport&) = delete;
  TfrReport& operator=(const TfrReport&) = delete;

  // ---- Published properties ----
  std::string Name;
  TfrDataset* Dataset = nullptr;  // not owned; drives a multi-report
  std::int32_t DefaultCopies = 1;
  bool DefaultCollate = true;
  bool GrayedButtons = false;
  TfrPreviewZoom InitialZoom = pzDefault;
  bool MDIPreview = false;
  bool ModalPreview = true;
  bool ModifyPrepared = true;
  TfrPreview* Preview = nullptr;  // an embedded preview panel, not owned
  std::uint8_t PreviewButtons = 127;
  bool PrintIfEmpty = true;
  TfrReportType ReportType = rtSimple;
  bool ShowPrintDialog = true;
  bool ShowProgress = true;
  std::string Title;
  // The file the template was last loaded from (LoadTemplateFile, or the
  // caller that read it in another form), for messages; may be empty.
  std::string FileName;
  TfrReportEvents Events;

  // ---- Owned lists ----
  TfrTemplate Template;       // the template pages and data dictionary
  TfrEMFPages PreparedPages;  // what preparation formed

  // The engine the report runs in, and the state of its run.
  EngineGlobals& Globals() const { return Template.Globals(); }
  PreparationState& Run() const { return Template.Run(); }

  // ---- Run-time state ----
  // TwoPassRequested, InFinalPass and StopRequested come with
  // PreparationReport.
  bool BuiltFromTemplate = false;
  TfrPage* CurrentTemplatePage = nullptr;  // not owned

  // Forms the template into PreparedPages. False when the progress window
  // ended with Cancel, a calculation error stopped the run (with or
  // without the window), or a dialog was cancelled.
  bool Prepare();
  // Prepare, then ShowPrepared whatever Prepare returned. The host may open
  // the preview as soon as the first page is formed (EngineHost::
  // PagesFormed): the progress window then hides, and a Cancel in the
  // preview stops formation keeping the pages formed. Answers Prepare's
  // result and whether a preview was shown.
  struct PreviewRun {
    bool Prepared = false;
    bool Shown = false;
  };
  PreviewRun PrepareAndPreview();
  // Opens the preview on the prepared pages (Host().ShowPrepared); nothing
  // when there are none and no preview opened while they formed.
  void ShowPrepared();
  // Prints the prepared pages: `pageRange` such as "1,3,5-12" (empty: every
  // page), `copies` (below 1: one), collated or left to the printer's own
  // copy count, `selection` 0 every page, 1 odd pages, 2 even pages. Runs
  // in the progress window unless OnProgress is assigned or ShowProgress is
  // off. Errors (a range item that is not a number, a printer failure)
  // propagate after the open document was aborted, so nothing is printed.
  void PrintPrepared(const std::string& pageRange, int copies, bool collate, int selection);
  // The print job itself: one document per run of pages on the same paper,
  // pages in ascending order once per pass. Stops (aborting the document)
  // after the page during which StopRequested was set.
  virtual void PrintPages(const std::string& pageRange, int copies, bool collate, int selection);
  // Prints prepared page `index` (0-based) when the selection wants it.
  void PrintOnePage(int index);

  // The print request of the running (or last) job.
  std::string PrintRangeText;
  std::int32_t PrintCopies = 1;
  bool PrintCollate = false;
  std::uint8_t PrintSelection = 0;  // 0 all pages, 1 odd, 2 even

  bool RunPasses();
  void PassStep();
  // Forms every template page once (per data-set record for a multi-report).
  virtual void BuildPages();
  // A progress step: the OnProgress event, or the progress window's line.
  void ReportProgress(int pageNumber) override;

  // Prepared-report files. Raise FileOpenError, StreamReadError,
  // StreamWriteError; loading keeps the pages read before a failure.
  void LoadPrepared(const std::string& path);
  void SavePrepared(const std::string& path);

  // Template streams and files; loading selects the template's printer.
  void LoadTemplate(Stream& stream);
  void SaveTemplate(Stream& stream);
  void LoadTemplateFile(const std::string& path);
  void SaveTemplateFile(const std::string& path);
  void ClearTemplate() { Template.ClearTemplate(); }

  // The template page's formation while the report prepares, or nullptr.
  PageFormation* FormationOf(const TfrPage& page) const;
  // The progress window while preparation runs in it, or nullptr.
  ProgressControl* Progress() const override { return progress_; }

  // PreparationReport.
  std::string ReportName() const override { return Name; }
  std::string ReportFileName() const override { return FileName; }
  TfrEMFPages& Prepared() override { return PreparedPages; }
  void OnEndPage(int pageIndex) override;

  // FormationReport.
  PageFormation* FormationAt(int index) const override;
  TfrDataset* MasterDataset() const override;
  bool PrintsIfEmpty() const override { return PrintIfEmpty; }
  void OnBeginBand(TfrBand& band) override;
  void OnEndBand(TfrBand& band) override;
  void OnBeginColumn(TfrBand& band) override;
  void OnPrintColumn(int column, int& width) override;
  bool BuildsManually() const override { return static_cast<bool>(Events.OnManualBuild); }
  void BuildManually(TfrPage& page) override;

  // ReportServices.
  TfrView* FindView(std::string_view name) const override;
  void BeforeObjectOutput(std::vector<std::string>& workText, TfrView& view) override;
  // Runs the object's script as translated when its page was set up.
  void RunViewScript(TfrView& view) override;
  // The text of a bracketed expression's value: an optional format suffix
  // after " #" (N…, D…/T…, B…, or digits), the value resolved, zeros hidden
  // for memos with HideZeros, formatted by FormatDisplayValue. Sets
  // LastExpression and LastValue.
  std::string EvaluateBracket(const std::string& expression) override;

  // ---- Names and procedures (report_names.cpp) ----
  // The parser's value hook: events, dictionary, system variables ("PAGE#",
  // "TOTALPAGES", "DATE"...), user variables, page variables and object
  // properties, and finally the name evaluated as an expression. A name
  // that refers back to itself raises "Undefined symbol".
  void ResolveName(const std::string& name, Variant& value);
  // "CURY", "FREESPACE", "FINALPASS", "PAGEHEIGHT", "PAGEWIDTH", object
  // properties and named constants; false when the name is none of them.
  bool ResolvePageVariable(const std::string& name, Variant& value);
  // The parser's function hook: function libraries, then the report's
  // procedures, then OnUserFunction. The result starts as the text "0".
  void CallFunction(const std::string& name, const Variant& p1, const Variant& p2,
                    const Variant& p3, Variant& result);
  void CallBuiltinProcedure(const std::string& name, const Variant& p1, const Variant& p2,
                            const Variant& p3, Variant& result);
  // A dotted reference ("Memo1.Left", "PAGE2.Left", "Font.Name") as an
  // object and its property name; the object is the active view when the
  // text names no other. The object's property table is built if empty.
  TfrObject* ResolveObjectProperty(const std::string& reference, std::string& property);
  // The registered data set whose fields a dictionary variable's bare field
  // name reads: that of the active band's data level on a report page,
  // otherwise the report's Dataset; nullptr when that is none.
  DataSetComponent* DataLevelDataset() const;
  // Binds the shared parser's hooks to this report (Prepare, BuildPages).
  void InstallParserHooks();
  // The engine state as Prepare sets it before forming pages (date and
  // time captured, this report active, parser hooks bound), without
  // forming any: for evaluating expressions outside a run.
  void StartEvaluation();
  // ---- Scripts (report_scripts.cpp) ----
  // Translates and runs a script text on the spot (page scripts); syntax
  // errors are dropped and what translated runs. Errors while running
  // propagate to the caller, which records them as calculation errors.
  void RunScript(const StringList& script) override;
  // Runs translated code lines; scripts that run scripts (a band shown
  // from a script) nest at most kMaxScriptDepth deep.
  void RunCode(const CodeLines& code);
  // The script of a band's band object, as translated at page set-up.
  void RunBandScript(const TfrView* bandView) override;
  // Translates the scripts of a page's objects once, when the page is set
  // up; they are forgotten when preparation ends.
  void TranslateObjectScripts(const TfrPage& page) override;
  void ForgetObjectScripts();
  static constexpr int kMaxScriptDepth = 32;

  // PreparedPagesReport.
  void OnBeginPage(int pageIndex) override;
  bool OnObjectClick(TfrView& view) override;
  bool OnMouseOverObject(TfrView& view, int& cursor) override;
  // Selects the installed printer of exactly that name unless the template
  // keeps the current printer; always records the name.
  void SelectPrinterByName(const std::string& name) override;

 protected:
  // Clears the engine state's references into this report's template.
  void ForgetTemplateObjects();
  bool IsMultiReport() const { return Dataset && ReportType == rtMultiple; }
  void SetUpFormations();
  void FinishFormations();
  void DrawAlignedObjects();
  // Runs the passes between a snapshot of the template and its restore;
  // hands out the calculation error of the run.
  virtual bool SnapshotAndRun(bool& errorFlag, std::string& errorText);

  // The data layer this report's formations call, and the run context of
  // the preparation whose formations are set up (made with them; the
  // formations hold it, so it is declared before them and outlives them).
  DataLevelFormation dataFormation_;
  std::unique_ptr<RunContext> run_;
  std::vector<std::unique_ptr<PageFormation>> formations_;
  std::unordered_map<const TfrView*, CodeLines> objectCode_;  // translated object scripts
  int scriptDepth_ = 0;
  ProgressControl* progress_ = nullptr;
  // The print job: the pages the range selects and whether no page was
  // printed yet.
  PageSelection printPages_;
  bool printFirst_ = true;
  int pagesInDocument_ = 0;
  std::string firstLineText_;
  // PrepareAndPreview is running (the host hears of each page formed), and
  // whether the host opened the preview before formation ended.
  bool previewWhileForming_ = false;
  bool previewOpened_ = false;
  int pagesWhole_ = 0;  // the pages whole at the last step before any error
  // Tells the host of the pages formed so far; true when its preview shows
  // them (and so the progress).
  bool ReportPagesFormed(PreparationReport& outer);
  std::string ProgressCaption() const;
  // Runs one pass inside the progress window; false when it was cancelled.
  bool PassInProgressWindow();
  friend class TfrCompositeReport;
};

// Unbinds the shared parser's hooks when they are bound to `report`.
void ReleaseParserHooks(TfrReport* report);

}  // namespace quillet
