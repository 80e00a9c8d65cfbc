// The page arithmetic of the preview window, free of widgets: the zoom of
// each mode, the placement of pages in columns, the page under a scroll
// position, the rectangle a page's content is drawn into, and where to
// scroll so that a rectangle on a page comes into view.
//
// Sizes are screen pixels of the page box unless said otherwise; page sizes
// come from each prepared page's PageInfo in report pixels, and the zoom
// `scale` maps one report pixel to `scale` screen pixels.
#pragma once

#include <cstdint>

#include "platform/geometry.h"

namespace quillet {

class TfrEMFPages;
struct PreparedPage;

// Zoom modes.
enum PreviewZoomMode : std::uint8_t {
  zmPercent = 0,    // the scale stays as chosen
  zmPageWidth = 1,  // the current page's width fills the view
  zmWholePage = 2,  // the current page's height fills the view
  zmTwoPages = 3,   // two pages side by side fill the view
};

// The zoom memory shared by every preview of the process: a new preview
// starts from it, choosing a zoom stores it back.
struct PreviewZoomMemory {
  double LastScale = 1.0;
  std::uint8_t LastZoomMode = zmPercent;
};
PreviewZoomMemory& ZoomMemory();

// Pixel gap around and between pages.
constexpr int kPageGap = 10;
// A page whose top lies further below the box's top than this is not drawn.
constexpr int kFarBelow = 2000;
// The smallest zoom a fitting mode may reach in a box too small for a page.
constexpr double kMinFitScale = 0.01;

// The scale of `mode` for a box of `boxW` x `boxH` and a current page of
// `paperW` x `paperH` report pixels; mode 0 (or a page without a size)
// keeps `scale`.
double ZoomScale(int mode, double scale, int boxW, int boxH, int paperW, int paperH);

// What a layout run found.
struct PreviewLayout {
  double Scale = 1.0;
  int Columns = 1;
  int HorzMax = 0;  // scroll bar maximum, 0 when the pages fit
  int VertMax = 0;
};

// Lays the pages out for a box of `boxW` x `boxH`: the zoom from the mode
// and the current page (0-based index, clamped into the list), the column
// count, each page's PreviewRect (layout coordinates before scrolling) and
// the scroll ranges. With no pages the result keeps `scale` and touches
// nothing. `shown` limits the layout (and the functions below) to the
// leading pages of the list, those whole while later ones still form; -1
// takes every page.
PreviewLayout LayOutPreviewPages(TfrEMFPages& pages, int currentIndex, int mode, double scale,
                                 int boxW, int boxH, int shown = -1);

// The column count alone (step of the layout), for `scale`.
int PreviewColumns(const TfrEMFPages& pages, int mode, double scale, int boxW, int shown = -1);

// 0-based index of the first page with top < pos + 11 < bottom for a
// vertical scroll position `pos`, or -1.
int PageAtScrollPosition(const TfrEMFPages& pages, int pos, int shown = -1);

// The rectangle DrawPage fills for a page laid at `r` (already scrolled):
// `r` itself, or, for a page stretched to the printable area, the printable
// area inside the margins.
Rect PageContentRect(const PreparedPage& page, const Rect& r, double scale);

// Scroll positions that bring `bounds` (report pixels of a page laid out at
// `previewRect`) into a box of `boxW` x `boxH`: the page's top-left corner
// 10 pixels into the view when the rectangle fits so, else the rectangle's
// far edge on the view's far edge. Also gives the rectangle scaled to
// screen pixels, relative to the page's corner.
struct ScrollTarget {
  int Horz = 0;
  int Vert = 0;
  Rect Scaled;  // left, top = hx, hy; right, bottom = hx + hw, hy + hh
};
ScrollTarget ScrollToShow(const Rect& bounds, double scale, const Rect& previewRect, int boxW,
                          int boxH);

}  // namespace quillet
