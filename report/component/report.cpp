#include "report/component/report.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <exception>

#include "platform/engine_host.h"
#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "platform/scope_guard.h"
#include "platform/stream.h"
#include "report/base/calc_errors.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/base/engine_texts.h"
#include "report/component/engine_library.h"
#include "report/expr/dataset_components.h"
#include "report/formation/page_formation.h"
#include "report/printer/printer.h"
#include "report/template/page.h"

namespace quillet {
namespace {

constexpr int kModalDone = 1;
constexpr int kModalCancelled = 2;

// Today as days since 1899-12-30 and the time of day as a fraction of a day,
// in local time.
void CaptureNow(double& date, double& time) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::tm midnight = local;
  midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
  // Days between 1899-12-30 and 1970-01-01.
  constexpr double kEpochOffsetDays = 25569;
  const std::time_t day = timegm(&midnight);
  date = kEpochOffsetDays + static_cast<double>(day / 86400);
  time = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / 86400.0;
}

}  // namespace

// A report made without an engine (by the command line, the sheet, a test)
// runs in the process's.
TfrReport::TfrReport() : TfrReport(Engine()) {}

TfrReport::TfrReport(EngineGlobals& engine)
    : Template(engine), PreparedPages(engine, this), dataFormation_(engine.Run) {
  Template.Owner = this;
  Template.Dictionary.DataLevelDataset = [this] { return DataLevelDataset(); };
}

TfrReport::~TfrReport() {
  ReleaseParserHooks(this);
  formations_.clear();
  ForgetTemplateObjects();
  PreparationState& prep = Run();
  if (prep.ActiveReport == this) prep.ActiveReport = nullptr;
  if (prep.OuterReport == this) prep.OuterReport = nullptr;
  // The data dictionary, then the prepared pages, then the template pages.
  Template.Dictionary.Clear();
  PreparedPages.Clear();
  Template.Pages.clear();
}

void TfrReport::ForgetTemplateObjects() {
  // The engine state must not point into template pages about to go.
  PreparationState& prep = Run();
  CurrentTemplatePage = nullptr;
  prep.ActiveBand = nullptr;
  for (const auto& page : Template.Pages) {
    if (prep.ActivePage == page.get()) prep.ActivePage = nullptr;
    for (const auto& view : page->Objects)
      if (prep.ActiveView == view.get()) prep.ActiveView = nullptr;
  }
}

// ---- Preparation ---------------------------------------------------------

bool TfrReport::Prepare() {
  StartEngineLibrary(Globals());  // nothing when the program started it already
  PreparationState& prep = Run();
  SelectPrinterByName(Template.PrinterName);
  prep.RenderActive = true;
  CaptureNow(prep.PrepareDate, prep.PrepareTime);
  prep.ActivePage = nullptr;
  prep.ActiveBand = nullptr;
  prep.OuterReport = prep.ActiveReport = this;
  InstallParserHooks();
  TwoPassRequested = Template.TwoPass;

  bool errorFlag = false;
  std::string errorText;
  bool result = SnapshotAndRun(errorFlag, errorText);
  PreparedPages.CloseOpenPage();
  InFinalPass = false;
  if (result && prep.DialogCancelled) result = false;
  // A preview open on the forming pages keeps them, with the error if any.
  if (previewOpened_)
    Globals().Host().FormationEnded(*this, errorFlag ? errorText : std::string(),
                                    errorFlag ? pagesWhole_ : PreparedPages.Count());
  if (errorFlag) {
    Globals().Host().ShowMessage(errorText, EngineText(txError), MessageIcon::Error,
                                 MessageButtons::Ok);
    PreparedPages.Clear();
    result = false;  // the pages are gone: a caller must not go on to print them
  } else if (prep.DialogCancelled) {
    PreparedPages.Clear();
  }
  prep.CountingPass = false;
  prep.ActiveBand = nullptr;
  return result;
}

void TfrReport::StartEvaluation() {
  PreparationState& prep = Run();
  prep.RenderActive = true;
  CaptureNow(prep.PrepareDate, prep.PrepareTime);
  prep.OuterReport = prep.ActiveReport = this;
  prep.PageIndex = 0;
  prep.EvaluatingName.clear();
  InstallParserHooks();
}

