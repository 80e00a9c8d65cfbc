// The banded templates of the formation suites, built in code. Each is
// also kept as a template file in tests/data (checked against the code).
#pragma once

#include "tests/report/formation/formation_support.h"

namespace quillet::test {

constexpr int kBodyLines = 150;

// Page header (also on the first page), title, a summary whose memo of 150
// lines stretches and breaks over three pages, a page footer on every page,
// and a shape in no band.
inline void BuildBanded(TfrReport& report) {
  PageBuilder b(report.Template);
  b.Band(btPageHeader, "PageHeader", 0, 30);
  b.Memo("HeaderText", 20, 5, 300, 20, {"Page header"});
  b.Band(btReportTitle, "Title", 40, 30);
  b.Memo("TitleText", 20, 45, 300, 20, {"Report title"});
  b.Band(btReportSummary, "Summary", 100, 40, flStretched | flBandBreaked);
  b.Memo("Body", 20, 105, 400, 30, NumberedLines("Body line", kBodyLines));
  b.Band(btPageFooter, "PageFooter", 1000, 30);
  b.Memo("FooterText", 20, 1005, 300, 20, {"Page footer"});
  b.Shape("Logo", 600, 200, 100, 100);
}

// Two page columns: a column header and a breaking summary that fills the
// first column, the second, then a new page.
inline void BuildColumns(TfrReport& report) {
  PageBuilder b(report.Template);
  b.Page().Columns = 2;
  b.Page().ColumnGap = 20;
  b.Band(btColumnHeader, "ColumnHeader", 0, 30);
  b.Memo("ColumnTitle", 20, 5, 200, 20, {"Column"});
  b.Band(btReportSummary, "Summary", 100, 40, flStretched | flBandBreaked);
  b.Memo("Body", 20, 105, 300, 30, NumberedLines("Entry", 150));
}

// A title with a child band, a band that starts a new page after it, an
// invisible band whose child still prints, and a summary.
inline void BuildChildren(TfrReport& report) {
  PageBuilder b(report.Template);
  auto& title = b.Band(btReportTitle, "Title", 0, 30);
  title.ChildBand = "FirstChild";
  b.Memo("TitleText", 20, 5, 300, 20, {"Title"});
  auto& child = b.Band(btChild, "FirstChild", 100, 30, flBandFormNewPage);
  child.ChildBand = "";
  b.Memo("ChildText", 20, 105, 300, 20, {"Child of the title"});
  auto& hidden = b.Band(btReportSummary, "Summary", 200, 30, flBandPrintChildIfInvisible);
  hidden.Visible = 0;
  hidden.ChildBand = "SecondChild";
  b.Memo("SummaryText", 20, 205, 300, 20, {"Never shown"});
  b.Band(btChild, "SecondChild", 300, 30);
  b.Memo("SecondChildText", 20, 305, 300, 20, {"Child of the hidden summary"});
}

// A page header, a page footer without "OnFirstPage", and a title that
// starts a new page, so the footer shows on the second page only.
inline void BuildFirstPageRules(TfrReport& report) {
  PageBuilder b(report.Template);
  b.Band(btPageHeader, "PageHeader", 0, 30, flBandOnLastPage);
  b.Memo("HeaderText", 20, 5, 300, 20, {"Header"});
  b.Band(btReportTitle, "Title", 40, 30, flBandFormNewPage);
  b.Memo("TitleText", 20, 45, 300, 20, {"Title"});
  b.Band(btReportSummary, "Summary", 100, 30);
  b.Memo("SummaryText", 20, 105, 300, 20, {"Summary"});
  b.Band(btPageFooter, "PageFooter", 1000, 30, flBandOnLastPage);
  b.Memo("FooterText", 20, 1005, 300, 20, {"Footer"});
}

// A two-pass report: a page header and a line of text in no band.
inline void BuildTwoPass(TfrReport& report) {
  report.Template.TwoPass = true;
  PageBuilder b(report.Template);
  b.Band(btPageHeader, "PageHeader", 0, 30);
  b.Memo("HeaderText", 20, 5, 300, 20, {"Header"});
  b.Memo("Record", 20, 100, 300, 20, {"One record"});
}

}  // namespace quillet::test
