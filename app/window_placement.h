// Where a window whose remembered position may lie off every screen (a
// screen since unplugged, another resolution) opens.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace quillet {

// The top-left corner for a window whose frame would cover `frame`, given
// the screens' available areas. A frame inside one of them keeps its
// place; otherwise it moves by the least distance into the area that needs
// the least move, its top-left corner first when it is larger than the
// area. No screens: the frame keeps its place.
QPoint FullyVisiblePosition(const QRect& frame, const QList<QRect>& screens);

// The available areas of the screens the platform reports.
QList<QRect> AvailableScreenAreas();

}  // namespace quillet
