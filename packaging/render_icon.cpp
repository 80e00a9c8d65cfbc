// quillet-render-icon IN.svg SIZE OUT.png: the program's SVG icon drawn as a
// square PNG of SIZE pixels, for the icon theme's fixed sizes. Runs at build
// time, without a display.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: quillet-render-icon IN.svg SIZE OUT.png\n";
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const int size = std::atoi(argv[2]);
  if (size < 8 || size > 1024) {
    std::cerr << "quillet-render-icon: size " << argv[2] << " is outside 8 .. 1024\n";
    return 2;
  }
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::cerr << "quillet-render-icon: cannot read " << argv[1] << "\n";
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  svg.render(&painter, QRectF(0, 0, size, size));
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::cerr << "quillet-render-icon: cannot write " << argv[3] << "\n";
    return 1;
  }
  return 0;
}
