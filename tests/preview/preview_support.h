// Helpers of the preview suites: prepared pages of a given paper made in
// memory, and a preview window of a fixed size on them.
#pragma once

#include <gtest/gtest.h>

#include <QLayout>
#include <QSettings>
#include <QTemporaryDir>

#include "platform/headless_host.h"
#include "preview/preview_form.h"
#include "preview/preview_layout.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/prepared/prepared_pages.h"
#include "report/printer/printer.h"
#include "tests/support.h"

namespace quillet::test {

// A4 at the engine's resolution: 794 x 1123 report pixels.
constexpr int kA4W = 794;
constexpr int kA4H = 1123;

inline void AddPages(TfrEMFPages& pages, int count, int width = kA4W, int height = kA4H) {
  for (int i = 0; i < count; ++i) {
    pages.InsertPage(pages.Count(), PagePaper{});
    PreparedPage& p = pages[pages.Count() - 1];
    p.PageInfo.PaperWidthPx = width;
    p.PageInfo.PaperHeightPx = height;
    p.PageInfo.PrintableWidthPx = width;
    p.PageInfo.PrintableHeightPx = height;
  }
}

// A preview window whose page box is `boxW` x `boxH`, its settings kept in
// a temporary folder and the zoom memory back at 100 % around each test.
class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    ZoomMemory() = PreviewZoomMemory{};
    test::StartFreshEngine(nullptr, &host);
  }
  void TearDown() override {
    ZoomMemory() = PreviewZoomMemory{};
    test::StopFreshEngine();
  }

  // Connects `form` to the report and lays it out for a page box of the
  // given size (the strip and the scroll furniture around it included).
  void Open(TfrPreviewForm& form, TfrReport& r, int boxW, int boxH) {
    form.resize(boxW + 16, boxH + 33 + 18);
    form.layout()->activate();  // hidden windows lay out only when asked
    form.Connect(r);
    form.ApplyButtons();
    form.ResetView(true);
    form.ArrangePreviewPanel();
    ASSERT_EQ(form.PreviewPanel()->width(), boxW + 16);
  }

  QTemporaryDir settingsDir;
  HeadlessHost host;
  TfrReport report;
};

}  // namespace quillet::test
