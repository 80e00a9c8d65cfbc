// The program's icon, drawn from its SVG resource.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quillet {

// The icon at `size` × `size` pixels on a transparent background.
QPixmap ProgramPixmap(int size);
// The icon in the usual window sizes.
QIcon ProgramIcon();

}  // namespace quillet
