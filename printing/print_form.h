// TfrPrintForm: the print dialog the preview's Print button shows. It lists
// the installed printers (choosing one selects it in the engine printer at
// once), opens the printer's properties, and collects the page range, the
// number of copies, collation and the odd/even choice. Closed with anything
// but OK it selects again the printer that was current when it opened.
//
// The caller reads the result from RB1, RB2, E2, E1, CollateCB and CB2.
// Needs the engine printer started.
#pragma once

#include <QDialog>
#include <QImage>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QRadioButton;

namespace quillet {

class TfrPrinter;
struct EngineGlobals;
class TfrSpeedButton;

class TfrPrintForm : public QDialog {
  Q_OBJECT

 public:
  // Lists the printers of the engine printer of `engine` and selects on it;
  // errors are shown through the engine's host.
  explicit TfrPrintForm(EngineGlobals& engine, QWidget* parent = nullptr);
  ~TfrPrintForm() override;

  // Printer.
  QGroupBox* GroupBox1;
  QLabel* Label4;
  QComboBox* CB1;  // installed printers, each drawn with Image1
  QImage Image1;   // the 18 x 16 printer glyph; olive is transparent
  QPushButton* PropButton;
  // Page range.
  QGroupBox* GroupBox2;
  QRadioButton* RB1;  // all
  QRadioButton* RB2;  // current page
  QRadioButton* RB3;  // the pages in E2
  QLineEdit* E2;
  QLabel* Label2;
  // Copies.
  QGroupBox* GroupBox3;
  QLabel* Label1;
  QLineEdit* E1;
  TfrSpeedButton* frSpeedButton1;  // up
  TfrSpeedButton* frSpeedButton2;  // down, never below 1
  QCheckBox* CollateCB;
  QLabel* Label3;        // clicking it toggles CollateCB
  QWidget* PB1;          // paints CollateImg or NonCollateImg
  QImage CollateImg;     // 74 x 53; silver is transparent
  QImage NonCollateImg;  // 92 x 40; silver is transparent
  // Odd / even.
  QLabel* Label5;
  QComboBox* CB2;        // "All pages", "Odd pages", "Even pages"
  QPushButton* Button1;  // OK
  QPushButton* Button2;  // Cancel

  // The platform printer index when the dialog opened (-1: none listed).
  int OldPrinterIndex = -1;

  // The arrows: E1 + 1, and E1 - 1 but at least 1. A text that is not a
  // whole number stays as it is and the conversion error is shown.
  void CopiesUp();
  void CopiesDown();
  // What PB1 shows, painted onto `painter`'s device at PB1's size.
  void PaintCollatePicture(QPainter& painter) const;

  void done(int result) override;

 private:
  void ChoosePrinter(int index);
  void ShowProperties();
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  EngineGlobals& engine_;
  TfrPrinter& printer_;
};

// The pictures of the dialog, drawn in code.
QImage MakePrinterGlyph();     // 18 x 16 on olive (128, 128, 0)
QImage MakeCollateImage();     // 74 x 53 on silver (192, 192, 192)
QImage MakeNonCollateImage();  // 92 x 40 on silver

}  // namespace quillet
