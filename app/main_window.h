// The program's one window: the settings of the test sheet, Print, About
// and Close, and the small settings file kept between runs.
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/shapes_settings.h"
#include "sheet/sheet_controls.h"
#include "sheet/sheet_layout.h"

class QAbstractSpinBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace quillet {

class ColorBox;
class DecimalSpinEdit;
class IntegerSpinEdit;
class RadioGroup;

class TfrmShapes : public QWidget {
  Q_OBJECT
 public:
  // `exeDir` (ending with a separator) stands for the executable's
  // directory, `configDir` for the per-user configuration directory; empty
  // means the real ones. The settings file is read before this returns.
  explicit TfrmShapes(const QString& exeDir = QString(), const QString& configDir = QString(),
                      QWidget* parent = nullptr);
  ~TfrmShapes() override;

  void FormCreate();
  // Shows only the groups that fit the chosen shape.
  void gbShapeClick();
  void btnPrintClick();
  // Tells in the notice line where "Print to PDF" wrote (nothing for none).
  void ShowPrintedFiles(const std::vector<std::string>& files);
  void btnAboutClick();
  // Saves position, corner radius and adjustment, then closes the window.
  void btnCloseClick();

  bool ReadSettings();
  bool WriteSettings();
  bool WriteDefaultSettings();

  // The controls' values as the print action reads them.
  SheetSettings CollectSheetSettings() const;

  // The report the print action lays out; the window owns it.
  void SetReport(std::unique_ptr<SheetReport> report);
  SheetReport& Report() { return *report_; }

  std::string ExeDir;        // with a trailing separator
  std::string SettingsPath;  // the settings file in use
  const ShapesSettings& Settings() const { return settings_; }

  // The window's controls, named as on the form.
  RadioGroup* gbShape;
  QGroupBox* GroupBox4;
  QGroupBox* GroupBox3;
  QGroupBox* GroupBox1;
  QGroupBox* gbRndCnr;
  QGroupBox* gbPolygon;
  QGroupBox* gbTriangle;
  QGroupBox* GroupBox2;
  RadioGroup* gbBrush;
  DecimalSpinEdit* spnWidth;
  DecimalSpinEdit* spnHeight;
  DecimalSpinEdit* spnCount;
  DecimalSpinEdit* spnGap;
  DecimalSpinEdit* spnLineThickness;
  DecimalSpinEdit* spnPPM;
  DecimalSpinEdit* spnPageWidth;
  DecimalSpinEdit* spnPageHeight;
  DecimalSpinEdit* spnTop;
  DecimalSpinEdit* spnLeft;
  DecimalSpinEdit* spnRndCnr;
  DecimalSpinEdit* spnAdjust;
  DecimalSpinEdit* spnSides;
  IntegerSpinEdit* spnAngle;
  IntegerSpinEdit* spnInnerPc;
  IntegerSpinEdit* spnSkew;
  DecimalSpinEdit* spnTriAngle;
  QCheckBox* chkCentre;
  QCheckBox* chkTriangle;
  QCheckBox* chkPreview;
  ColorBox* cboFrameColor;
  ColorBox* cboFillColor;
  QPushButton* btnPrint;
  QPushButton* btnAbout;
  QPushButton* btnClose;
  QLabel* psPath;

  // The spin edit of a table row, its caption and its unit caption (null
  // when the row has no unit).
  QAbstractSpinBox* Spin(SpinId id) const { return spins_[id]; }
  QLabel* SpinLabel(SpinId id) const { return labels_[id]; }
  QLabel* SpinUnit(SpinId id) const { return units_[id]; }

 private:
  void BuildControls();
  // One row of a group: caption, spin edit and unit at `top`.
  void AddSpinRow(QWidget* group, SpinId id, int top);
  double DecimalValue(SpinId id) const;
  int IntegerValue(SpinId id) const;

  ShapesSettings settings_;
  QString exeDirOverride_;
  QString configDirOverride_;
  std::unique_ptr<SheetReport> report_;
  std::array<QAbstractSpinBox*, kSpinCount> spins_{};
  std::array<QLabel*, kSpinCount> labels_{};
  std::array<QLabel*, kSpinCount> units_{};
};

}  // namespace quillet
