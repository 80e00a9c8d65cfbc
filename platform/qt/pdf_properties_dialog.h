// The properties of the built-in "Print to PDF" printer: the folder its
// files are written to, and the paper and orientation of the next
// document. The folder is shown, not chosen here; the paper and the
// orientation are edited on a copy of the device-mode block.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform_printer.h"

class QComboBox;
class QLabel;
class QRadioButton;

namespace quillet {

class PdfPropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  // `folder`: where the files go, shown as it stands; `codes` and `names`:
  // the papers offered (platform codes and their names, same order);
  // `mode`: the settings the dialog starts from.
  PdfPropertiesDialog(const QString& folder, const std::vector<std::int16_t>& codes,
                      const std::vector<std::string>& names, const DeviceMode& mode,
                      QWidget* parent = nullptr);

  // The starting block with the chosen paper and orientation. A custom
  // size that is kept stays as it was.
  DeviceMode Mode() const;

  QLabel* FolderLabel;
  QComboBox* PaperBox;  // item data: the platform paper code
  QRadioButton* Portrait;
  QRadioButton* Landscape;

 private:
  DeviceMode start_;
};

}  // namespace quillet
