// Measures the printed test sheet in a PDF: the page is rendered with
// pdftoppm (poppler-utils) at 600 dpi and the first ellipse's outline is
// found along the row and the column through its centre. Positions are
// those of the default sheet (first ellipse at left 27, top 16, 181 x 181
// report pixels, the next 201 report pixels below).
#pragma once

#include <QRect>
#include <QString>
#include <string>

namespace quillet::test {

struct SheetMeasure {
  bool ok = false;
  std::string failure;        // why nothing could be measured
  double ellipseWidthMm = 0;  // between the centres of the outline's left and right strokes
  double stepMm = 0;          // between the top strokes of the first two ellipses
  double topMm = 0;           // the first top stroke from the paper's top edge
};

// Renders `pdf`'s first page into pngStem.png; `crop` (when not empty) keeps
// only that part of the page, in pixels of the rendering.
bool RenderPdf(const QString& pdf, int dpi, const QString& pngStem, QRect crop = {});

// `workStem`: where the rendering is written (without ".png").
SheetMeasure MeasureSheet(const QString& pdf, const QString& workStem);

}  // namespace quillet::test
