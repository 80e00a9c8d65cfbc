// TfrPage: one template page — its paper, its dialog-form settings, its
// script and the objects on it — and the page record of template streams.
//
// Paper sizes are in tenths of a millimetre, margins and dialog geometry in
// report pixels. The page owns its views.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "report/base/forming_page.h"
#include "report/base/object.h"
#include "report/printer/page_paper.h"
#include "report/views/view.h"
#include "report/views/view_page.h"

namespace quillet {

class RecordReader;
class RecordWriter;

enum PageType : std::uint8_t { ptReport = 0, ptDialog = 1 };

// Border styles of a dialog page's window.
enum PageBorderStyle : std::uint8_t {
  bsNone = 0,
  bsSingle = 1,
  bsSizeable = 2,
  bsDialog = 3,
  bsToolWindow = 4,
  bsSizeToolWin = 5,
};

// Window positions of a dialog page.
enum PagePosition : std::uint8_t { poDesigned = 0, poScreenCenter = 4 };

constexpr int kPaperCustom = 256;
constexpr int kPaperA4 = 9;

class TfrPage : public TfrObject, public ViewPage {
 public:
  // A new page: report type, margins apply, the default dialog form, A4
  // portrait with no particular paper source; it belongs to `engine`.
  explicit TfrPage(EngineGlobals& engine);
  ~TfrPage() override;

  // ViewPage.
  std::size_t ObjectCount() const override { return Objects.size(); }
  TfrView* ObjectAt(std::size_t index) const override { return Objects.at(index).get(); }
  // The horizontal printing limits: the margins when they apply, otherwise
  // the paper's edges. A margin of 0 gives the edge of the printable area
  // of the selected printer (PageInfo).
  int LeftLimit() const override;
  int RightLimit() const override;
  EngineGlobals& Globals() const override { return engine_; }

  // Paper width in report pixels.
  int PaperWidthPixels() const;
  // PageInfo, or the whole paper as printable when no printer filled it.
  PrinterPageInfo PrintableArea() const;

  // Named properties (page_properties.cpp). A report page's "Width" and
  // "Height" are the paper's in report pixels (tenths of a millimetre x
  // 18 / 50); a dialog page's are its form's. While a report renders and
  // the page is formed, "LeftMargin" .. "BottomMargin" read the page's
  // edges as formation computes them.
  void RegisterProperties() override;
  void WriteProperty(const std::string& name, const Variant& value) override;
  Variant ReadProperty(const std::string& name) override;

  // Appends `view` (taking it) and makes this page its owner.
  TfrView* AddObject(std::unique_ptr<TfrView> view);
  void ClearObjects() { Objects.clear(); }

  // Reads the page record that follows marker 255 with the reader's
  // version. Raises StreamReadError on a short record. For versions before
  // 24 the dialog settings keep their defaults and the name is left empty
  // (the template names the page, it knows the other pages).
  void ReadRecord(RecordReader& stream);
  // Writes the page record in the current layout (first field -1).
  void WriteRecord(RecordWriter& stream) const;

  std::int32_t PaperSizeCode = kPaperA4;
  std::int32_t PaperWidthTenths = 2100;
  std::int32_t PaperHeightTenths = 2970;
  PageMargins Margins;
  std::uint8_t Orientation = 0;   // 0 portrait, 1 landscape
  std::int32_t PaperSource = -1;  // -1 (low 16 bits 0xFFFF): no particular bin
  PrinterPageInfo PageInfo;       // the selected printer's geometry for this paper; not streamed
  std::int16_t PrintToPrevPage = 0;
  std::int16_t MarginsApply = -1;
  std::int32_t Columns = 0;
  // Set from the page's width, columns and gap when the page is set up for
  // formation (a script may change it then); not streamed.
  std::int32_t ColumnWidth = 0;
  std::int32_t ColumnGap = 0;
  std::uint8_t Type = ptReport;
  std::string Name;
  std::uint8_t BorderStyle = bsDialog;
  std::string Caption = "Form";
  quillet::Color Color = 0x8000000F;                              // the button-face system colour
  std::int32_t Left = 220, Top = 120, Width = 380, Height = 300;  // dialog form
  std::uint8_t Position = poScreenCenter;
  StringList ScriptLines;
  bool Visible = true;

  std::vector<std::unique_ptr<TfrView>> Objects;  // in template (drawing) order

  // The formation of this page while a report prepares (set and cleared by
  // it); none otherwise. Not owned.
  const FormingPage* Formation = nullptr;

 private:
  EngineGlobals& engine_;
};

}  // namespace quillet
