// Folder report/base: what every part of the engine shares — the engine
// state (the preparation in progress and the engine-wide globals), the
// variant value, the property table of report objects, data sets as an
// interface, the engine's texts, text formats, calculation errors, and the
// interfaces through which lower folders reach objects that higher ones
// define (PreparationReport, FormingBand, EvaluatedObject, ReportServices).
// It includes only platform/.
//
// The engine: one object holding the registries and settings that live from
// start to end and the state of the preparation (or drawing) in progress.
// The objects of a report reach it through what owns them: the report
// component and its template hold it, a page holds its template's, a view
// its page's, and page formation, its bands and the data layer get the
// preparation state handed down in their RunContext
// (report/formation/run_context.h). The accessors Engine() and Prep() serve
// what has no owner to ask: the start and end of the engine, objects made
// outside any report, and the tests.
// Single-threaded by design: only the user-interface thread touches it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "platform/engine_host.h"
#include "platform/headless_host.h"
#include "report/base/variant.h"

namespace quillet {

class AggregateValues;
class EvaluatedObject;
class FormingBand;
class PreparationReport;
class Stream;
class TInterpretator;
class TfrCompressor;
class TfrFunctionLibrary;
class TfrMemoView;
class TfrParser;
class TfrPrinter;
class TfrVariables;
class TfrView;
class ViewPage;

// The state of the preparation in progress (or of drawing).
struct PreparationState {
  PreparationReport* ActiveReport = nullptr;
  PreparationReport* OuterReport = nullptr;  // see OuterReportOf
  EvaluatedObject* ActiveView = nullptr;     // object being evaluated, or none
  FormingBand* ActiveBand = nullptr;         // band being formed, or none
  ViewPage* ActivePage = nullptr;            // page being formed or drawn, or none
  int PageIndex = 0;
  int TotalPageCount = 0;
  bool RenderActive = true;  // false while a template is loaded
  bool CountingPass = false;
  bool CalcErrorFlag = false;
  std::string CalcErrorText;
  // Formation of one template page (or report) continued on the last
  // prepared page: where it resumes and how low it may go.
  bool AppendToPrevious = false;
  bool AppendNextReport = false;
  bool FootersPrinted = false;
  std::int32_t ResumeY = 0;
  std::int32_t ResumeBottom = 0;
  bool DialogCancelled = false;  // a dialog page was closed with Cancel
  bool AggregateScan = false;    // objects are pre-scanned for aggregates
  // The aggregate values of the report being formed, set for the length of
  // its formation; none outside a preparation. Not owned.
  AggregateValues* Aggregates = nullptr;
  // Captured once when preparation starts: days since 1899-12-30, and the
  // time of day as a fraction of a day.
  double PrepareDate = 0;
  double PrepareTime = 0;
  // Expressions: the value and text of the last bracketed expression
  // ("VALUE"), and the name being resolved by evaluating it (the guard
  // against names that refer to themselves).
  Variant LastValue;
  std::string LastExpression;
  std::string EvaluatingName;
};

using ViewFactory = std::unique_ptr<TfrView> (*)();

// One registered object kind.
struct TfrAddInObjectInfo {
  std::string ClassName;
  ViewFactory ViewClass = nullptr;
  RasterImage Picture;  // 16 x 16 picture of the kind
  std::string HintText;
};

// Writes the picture object that stands for one page of the older
// picture-based prepared-report format: a picture at (0, 0) of `width` x
// `height` report pixels holding `metafile` (the page's picture bytes),
// written as a prepared-mode object record into `out`.
using OldFormatPictureWriter =
    std::function<void(Stream& out, const std::string& metafile, int width, int height)>;

// Receives each horizontal line of a memo being exported: the memo's device
// rectangle, the line's x, the memo, the frame sides the line carries, the
// line's y and its text (paragraph mark removed).
using MemoTextExportHook =
    std::function<void(const Rect& drawRect, int x, TfrMemoView& view, std::uint16_t frameBits,
                       int y, const std::string& text)>;

// Deletes an engine-wide object whose class a higher folder defines; each
// of those folders defines the deleter of its own class.
struct EngineObjectDeleter {
  void operator()(TfrPrinter* printer) const;          // report/printer
  void operator()(TfrCompressor* compressor) const;    // report/prepared
  void operator()(TfrParser* parser) const;            // report/expr
  void operator()(TfrVariables* variables) const;      // report/expr
  void operator()(TInterpretator* interpreter) const;  // report/script
  void operator()(TfrFunctionLibrary* library) const;  // report/functions
};

template <typename T>
using EngineOwned = std::unique_ptr<T, EngineObjectDeleter>;

// The engine printer and what start-up found (see StartEnginePrinter).
struct PrinterGlobals {
  std::unique_ptr<TfrPrinter, EngineObjectDeleter> EnginePrinter;
  std::int32_t DefaultPaperSize = 9;  // A4 until start-up reads the printer's size
  bool PrinterReady = false;          // set once start-up has run, whatever happened
};

// Engine-wide registries and settings that live from start to end.
struct EngineGlobals {
  static constexpr int kMaxObjectKinds = 32;
  std::array<TfrAddInObjectInfo, kMaxObjectKinds> ObjectKinds;
  int ObjectKindCount = 0;
  std::int32_t SerialCounter = 0;  // next SerialNumber handed out by the factory
  char DecimalSeparator = '.';
  Canvas* MeasuringCanvas = nullptr;  // 96-dpi text layout canvas, not owned
  // Makes the picture objects of older picture-based files; installed with
  // the engine's object kinds. Without it such files are refused.
  OldFormatPictureWriter OldFormatPictures;
  PrinterGlobals Printer;
  // The text-export hook a text export installs while it runs; exporting a
  // memo without one raises EngineError.
  MemoTextExportHook MemoTextExport;
  // The registered function libraries, in registration order.
  static constexpr int kMaxFunctionLibraries = 32;
  std::array<EngineOwned<TfrFunctionLibrary>, kMaxFunctionLibraries> FunctionLibraries;
  int FunctionLibraryCount = 0;

  // Made when the engine starts and freed when it ends, in the order the
  // report component's TfrGlobals keeps; empty while the engine is not
  // started. Their accessors (Expressions(), ReportInterpreter()) refuse
  // to run before the start.
  EngineOwned<TfrParser> Parser;
  EngineOwned<TInterpretator> Interpreter;
  EngineOwned<TfrVariables> GlobalVariables;  // sorted
  EngineOwned<TfrVariables> NamedConstants;   // sorted
  // The compression hook of prepared-report files; made at the start, or on
  // first use by a reader that runs without the engine started.
  EngineOwned<TfrCompressor> Compressor;
  // The hidden window that hosts the controls of dialog pages, as the host
  // gives it (none from a host without windows).
  std::unique_ptr<DialogParent> DialogParentWindow;
  // The preparation (or drawing) in progress.
  PreparationState Run;

  // The host that answers the engine's messages and runs its windows: the
  // one installed (not owned), else the built-in headless host.
  EngineHost& Host() { return InstalledHost ? *InstalledHost : BuiltInHost; }
  // Installs `host`; nullptr restores the built-in headless host.
  void SetHost(EngineHost* host) { InstalledHost = host; }
  EngineHost* InstalledHost = nullptr;
  HeadlessHost BuiltInHost;
};

// The process's engine, which the session starts and stops.
EngineGlobals& Engine();
// Its preparation state: Engine().Run.
PreparationState& Prep();

}  // namespace quillet