bool TfrReport::SnapshotAndRun(bool& errorFlag, std::string& errorText) {
  MemoryStream snapshot;
  Template.SaveTemplate(snapshot);
  Run().ActiveReport = this;
  // Objects aligned to their band compute their size once before forming.
  // That changes template objects too, so it happens after the snapshot
  // that restores them.
  DrawAlignedObjects();
  Run().ActivePage = nullptr;
  // Whatever happens, the template comes back as it was.
  const ScopeGuard restore([this, &snapshot] {
    formations_.clear();
    ForgetObjectScripts();
    ForgetTemplateObjects();
    snapshot.Seek(0);
    Template.RestoreSnapshot(snapshot);
  });
  if (Events.OnBeginDoc) Events.OnBeginDoc();
  const bool result = RunPasses();
  if (Events.OnEndDoc) Events.OnEndDoc();
  errorFlag = Run().CalcErrorFlag;
  errorText = Run().CalcErrorText;
  return result;
}

TfrReport::PreviewRun TfrReport::PrepareAndPreview() {
  PreviewRun run;
  previewWhileForming_ = true;
  previewOpened_ = false;
  pagesWhole_ = 0;
  {
    const ScopeGuard done([this] { previewWhileForming_ = false; });
    run.Prepared = Prepare();
  }
  run.Shown = previewOpened_ || PreparedPages.Count() > 0;
  ShowPrepared();
  previewOpened_ = false;
  return run;
}

void TfrReport::ShowPrepared() {
  if (PreparedPages.Count() == 0 && !previewOpened_) return;
  Globals().Host().ShowPrepared(*this);
}

std::string TfrReport::ProgressCaption() const {
  std::string caption = EngineText(txPreparingReport);
  if (!Title.empty()) caption += " - " + Title;
  return caption;
}

bool TfrReport::RunPasses() {
  PreparationState& prep = Run();
  StopRequested = false;
  prep.AppendToPrevious = false;
  prep.CountingPass = false;
  InFinalPass = true;
  prep.PageIndex = 0;
  PreparedPages.Clear();
  const bool withWindow = !Events.OnProgress && ShowProgress;

  if (Template.TwoPass) {
    prep.CountingPass = true;
    InFinalPass = false;
    if (!withWindow) {
      PassStep();
      return true;
    }
    firstLineText_ = EngineText(txFirstPass);
    return PassInProgressWindow();
  }

  if (!withWindow) {
    Template.TwoPass = TwoPassRequested;
    PassStep();
    return true;
  }
  firstLineText_ = EngineText(txProcessingPage);
  if (TwoPassRequested && progress_) {
    // The window is already open for the counting pass.
    progress_->SetFirstLine(firstLineText_ + "  1");
    Template.TwoPass = true;
    PassStep();
    return true;
  }
  prep.TotalPageCount = 0;
  return PassInProgressWindow();
}

bool TfrReport::PassInProgressWindow() {
  const int modal =
      Globals().Host().RunWithProgress(ProgressCaption(), [this](ProgressControl& window) {
        progress_ = &window;
        const ScopeGuard forget([this] { progress_ = nullptr; });
        window.SetFirstLine(firstLineText_ + "  1");
        PassStep();
      });
  return modal != kModalCancelled;
}

void TfrReport::PassStep() {
  BuildPages();
  if (InFinalPass) {
    if (progress_) progress_->SetModalResult(StopRequested ? kModalCancelled : kModalDone);
    return;
  }
  // The counting pass has ended.
  Run().TotalPageCount = PreparedPages.Count();
  Template.TwoPass = false;
  if (StopRequested) {
    PreparedPages.Clear();
    if (progress_) progress_->SetModalResult(kModalCancelled);
  } else {
    RunPasses();
  }
  Template.TwoPass = true;
}

void TfrReport::ReportProgress(int pageNumber) {
  // A report formed inside a composite reports through the composite.
  PreparationReport& outer = OuterReportOf(Run(), *this);
  if (!Events.OnProgress && &outer != this) {
    outer.ReportProgress(pageNumber);
    return;
  }
  const bool previewShowsIt = ReportPagesFormed(outer);
  if (Events.OnProgress) {
    Events.OnProgress(pageNumber);
    return;
  }
  if (previewShowsIt || !ShowProgress) return;
  if (!progress_) {
    Globals().Host().ProcessPendingMessages();
    return;
  }
  std::string line = firstLineText_ + "  " + std::to_string(pageNumber);
  if (outer.InFinalPass && outer.TwoPassRequested)
    line += " " + EngineText(txFrom) + " " + std::to_string(Run().TotalPageCount);
  progress_->SetFirstLine(line);
  progress_->ProcessMessages();
  // The window's Cancel button asks the run to stop.
  if (progress_->StopRequested()) outer.StopRequested = true;
}

