// The about box: the program's name in raised lettering, its version, the
// operating system and the physical memory. Made, shown modally, freed.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QFrame;

namespace quillet {

class TLabel3D;

class TfrmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmAbout(QWidget* parent = nullptr);

  // Fills in the operating system, the memory and the captions.
  void ShowSystemInfo();

  // Escape closes the box like OK does.
  void reject() override;

  // The box's parts, named as on the form.
  TLabel3D* Label3D1;
  QLabel* Label1;
  QLabel* Image1;
  QLabel* Notice;
  QFrame* Bevel1;
  QLabel* OS;
  QLabel* Label3;
  QLabel* PhysMem;
  QLabel* Info1;
  QLabel* Info2;
  QPushButton* OKButton;

 protected:
  void showEvent(QShowEvent* event) override;
};

// Makes the about box, shows it modally and frees it when it closes.
void ShowAboutBox(QWidget* parent);

}  // namespace quillet
