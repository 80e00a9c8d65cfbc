// Loading a template asks the engine printer for each page's paper and
// keeps what the printer gives back.
#include <gtest/gtest.h>

#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/printer/printer.h"
#include "report/template/page.h"
#include "report/template/report_template.h"
#include "tests/support.h"

namespace quillet {
namespace {

std::unique_ptr<TfrTemplate> Reloaded(std::int32_t code, std::int32_t w, std::int32_t h,
                                      std::uint8_t orientation) {
  TfrTemplate original;
  original.Pages.push_back(std::make_unique<TfrPage>(Engine()));
  TfrPage& page = *original.Pages.back();
  page.PaperSizeCode = code;
  page.PaperWidthTenths = w;
  page.PaperHeightTenths = h;
  page.Orientation = orientation;
  MemoryStream bytes;
  original.SaveTemplate(bytes);
  bytes.Seek(0);
  auto loaded = std::make_unique<TfrTemplate>();
  loaded->LoadTemplate(bytes);
  return loaded;
}

TEST(TemplatePaper, PagesTakeThePrintersPaperWhenLoaded) {
  test::FreshEngine engine;  // the virtual printer
  auto a4 = Reloaded(9, 1234, 999, 0);
  ASSERT_EQ(a4->Pages.size(), 1u);
  EXPECT_EQ(a4->Pages[0]->PaperSizeCode, 9);
  EXPECT_EQ(a4->Pages[0]->PaperWidthTenths, 2100) << "A4 as the printer knows it";
  EXPECT_EQ(a4->Pages[0]->PaperHeightTenths, 2970);
  auto custom = Reloaded(256, 1500, 1000, 1);
  EXPECT_EQ(custom->Pages[0]->PaperSizeCode, 256);
  EXPECT_EQ(custom->Pages[0]->Orientation, 1);
}

TEST(TemplatePaper, WithoutAPrinterThePageKeepsWhatWasRead) {
  auto kept = Reloaded(9, 1234, 999, 0);
  EXPECT_EQ(kept->Pages[0]->PaperWidthTenths, 1234);
  Prep() = PreparationState{};
}

}  // namespace
}  // namespace quillet