bool TfrReport::ReportPagesFormed(PreparationReport& outer) {
  if (!previewWhileForming_ || !outer.InFinalPass || &outer != this) return false;
  // After an error formation only winds down: the page it struck stays
  // unfinished, and so do any after it.
  if (Run().CalcErrorFlag) return previewOpened_;
  // The last page in the list is still forming; those before it are whole.
  const int formed = std::max(0, PreparedPages.Count() - 1);
  pagesWhole_ = formed;
  const int total = TwoPassRequested ? Run().TotalPageCount : 0;
  if (!Globals().Host().PagesFormed(*this, formed, total)) return false;
  if (!previewOpened_ && progress_ && progress_->Visible()) {
    // From here the preview shows the progress and offers Cancel.
    progress_->SetVisible(false);
  }
  previewOpened_ = true;
  return true;
}

void TfrReport::DrawAlignedObjects() {
  PreparationState& prep = Run();
  for (const auto& page : Template.Pages) {
    bool limitsTaken = false;
    for (const auto& view : page->Objects) {
      if (view->BandAlign == baNone) continue;
      if (!limitsTaken) {
        // The page's limits where a margin is 0 are the printer's printable
        // area, as formation takes them.
        limitsTaken = true;
        try {
          TakePrinterPageInfo(*page);
        } catch (const std::exception&) {
          // Formation asks the printer again and reports what fails.
        }
      }
      prep.ActivePage = page.get();
      RecordingCanvas scratch(DeviceKind::Screen, Globals().MeasuringCanvas);
      view->Draw(scratch);
    }
  }
}

PageFormation* TfrReport::FormationAt(int index) const {
  const auto& pages = Template.Pages;
  if (index < 0 || static_cast<std::size_t>(index) >= pages.size()) return nullptr;
  return FormationOf(*pages[static_cast<std::size_t>(index)]);
}

PageFormation* TfrReport::FormationOf(const TfrPage& page) const {
  for (const auto& f : formations_)
    if (&f->Page == &page) return f.get();
  return nullptr;
}

void TfrReport::SetUpFormations() {
  formations_.clear();
  run_ = std::make_unique<RunContext>(Globals(), dataFormation_);
  for (const auto& page : Template.Pages)
    formations_.push_back(std::make_unique<PageFormation>(*page, *this, *run_));
}

void TfrReport::BuildPages() {
  PreparationState& prep = Run();
  Globals().Host().ProcessPendingMessages();
  BuiltFromTemplate = true;
  prep.RenderActive = true;
  prep.ActiveReport = this;
  // Data sets may have changed since the names were last resolved.
  Template.Dictionary.ClearCache();
  InstallParserHooks();
  // The aggregate functions read this report's data bands while it forms
  // its pages; an inner report's run restores the outer one's after it.
  const KeepValue<AggregateValues*> keepAggregates(prep.Aggregates);
  prep.Aggregates = &dataFormation_;
  prep.CalcErrorFlag = false;
  prep.CalcErrorText.clear();
  PreparationReport* outer = &OuterReportOf(Run(), *this);

  const bool multi = IsMultiReport();
  if (multi) {
    Dataset->OpenData();
    Dataset->First();
  }
  const bool finalOfTwoPass = outer->InFinalPass && outer->TwoPassRequested;
  if (!finalOfTwoPass || formations_.size() != Template.Pages.size()) {
    SetUpFormations();
    prep.DialogCancelled = false;
  }

  try {
    for (const auto& f : formations_) {
      if (f->Page.Type != ptDialog) continue;
      f->SetUpPage();
      if (prep.DialogCancelled) break;
    }
    if (!prep.DialogCancelled) {
      for (const auto& f : formations_)
        if (f->Page.Type != ptDialog) f->SetUpPage();
      for (const auto& f : formations_)
        if (f->Page.Type != ptDialog && !finalOfTwoPass) f->ResolveReferences();
      const std::size_t count = formations_.size();
      do {
        ReportProgress(prep.PageIndex + 1);
        for (std::size_t i = 0; i < count; ++i) {
          PageFormation& f = *formations_[i];
          TfrPage& page = f.Page;
          CurrentTemplatePage = &page;
          prep.ActivePage = &page;
          if (!page.Visible) RunScript(page.ScriptLines);
          if (!f.SubReportTarget && page.Type != ptDialog && page.Visible) f.ComposePage();
          prep.AppendToPrevious = false;
          const bool last = i + 1 == count;
          if ((last && prep.AppendNextReport && (!multi || Dataset->Eof())) ||
              (!last && formations_[i + 1]->Page.PrintToPrevPage != 0)) {
            --prep.PageIndex;
            prep.AppendToPrevious = true;
          }
          if (!prep.AppendToPrevious) {
            prep.PageIndex = outer->Prepared().Count();
            ReportProgress(prep.PageIndex);
          }
          if (outer->StopRequested) break;
        }
        ReportProgress(prep.PageIndex);
        if (multi) Dataset->Next();
      } while (!outer->StopRequested && multi && !Dataset->Eof());
    }
  } catch (const std::exception& e) {
    // Whatever escaped the object-level checks (a band that cannot fit any
    // page, say) ends the run the same way.
    RecordCalcError(Run(), e.what());
  }

  for (const auto& f : formations_)
    if (f->Page.Type != ptDialog) f->FinishPage();
  for (const auto& f : formations_)
    if (f->Page.Type == ptDialog) f->FinishPage();
  if (multi) Dataset->CloseData();
}

