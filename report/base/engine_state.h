// Engine-wide state, in two explicit objects reached through one accessor
// each. Single-threaded by design: only the user-interface thread touches it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/canvas.h"
#include "report/base/variant.h"

namespace quillet {

class ReportServices;
class TfrView;
class TfrBand;
class ViewPage;

// The state of the preparation in progress (or of drawing).
struct PreparationState {
  ReportServices* ActiveReport = nullptr;
  ReportServices* OuterReport = nullptr;
  TfrView* ActiveView = nullptr;
  TfrBand* ActiveBand = nullptr;  // band being formed, or none
  ViewPage* ActivePage = nullptr;  // page being formed or drawn, or none
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

PreparationState& Prep();

using ViewFactory = std::unique_ptr<TfrView> (*)();

// One registered object kind.
struct TfrAddInObjectInfo {
  std::string ClassName;
  ViewFactory ViewClass = nullptr;
  RasterImage Picture;  // 16 x 16 picture of the kind
  std::string HintText;
};

// Engine-wide registries and settings that live from start to end.
struct EngineGlobals {
  static constexpr int kMaxObjectKinds = 32;
  std::array<TfrAddInObjectInfo, kMaxObjectKinds> ObjectKinds;
  int ObjectKindCount = 0;
  std::int32_t SerialCounter = 0;  // next SerialNumber handed out by the factory
  int StreamVersion = 24;          // version of the stream being read or written
  char DecimalSeparator = '.';
  Canvas* MeasuringCanvas = nullptr;  // 96-dpi text layout canvas, not owned
};

EngineGlobals& Engine();

}  // namespace quillet
