#include "preview/toolbar_glyphs.h"

#include <QPainter>
#include <QPolygon>

namespace quillet {
namespace {

const QColor kOutline(0, 0, 0);
const QColor kDarkGray(96, 96, 96);
const QColor kGray(160, 160, 160);
const QColor kLight(224, 224, 224);
const QColor kWhite(255, 255, 255);
const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 96, 208);
const QColor kGlass(168, 216, 255);
const QColor kYellow(255, 208, 64);
const QColor kDarkYellow(176, 128, 0);
const QColor kRed(208, 0, 0);
const QColor kGreen(0, 160, 0);
const QColor kBrown(128, 64, 0);

// Pixel-exact drawing helpers: rectangles and lines cover the pixels named.
void Fill(QPainter& p, int x1, int y1, int x2, int y2, const QColor& c) {
  p.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), c);
}
void Frame(QPainter& p, int x1, int y1, int x2, int y2, const QColor& c) {
  p.setPen(c);
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)));
}
void Line(QPainter& p, int x1, int y1, int x2, int y2, const QColor& c) {
  p.setPen(c);
  p.drawLine(x1, y1, x2, y2);
}

void Lens(QPainter& p, int x, int y, int d) {
  p.setPen(kOutline);
  p.setBrush(kGlass);
  p.drawEllipse(x, y, d - 1, d - 1);
  p.setPen(kWhite);
  p.drawPoint(x + 2, y + 3);
  p.drawPoint(x + 3, y + 2);
}

void Handle(QPainter& p, int x, int y, int length) {
  for (int i = 0; i < length; ++i) {
    Fill(p, x + i, y + i, x + i + 1, y + i, kBrown);
    Fill(p, x + i, y + i + 1, x + i + 1, y + i + 1, kOutline);
  }
}

void DrawZoom(QPainter& p) {
  Lens(p, 1, 1, 11);
  Line(p, 4, 6, 8, 6, kOutline);
  Line(p, 6, 4, 6, 8, kOutline);
  Handle(p, 10, 10, 5);
}

void DrawOpen(QPainter& p) {
  // Back of the folder with its tab.
  Fill(p, 1, 3, 5, 4, kDarkYellow);
  Fill(p, 1, 4, 12, 13, kDarkYellow);
  Fill(p, 2, 5, 11, 12, kYellow);
  // The open front leaf, slanted.
  QPolygon front({QPoint(3, 8), QPoint(15, 8), QPoint(12, 13), QPoint(0, 13)});
  p.setPen(kOutline);
  p.setBrush(kYellow.lighter(115));
  p.drawPolygon(front);
  // An arrow out of the folder.
  Line(p, 11, 1, 14, 1, kGreen);
  Line(p, 14, 1, 14, 5, kGreen);
  Line(p, 13, 5, 15, 5, kGreen);
  Line(p, 14, 6, 14, 6, kGreen);
}

void DrawSave(QPainter& p) {
  Fill(p, 1, 1, 14, 14, kNavy);
  Fill(p, 3, 1, 12, 7, kWhite);  // label
  Line(p, 4, 3, 11, 3, kGray);
  Line(p, 4, 5, 11, 5, kGray);
  Fill(p, 4, 10, 11, 14, kLight);  // shutter
  Fill(p, 9, 11, 10, 13, kNavy);
  Fill(p, 14, 1, 14, 1, QColor(0, 0, 0, 0));
}

void DrawPrint(QPainter& p) {
  Fill(p, 4, 1, 11, 6, kWhite);  // paper in
  Frame(p, 4, 1, 12, 7, kOutline);
  Line(p, 5, 3, 10, 3, kGray);
  Fill(p, 1, 6, 14, 11, kGray);  // body
  Frame(p, 1, 6, 15, 12, kOutline);
  Line(p, 2, 7, 13, 7, kLight);
  Fill(p, 12, 8, 12, 8, kGreen);   // lamp
  Fill(p, 3, 10, 12, 14, kWhite);  // paper out
  Frame(p, 3, 10, 13, 15, kOutline);
  Line(p, 5, 12, 10, 12, kGray);
}

void DrawFind(QPainter& p) {
  // A page of text with a lens over it.
  Fill(p, 1, 0, 10, 14, kWhite);
  Frame(p, 1, 0, 11, 15, kOutline);
  for (int y = 2; y <= 12; y += 2) Line(p, 3, y, 8, y, kGray);
  Lens(p, 6, 5, 7);
  Handle(p, 11, 11, 4);
}

void DrawHelp(QPainter& p) {
  p.setPen(kNavy);
  p.setBrush(kBlue);
  p.drawEllipse(0, 0, 15, 15);
  // The question mark, pixel by pixel.
  Fill(p, 6, 3, 9, 4, kWhite);
  Fill(p, 10, 4, 11, 7, kWhite);
  Fill(p, 5, 4, 6, 5, kWhite);
  Fill(p, 8, 7, 10, 8, kWhite);
  Fill(p, 7, 8, 8, 9, kWhite);
  Fill(p, 7, 11, 8, 12, kWhite);
}

void DrawClose(QPainter& p) {
  // A door left ajar with an arrow leaving.
  Fill(p, 3, 1, 12, 14, kBrown);
  Frame(p, 3, 1, 13, 15, kOutline);
  QPolygon leaf({QPoint(4, 2), QPoint(9, 4), QPoint(9, 15), QPoint(4, 13)});
  p.setPen(kOutline);
  p.setBrush(QColor(192, 120, 48));
  p.drawPolygon(leaf);
  Fill(p, 8, 8, 8, 9, kYellow);  // knob
  Fill(p, 11, 7, 14, 8, kRed);   // arrow
  Line(p, 13, 5, 15, 7, kRed);
  Line(p, 13, 10, 15, 8, kRed);
}

void DrawArrow(QPainter& p, bool up) {
  // A page with a bold arrow pointing to the previous or next page.
  const int tip = up ? 2 : 13;
  const int base = up ? 8 : 7;
  QPolygon head({QPoint(7, tip), QPoint(7 + 6, base), QPoint(7 - 6 + 1, base)});
  QPolygon head2({QPoint(8, tip), QPoint(8 + 6 - 1, base), QPoint(8 - 6, base)});
  p.setPen(kNavy);
  p.setBrush(kNavy);
  p.drawPolygon(head);
  p.drawPolygon(head2);
  if (up)
    Fill(p, 6, 8, 9, 13, kNavy);
  else
    Fill(p, 6, 2, 9, 7, kNavy);
}

}  // namespace

QImage MakeToolbarGlyph(ToolbarGlyph glyph) {
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  switch (glyph) {
    case tgZoom: DrawZoom(p); break;
    case tgOpen: DrawOpen(p); break;
    case tgSave: DrawSave(p); break;
    case tgPrint: DrawPrint(p); break;
    case tgFind: DrawFind(p); break;
    case tgHelp: DrawHelp(p); break;
    case tgClose: DrawClose(p); break;
    case tgPageUp: DrawArrow(p, true); break;
    case tgPageDown: DrawArrow(p, false); break;
  }
  return image;
}

}  // namespace quillet
