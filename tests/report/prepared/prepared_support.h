// Helpers for the prepared-page suites: the engine printer on the virtual
// printer, A4 pages, and shape records written as formation writes them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "report/base/engine_state.h"
#include "report/prepared/prepared_pages.h"
#include "report/printer/printer.h"
#include "report/views/shape_view.h"
#include "tests/support.h"

namespace quillet::test {

class PreparedPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartFreshEngine(nullptr);  // no printer service: the virtual printer
  }
  void TearDown() override { test::StopFreshEngine(); }

  // A page's paper as the printer gives it (PageInfo filled).
  static PagePaper Paper(std::int16_t size = 9, std::int32_t w = 2100, std::int32_t h = 2970,
                         std::uint8_t orientation = 0) {
    PagePaper p;
    p.PaperSizeCode = size;
    p.PaperWidthTenths = w;
    p.PaperHeightTenths = h;
    p.Orientation = orientation;
    ApplyPagePaper(EnginePrinter(Engine()), p);
    return p;
  }

  // Writes a shape's prepared-mode record into page `page`, as formation does.
  static void AddShape(TfrEMFPages& pages, int page, std::uint8_t kind, int left, int top,
                       int width, int height, const std::string& tag = "0;0;1;0;0;0",
                       const std::string& name = "Shape") {
    TfrShapeView v;
    v.Name = name;
    v.ShapeKind = kind;
    v.Tag = tag;
    v.SetGeometry(left, top, width, height);
    v.PreparedMode = true;
    v.Record(pages.RecordStream(page));
    Prep().ActiveView = nullptr;
  }
};

}  // namespace quillet::test
