// Toolbar pieces: the flat toolbar button and the separator between groups
// of buttons. Both carry the side of the toolbar they are aligned to; a
// horizontal toolbar aligns its items left, a vertical one top.
#pragma once

#include <QWidget>

#include "widgets/speed_button.h"

namespace quillet {

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The alignment an item placed on a toolbar panel takes, from the alignment
// of the panel's container: top when the container is aligned left or right
// (a vertical toolbar), left otherwise.
TAlign ToolbarItemAlign(TAlign containerAlign);

// A flat TfrSpeedButton, left-aligned until placed.
class TfrTBButton : public TfrSpeedButton {
  Q_OBJECT

 public:
  explicit TfrTBButton(QWidget* parent = nullptr);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value) { align_ = value; }

 private:
  TAlign align_ = alLeft;
};

// A groove between toolbar buttons: horizontal for a top or bottom aligned
// separator, vertical for a left or right aligned one. New separators are
// left-aligned and 8 x 8.
class TfrTBSeparator : public QWidget {
  Q_OBJECT

 public:
  explicit TfrTBSeparator(QWidget* parent = nullptr);

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  bool DrawBevel() const { return drawBevel_; }
  void SetDrawBevel(bool value);

  QSize sizeHint() const override { return size(); }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  TAlign align_ = alLeft;
  bool drawBevel_ = true;
};

}  // namespace quillet
