#include "report/data/aggregates.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "platform/errors.h"
#include "platform/scope_guard.h"
#include "report/base/calc_errors.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/expr/expression_globals.h"
#include "report/formation/active_objects.h"
#include "report/formation/band.h"
#include "report/formation/page_formation.h"
#include "report/script/aggregate_splitter.h"
#include "report/script/report_interpretator.h"
#include "report/views/band_view.h"

namespace quillet {
namespace {

constexpr char kSep = '\x01';
constexpr double kMinStart = 1e300;

// The pre-scan in progress: the data band that owns the accumulators being
// registered, and the page whose bands are searched.
struct ScanState {
  TfrBand* Owner = nullptr;
  PageFormation* Page = nullptr;
  // The calls being evaluated lie in intersections with the cross columns:
  // they are accumulated once per column.
  bool ColumnCalls = false;
  // The object whose calls are being evaluated.
  TfrView* View = nullptr;
};
ScanState scan;

std::string Trim(std::string_view s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(" \t");
  return std::string(s.substr(b, e - b + 1));
}

// The fields of a key: band name, code, expression, flag. A column key's
// prefix (the column number, or "0") is left out.
std::vector<std::string_view> KeyFields(std::string_view key, bool columnKey = false) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t i = 0; i < key.size(); ++i)
    if (key[i] == kSep) {
      if (columnKey) {
        columnKey = false;
      } else {
        fields.push_back(key.substr(start, i - start));
      }
      start = i + 1;
    }
  return fields;
}

// A column key: the column number (0 for the registered template), then
// the key of the call.
std::string ColumnKey(int column, std::string_view key) {
  std::string prefixed = std::to_string(column);
  prefixed += kSep;
  prefixed += key;
  return prefixed;
}

std::string AggregateName(AggregateCode code) {
  switch (code) {
    case agSum: return "SUM";
    case agMin: return "MIN";
    case agMax: return "MAX";
    case agAvg: return "AVG";
    case agCount: return "COUNT";
  }
  return "aggregate";
}

Variant StartValue(AggregateCode code) {
  return code == agMin ? Variant(kMinStart) : Variant(0);
}

// The data band an aggregate of band `scanned` refers to when the call
// names none: footers their own data band, other kinds by level.
TfrBand* ImpliedDataBand(PageFormation& page, TfrBand& scanned) {
  switch (scanned.Kind) {
    case btMasterFooter:
    case btDetailFooter:
    case btSubDetailFooter:
      if (scanned.OwnerDataBand) return scanned.OwnerDataBand;
      break;
    default: break;
  }
  switch (scanned.Kind) {
    case btReportSummary:
    case btPageFooter:
    case btMasterFooter:
    case btGroupFooter: return page.Chain(btMasterData);
    case btDetailFooter: return page.Chain(btDetailData);
    case btSubDetailFooter: return page.Chain(btSubDetailData);
    case btCrossFooter: return page.Chain(btCrossData);
    default: return nullptr;
  }
}

void Register(const PreparationState& prep, AggregateCode code, const std::string& expression,
              const std::string& bandName, const std::string& flag) {
  TfrBand* scanned = ActiveTfrBand(prep);
  if (!scanned || !scan.Owner || !scan.Page) return;
  TfrBand* target = nullptr;
  if (!bandName.empty()) {
    TfrView* named = scan.Page->FindPageView(bandName);
    target = named ? named->FormationBand : nullptr;
  } else {
    target = ImpliedDataBand(*scan.Page, *scanned);
  }
  if (target != scan.Owner) return;
  std::string key = AggregateKey(scanned->Name, code, expression, flag);
  // A call in an intersection with the cross columns is kept per column:
  // registered once with the prefix "0", copied for each column as it is
  // accumulated. The band's other objects keep plain totals.
  const bool perColumn = scan.ColumnCalls && scanned->Kind != btCrossFooter;
  if (perColumn) key = ColumnKey(0, key);
  auto& list = perColumn ? scan.Owner->ColumnTemplates : scan.Owner->Aggregates;
  if (std::none_of(list.begin(), list.end(), [&](const auto& a) { return a.Key == key; }))
    list.push_back({key, StartValue(code), 0, scan.View});
  scanned->AggregateBand = scan.Owner;
  std::vector<TfrBand*>& owners = scanned->AggregateOwners;
  if (std::find(owners.begin(), owners.end(), scan.Owner) == owners.end())
    owners.push_back(scan.Owner);
}

