#include "sheet/sheet_report.h"

#include "platform/engine_host.h"
#include "platform/stream.h"
#include "report/base/engine_texts.h"
#include "sheet/sheet_template.h"

namespace quillet {

SheetReportComponent::SheetReportComponent() {
  report_.Name = "rptShapes";
  report_.PreviewButtons = pbZoom | pbLoad | pbSave | pbFind | pbHelp | pbExit;
  report_.Template.StoreInDFM = true;
  const auto bytes = SheetTemplateForm();
  MemoryStream form(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  report_.Template.ReadReportForm(form);
  // The window has finished loading: the kept bytes become the template.
  report_.Template.LoadEmbeddedTemplate();
  report_.SelectPrinterByName(report_.Template.PrinterName);
}

TfrView* SheetReportComponent::FindView(std::string_view name) {
  return report_.FindView(name);
}

void SheetReportComponent::PrepareAndPreview() {
  report_.PrepareAndPreview();
}

void SheetReportComponent::Prepare() {
  report_.Prepare();
}

void SheetReportComponent::PrintPrepared(const std::string& pageRange, int copies, bool collate,
                                         int selection) {
  try {
    report_.PrintPrepared(pageRange, copies, collate, selection);
  } catch (const std::exception& e) {
    report_.Globals().Host().ShowMessage(e.what(), EngineText(txError), MessageIcon::Error,
                                         MessageButtons::Ok);
  }
}

}  // namespace quillet
