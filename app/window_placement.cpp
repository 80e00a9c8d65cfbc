#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <limits>

namespace quillet {
namespace {

// One coordinate of the top-left corner, moved so that [start, start +
// size) lies in [low, high); the low edge wins when it cannot.
int Clamped(int start, int size, int low, int high) {
  return std::max(low, std::min(start, high - size));
}

}  // namespace

QPoint FullyVisiblePosition(const QRect& frame, const QList<QRect>& screens) {
  QPoint best = frame.topLeft();
  long long bestDistance = std::numeric_limits<long long>::max();
  for (const QRect& area : screens) {
    if (area.contains(frame)) return frame.topLeft();
    const QPoint p(Clamped(frame.left(), frame.width(), area.left(), area.right() + 1),
                   Clamped(frame.top(), frame.height(), area.top(), area.bottom() + 1));
    const long long dx = p.x() - frame.left();
    const long long dy = p.y() - frame.top();
    if (dx * dx + dy * dy < bestDistance) {
      bestDistance = dx * dx + dy * dy;
      best = p;
    }
  }
  return best;
}

QList<QRect> AvailableScreenAreas() {
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens())
    areas.append(screen->availableGeometry());
  return areas;
}

}  // namespace quillet