Variant ValueOf(const AggregateAccumulator& a, AggregateCode code) {
  if (code == agAvg) return a.Count > 0 ? DivideValues(a.Value, Variant(a.Count)) : Variant(0);
  if (code == agMin && a.Count == 0) return Variant(0);
  return a.Value;
}

// An intersection with the cross columns reads the accumulator of the
// current column and of the horizontal band it is drawn with, from the
// data band that band's aggregates come from. A column the data band has
// not accumulated yet gives 0.
void ReadColumn(const TfrBand& crossData, AggregateCode code, const std::string& expression,
                const std::string& flag, Variant& result) {
  const TfrBand* crossed = crossData.AggregateBand;
  const TfrBand* owner = crossed ? crossed->AggregateBand : nullptr;
  if (!owner) return;
  const int column = crossData.Page->CrossColumnNumber;
  const std::string key = AggregateKey(crossed->Name, code, expression, flag);
  if (column >= 1 && static_cast<std::size_t>(column) <= owner->ColumnAggregates.size()) {
    const std::string columnKey = ColumnKey(column, key);
    for (const AggregateAccumulator& a :
         owner->ColumnAggregates[static_cast<std::size_t>(column - 1)])
      if (a.Key == columnKey) {
        result = ValueOf(a, code);
        return;
      }
  }
  const std::string templateKey = ColumnKey(0, key);
  for (const AggregateAccumulator& a : owner->ColumnTemplates)
    if (a.Key == templateKey) {
      result = Variant(0);
      return;
    }
}

void Read(const PreparationState& prep, AggregateCode code, const std::string& expression,
          const std::string& flag, Variant& result) {
  const TfrBand* band = ActiveTfrBand(prep);
  if (!band) return;
  if (band->Kind == btCrossData) {
    ReadColumn(*band, code, expression, flag, result);
    return;
  }
  const std::string key = AggregateKey(band->Name, code, expression, flag);
  for (const TfrBand* owner : band->AggregateOwners)
    for (const AggregateAccumulator& a : owner->Aggregates)
      if (a.Key == key) {
        result = ValueOf(a, code);
        return;
      }
}

void ScanTextsAndScript(EngineGlobals& engine, TAggregateFunctionsSplitter& splitter,
                        const StringList& texts, const StringList& script) {
  splitter.ScanTexts(texts);
  if (script.empty()) return;
  CodeLines code;
  std::vector<std::string> errors;
  ReportInterpreter(engine).Translate(script, code, errors);
  splitter.ScanCode(code);
}

void EvaluateCalls(TfrBand& band, const TAggregateFunctionsSplitter& splitter, bool columnCalls,
                   TfrView* view) {
  scan.ColumnCalls = columnCalls;
  scan.View = view;
  const ScopeGuard done([] {
    scan.ColumnCalls = false;
    scan.View = nullptr;
  });
  for (const std::string& call : splitter.FoundCalls) {
    band.Page->Run.State().ActiveBand = &band;
    if (view) band.Page->Run.State().ActiveView = view;
    const CalcExpressionScope scope(call);
    Expressions(band.Page->Run.Globals()).Parser.Calc(call);
  }
}

// Evaluates the aggregate calls of a band's text and script, of its own
// objects and of its intersections with the cross-data band.
void ScanBand(TfrBand& band) {
  // One object at a time, so each accumulator knows the object it serves.
  auto scanOne = [&band](const StringList& texts, const StringList& script, bool columnCalls,
                         TfrView* view) {
    TAggregateFunctionsSplitter splitter(nullptr);
    ScanTextsAndScript(band.Page->Run.Globals(), splitter, texts, script);
    EvaluateCalls(band, splitter, columnCalls, view);
  };
  scanOne(band.Memo, band.ScriptLines, false, band.View);
  for (TfrView* v : band.Views)
    if (v->FormationBand == &band) scanOne(v->Memo, v->ScriptLines, false, v);
  for (TfrView* v : band.Views)
    if (v->FormationBand && v->FormationBand != &band && v->FormationBand->Kind == btCrossData)
      scanOne(v->Memo, v->ScriptLines, true, v);
}

// Evaluates the aggregate calls of `band` and of its child bands.
void ScanWithChildren(TfrBand* band) {
  for (int depth = 0; band && band->IsPresent() && depth < kBandKindCount * 4; ++depth) {
    ScanBand(*band);
    band = band->Child;
  }
}

void ScanFor(PageFormation& page, TfrBand& owner, std::initializer_list<int> kinds) {
  scan.Owner = &owner;
  for (int kind : kinds)
    for (TfrBand* b = page.Chain(kind); b && b->IsPresent(); b = b->Next) ScanWithChildren(b);
}

}  // namespace

