#include "app/color_box.h"

#include <QPainter>
#include <QPixmap>
#include <array>

#include "platform/qt/qt_canvas.h"

namespace quillet {
namespace {

constexpr Color Sys(int n) {
  return clSystemBase + static_cast<Color>(n);
}

constexpr std::array<NamedColor, 49> kColors = {{
    // standard
    {0x000000, "Black"},
    {0x000080, "Maroon"},
    {0x008000, "Green"},
    {0x008080, "Olive"},
    {0x800000, "Navy"},
    {0x800080, "Purple"},
    {0x808000, "Teal"},
    {0x808080, "Gray"},
    {0xC0C0C0, "Silver"},
    {0x0000FF, "Red"},
    {0x00FF00, "Lime"},
    {0x00FFFF, "Yellow"},
    {0xFF0000, "Blue"},
    {0xFF00FF, "Fuchsia"},
    {0xFFFF00, "Aqua"},
    {0xFFFFFF, "White"},
    // extended
    {0xC0DCC0, "Money Green"},
    {0xF0CAA6, "Sky Blue"},
    {0xF0FBFF, "Cream"},
    {0xA4A0A0, "Medium Gray"},
    // system
    {Sys(0), "Scroll Bar"},
    {Sys(1), "Background"},
    {Sys(2), "Active Caption"},
    {Sys(3), "Inactive Caption"},
    {Sys(4), "Menu"},
    {Sys(5), "Window"},
    {Sys(6), "Window Frame"},
    {Sys(7), "Menu Text"},
    {Sys(8), "Window Text"},
    {Sys(9), "Caption Text"},
    {Sys(10), "Active Border"},
    {Sys(11), "Inactive Border"},
    {Sys(12), "Application Workspace"},
    {Sys(13), "Highlight"},
    {Sys(14), "Highlight Text"},
    {Sys(15), "Button Face"},
    {Sys(16), "Button Shadow"},
    {Sys(17), "Gray Text"},
    {Sys(18), "Button Text"},
    {Sys(19), "Inactive Caption Text"},
    {Sys(20), "Button Highlight"},
    {Sys(21), "3D Dark Shadow"},
    {Sys(22), "3D Light"},
    {Sys(23), "Info Text"},
    {Sys(24), "Info Background"},
    {Sys(26), "Hot Light"},
    {Sys(27), "Gradient Active Caption"},
    {Sys(28), "Gradient Inactive Caption"},
    {Sys(29), "Menu Highlight"},
}};

QIcon Swatch(Color c) {
  QPixmap pix(16, 12);
  pix.fill(Qt::transparent);
  QPainter p(&pix);
  p.setPen(Qt::black);
  p.setBrush(ToQColor(c));
  p.drawRect(0, 0, 15, 11);
  return QIcon(pix);
}

QString Name(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

std::span<const NamedColor> ColorBoxColors() {
  return kColors;
}

ColorBox::ColorBox(QWidget* parent) : QComboBox(parent) {
  setIconSize(QSize(16, 12));
  for (const NamedColor& c : kColors)
    addItem(Swatch(c.value), Name(c.name), QVariant::fromValue(c.value));
  setCurrentIndex(0);
}

Color ColorBox::Selected() const {
  const QVariant v = currentData();
  return v.isValid() ? v.value<Color>() : clBlack;
}

void ColorBox::SetSelected(Color color) {
  int index = findData(QVariant::fromValue(color));
  if (index < 0) {
    addItem(Swatch(color), QStringLiteral("$%1").arg(color, 8, 16, QLatin1Char('0')).toUpper(),
            QVariant::fromValue(color));
    index = count() - 1;
  }
  setCurrentIndex(index);
}

}  // namespace quillet
