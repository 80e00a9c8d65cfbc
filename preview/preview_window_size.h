// The preview window's first size on a screen: most of the screen's
// available area, centred, so that a page is readable at once. A size the
// user left the window at last time is restored over it when the window
// shows (TfrPreviewForm::RestoreWindowPosition).
#pragma once

#include <QRect>

namespace quillet {

// Seven eighths of `available` on each side, centred in it; never smaller
// than the window's own least size (443 x 305) unless the screen is.
QRect DefaultPreviewGeometry(const QRect& available);

}  // namespace quillet
