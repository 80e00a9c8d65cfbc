// A drop-down list of colours: the standard and extended colours, then the
// system colours. There is no entry for "no colour".
//
// Values are 32-bit colours 0x00BBGGRR; a system colour is the code
// 0x80000000 + n and is resolved only when something is drawn with it.
#pragma once

#include <QComboBox>
#include <span>
#include <string_view>

#include "platform/geometry.h"

namespace quillet {

struct NamedColor {
  Color value;
  std::string_view name;
};

// Every colour the box offers, in list order.
std::span<const NamedColor> ColorBoxColors();

class ColorBox : public QComboBox {
  Q_OBJECT
 public:
  explicit ColorBox(QWidget* parent = nullptr);

  // The selected colour; black when nothing is selected.
  Color Selected() const;
  // Selects `color`; a colour the list does not hold is added at its end
  // under its hexadecimal value.
  void SetSelected(Color color);
};

}  // namespace quillet