// ---- Files ---------------------------------------------------------------

void TfrReport::LoadPrepared(const std::string& path) {
  PreparedPages.LoadPreparedFile(path);
  BuiltFromTemplate = false;
}

void TfrReport::SavePrepared(const std::string& path) {
  PreparedPages.SavePreparedFile(path);
}

void TfrReport::LoadTemplate(Stream& stream) {
  Template.LoadTemplate(stream);
  SelectPrinterByName(Template.PrinterName);
}

void TfrReport::SaveTemplate(Stream& stream) {
  Template.SaveTemplate(stream);
}

void TfrReport::LoadTemplateFile(const std::string& path) {
  Template.LoadTemplateFile(path);
  FileName = path;
  SelectPrinterByName(Template.PrinterName);
}

void TfrReport::SaveTemplateFile(const std::string& path) {
  Template.SaveTemplateFile(path);
}

// ---- Services ------------------------------------------------------------

TfrView* TfrReport::FindView(std::string_view name) const {
  return Template.FindView(name);
}

void TfrReport::BeforeObjectOutput(std::vector<std::string>& workText, TfrView& view) {
  // A view bound to a data-set field (a picture over a BLOB column) loads
  // the current record's value.
  if (view.BoundDataSet && !view.BoundFieldName.empty()) {
    DataSetComponent* set = FindDatasetComponentOf(view.BoundDataSet);
    if (set && set->HasField(view.BoundFieldName)) {
      const TfrDataField field = set->Field(view.BoundFieldName);
      view.LoadFromField(&field);
    }
  }
  if (Events.OnBeforePrint) Events.OnBeforePrint(workText, view);
}

TfrDataset* TfrReport::MasterDataset() const {
  return ReportType == rtSimple ? Dataset : nullptr;
}

void TfrReport::OnEndPage(int pageIndex) {
  if (Events.OnEndPage) Events.OnEndPage(pageIndex);
}

void TfrReport::OnBeginBand(TfrBand& band) {
  if (Events.OnBeginBand) Events.OnBeginBand(band);
}

void TfrReport::OnEndBand(TfrBand& band) {
  if (Events.OnEndBand) Events.OnEndBand(band);
}

void TfrReport::OnBeginColumn(TfrBand& band) {
  if (Events.OnBeginColumn) Events.OnBeginColumn(band);
}

void TfrReport::OnPrintColumn(int column, int& width) {
  if (Events.OnPrintColumn) Events.OnPrintColumn(column, width);
}

void TfrReport::BuildManually(TfrPage& page) {
  if (Events.OnManualBuild) Events.OnManualBuild(page);
}

void TfrReport::OnBeginPage(int pageIndex) {
  if (Events.OnBeginPage) Events.OnBeginPage(pageIndex);
}

bool TfrReport::OnObjectClick(TfrView& view) {
  if (!Events.OnObjectClick) return false;
  Events.OnObjectClick(view);
  return true;
}

bool TfrReport::OnMouseOverObject(TfrView& view, int& cursor) {
  if (!Events.OnMouseOverObject) return false;
  Events.OnMouseOverObject(view, cursor);
  return true;
}

void TfrReport::SelectPrinterByName(const std::string& name) {
  Template.PrinterName = name;
  if (Template.KeepCurrentPrinter || !Globals().Printer.EnginePrinter) return;
  TfrPrinter& printer = EnginePrinter(Globals());
  for (std::size_t i = 0; i < printer.PrinterNames.size(); ++i) {
    if (printer.PrinterNames[i] != name) continue;
    if (static_cast<int>(i) != printer.SelectedPrinterIndex)
      printer.SelectPrinter(static_cast<int>(i));
    return;
  }
}

}  // namespace quillet
