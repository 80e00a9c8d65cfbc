#include "app/program_icon.h"

#include <QPainter>
#include <QSvgRenderer>

// The resource lives in a static library, so it is registered by hand.
static void InitProgramResources() {
  Q_INIT_RESOURCE(quillet);
}

namespace quillet {

QPixmap ProgramPixmap(int size) {
  static const bool registered = (InitProgramResources(), true);
  (void)registered;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(QStringLiteral(":/quillet/quillet.svg"));
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter);
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(ProgramPixmap(size));
  return icon;
}

}  // namespace quillet