std::string AggregateKey(std::string_view bandName, AggregateCode code, std::string_view expression,
                         std::string_view flag) {
  std::string key(bandName);
  key += kSep;
  key += static_cast<char>(code);
  key += kSep;
  key += expression;
  key += kSep;
  key += flag;
  key += kSep;
  return key;
}

bool EvaluateGroupCondition(TfrBand& header, Variant& value) {
  PreparationState& prep = header.Page->Run.State();
  // A failing condition is the group header's fault, whichever object was
  // written last.
  const ScopeGuard restore([&prep, band = prep.ActiveBand, view = prep.ActiveView] {
    prep.ActiveBand = band;
    prep.ActiveView = view;
  });
  prep.ActiveBand = &header;
  prep.ActiveView = header.View;
  try {
    const CalcExpressionScope scope(header.View ? header.View->FormatText : std::string());
    value = Expressions(header.Page->Run.Globals()).Parser.CalcPostfix(header.Condition);
    return true;
  } catch (const std::exception& e) {
    RecordCalcError(prep, e.what());
    return false;
  }
}

void HandleAggregate(const PreparationState& prep, AggregateCode code, const Variant& p1,
                     const Variant& p2, const Variant& p3, Variant& result) {
  // COUNT(band, flag); the others (expression, band, flag).
  const std::string expression = Trim(p1.AsText());
  const std::string bandName = Trim(code == agCount ? p1.AsText() : p2.AsText());
  const std::string flag = Trim(code == agCount ? p2.AsText() : p3.AsText());
  // A total over a band the page lacks would stay 0 without a word.
  if (!bandName.empty()) {
    PageFormation* page = scan.Page;
    if (!page)
      if (const TfrBand* active = ActiveTfrBand(prep)) page = active->Page;
    const TfrView* named = page ? page->FindPageView(bandName) : nullptr;
    if (page && !dynamic_cast<const TfrBandView*>(named))
      throw ParserError(AggregateName(code) + " over band \"" + bandName +
                        "\", which the page does not have");
  }
  if (prep.AggregateScan)
    Register(prep, code, expression, bandName, flag);
  else
    Read(prep, code, expression, flag, result);
}

void PreScanAggregates(PageFormation& page) {
  PreparationState& prep = page.Run.State();
  const ScopeGuard restore([&prep, band = prep.ActiveBand, view = prep.ActiveView] {
    prep.AggregateScan = false;
    prep.ActiveBand = band;
    prep.ActiveView = view;
    scan = {};
  });
  prep.AggregateScan = true;
  scan.Page = &page;
  try {
    for (TfrBand* d = page.Chain(btMasterData); d && d->Dataset; d = d->Next)
      ScanFor(page, *d,
              {btPageFooter, btColumnFooter, btMasterFooter, btGroupFooter, btReportSummary});
    for (TfrBand* d = page.Chain(btDetailData); d && d->Dataset; d = d->Next)
      ScanFor(page, *d,
              {btPageFooter, btColumnFooter, btMasterFooter, btDetailFooter, btGroupFooter,
               btReportSummary});
    for (TfrBand* d = page.Chain(btSubDetailData); d && d->Dataset; d = d->Next)
      ScanFor(page, *d,
              {btPageFooter, btColumnFooter, btMasterFooter, btDetailFooter, btSubDetailFooter,
               btGroupFooter, btReportSummary});
    // The cross-data band accumulates once per column, for the cross footer.
    if (TfrBand* cross = page.Chain(btCrossData); cross && cross->IsPresent())
      ScanFor(page, *cross, {btCrossFooter});
  } catch (const std::exception& e) {
    RecordCalcError(page.Run.State(), e.what());
  }
}

namespace {

// Every accumulator of `list` takes the band's current record (only those
// counting invisible showings when the band is not visible).
void TakeRecord(TfrBand& band, std::vector<AggregateAccumulator>& list, bool columnKeys) {
  TfrParser& parser = Expressions(band.Page->Run.Globals()).Parser;
  std::string lastExpression;
  Variant lastValue;
  bool haveLast = false;
  const AggregateAccumulator* current = nullptr;
  try {
    for (AggregateAccumulator& a : list) {
      current = &a;
      const std::vector<std::string_view> f = KeyFields(a.Key, columnKeys);
      if (f.size() < 4 || f[1].size() != 1) continue;
      if (!band.Visible && f[3] != "1") continue;
      const auto code = static_cast<AggregateCode>(f[1][0]);
      if (a.Value.IsNull()) a.Value = Variant(0);
      if (code == agCount) {
        a.Value = AddValues(a.Value, Variant(1));
      } else {
        if (!haveLast || lastExpression != f[2]) {
          band.Page->Run.State().ActiveBand = &band;
          const CalcExpressionScope scope{std::string(f[2])};
          lastValue = parser.Calc(f[2]);
          if (lastValue.IsNull() || lastValue.IsEmpty()) lastValue = Variant(0);
          lastExpression = std::string(f[2]);
          haveLast = true;
        }
        if (code == agSum || code == agAvg)
          a.Value = AddValues(a.Value, lastValue);
        else if (code == agMin && CompareValues(lastValue, a.Value) < 0)
          a.Value = lastValue;
        else if (code == agMax && (a.Count == 0 || CompareValues(lastValue, a.Value) > 0))
          a.Value = lastValue;
      }
      ++a.Count;
    }
  } catch (const std::exception& e) {
    // The error belongs to the object holding the call, not to the object
    // of the data band written last.
    if (current && current->Source) band.Page->Run.State().ActiveView = current->Source;
    RecordCalcError(band.Page->Run.State(), e.what());
  }
}

}  // namespace

void AccumulateAggregates(TfrBand& band) {
  if (band.Aggregates.empty()) return;
  TakeRecord(band, band.Aggregates, false);
  ++band.AggregateCount;
}

void AccumulateColumn(TfrBand& band, int column) {
  if (band.ColumnTemplates.empty() || column < 1) return;
  // Each column gets its copy of the registered accumulators once, when
  // it is first accumulated.
  while (band.ColumnAggregates.size() < static_cast<std::size_t>(column)) {
    const int next = static_cast<int>(band.ColumnAggregates.size()) + 1;
    std::vector<AggregateAccumulator> copies;
    copies.reserve(band.ColumnTemplates.size());
    for (const AggregateAccumulator& t : band.ColumnTemplates) {
      const std::string_view key = std::string_view(t.Key).substr(t.Key.find(kSep) + 1);
      copies.push_back({ColumnKey(next, key), t.Value, 0});
    }
    band.ColumnAggregates.push_back(std::move(copies));
  }
  TakeRecord(band, band.ColumnAggregates[static_cast<std::size_t>(column - 1)], true);
}

void MergeAccumulators(std::vector<AggregateAccumulator>& into,
                       const std::vector<AggregateAccumulator>& from) {
  for (const AggregateAccumulator& a : from) {
    auto it = std::find_if(into.begin(), into.end(),
                           [&a](const AggregateAccumulator& b) { return b.Key == a.Key; });
    if (it == into.end()) {
      into.push_back(a);
      continue;
    }
    const std::vector<std::string_view> f = KeyFields(a.Key);
    if (f.size() < 2 || f[1].size() != 1 || a.Count == 0) continue;
    const auto code = static_cast<AggregateCode>(f[1][0]);
    if (it->Count == 0)
      it->Value = a.Value;
    else if (code == agMin && CompareValues(a.Value, it->Value) < 0)
      it->Value = a.Value;
    else if (code == agMax && CompareValues(a.Value, it->Value) > 0)
      it->Value = a.Value;
    else if (code != agMin && code != agMax)
      it->Value = AddValues(it->Value, a.Value);
    it->Count += a.Count;
  }
}

void ResetAggregates(TfrBand& band) {
  if (band.Kind == btGroupHeader) {
    for (TfrBand* g = &band; g; g = g->NextGroupHeader)
      if (!EvaluateGroupCondition(*g, g->GroupValue)) return;
    return;
  }
  auto reset = [&band](std::vector<AggregateAccumulator>& list, bool columnKeys) {
    for (AggregateAccumulator& a : list) {
      const std::vector<std::string_view> f = KeyFields(a.Key, columnKeys);
      if (f.size() < 2 || f[1].size() != 1 || !EqualsIgnoreCase(f[0], band.Name)) continue;
      a.Value = StartValue(static_cast<AggregateCode>(f[1][0]));
      a.Count = 0;
    }
  };
  auto resetOwner = [&reset](TfrBand& owner) {
    reset(owner.Aggregates, false);
    for (auto& column : owner.ColumnAggregates) reset(column, true);
    owner.AggregateCount = 0;
  };
  if (band.AggregateOwners.empty()) {
    // The cross-data band points at the band it crosses instead.
    if (band.AggregateBand) resetOwner(*band.AggregateBand);
    return;
  }
  for (TfrBand* owner : band.AggregateOwners) resetOwner(*owner);
}

}  // namespace quillet
