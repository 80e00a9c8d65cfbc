#include "platform/qt/pdf_properties_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/qt/qt_text.h"

namespace quillet {
namespace {

constexpr std::int16_t kCustomCode = 256;

bool IsCustomSize(const DeviceMode& m) {
  return m.PaperSize == kCustomCode && (m.Fields & (dmPaperLength | dmPaperWidth)) != 0 &&
         m.PaperWidth > 0 && m.PaperLength > 0;
}

}  // namespace

PdfPropertiesDialog::PdfPropertiesDialog(const QString& folder,
                                         const std::vector<std::int16_t>& codes,
                                         const std::vector<std::string>& names,
                                         const DeviceMode& mode, QWidget* parent)
    : QDialog(parent), start_(mode) {
  setWindowTitle(QStringLiteral("Print to PDF - Properties"));

  FolderLabel = new QLabel(QDir::toNativeSeparators(folder), this);
  FolderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  FolderLabel->setWordWrap(true);
  auto* naming = new QLabel(
      QStringLiteral("Each document goes to a new file named after its title and the time."), this);
  naming->setWordWrap(true);

  PaperBox = new QComboBox(this);
  for (std::size_t i = 0; i < codes.size() && i < names.size(); ++i)
    PaperBox->addItem(ToQString(names[i]), int(codes[i]));
  if (IsCustomSize(mode)) {
    PaperBox->addItem(QStringLiteral("Custom (%1 x %2 mm)")
                          .arg(mode.PaperWidth / 10.0)
                          .arg(mode.PaperLength / 10.0),
                      int(kCustomCode));
  }
  const int at = PaperBox->findData(int(IsCustomSize(mode) ? kCustomCode : mode.PaperSize));
  PaperBox->setCurrentIndex(at >= 0 ? at : 0);

  Portrait = new QRadioButton(QStringLiteral("&Portrait"), this);
  Landscape = new QRadioButton(QStringLiteral("&Landscape"), this);
  (mode.Orientation == dmOrientLandscape ? Landscape : Portrait)->setChecked(true);
  auto* orientation = new QHBoxLayout;
  orientation->addWidget(Portrait);
  orientation->addWidget(Landscape);
  orientation->addStretch();

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Files go to:"), FolderLabel);
  form->addRow(QString(), naming);
  form->addRow(QStringLiteral("P&aper:"), PaperBox);
  form->addRow(QStringLiteral("Orientation:"), orientation);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* top = new QVBoxLayout(this);
  top->addLayout(form);
  top->addWidget(buttons);
  setMinimumWidth(420);
}

DeviceMode PdfPropertiesDialog::Mode() const {
  DeviceMode m = start_;
  m.Fields |= dmOrientation;
  m.Orientation = Landscape->isChecked() ? dmOrientLandscape : dmOrientPortrait;
  const int code = PaperBox->currentData().toInt();
  if (code > 0 && code != kCustomCode) {
    m.Fields |= dmPaperSize;
    m.Fields &= ~(dmPaperLength | dmPaperWidth);
    m.PaperSize = static_cast<std::int16_t>(code);
    m.PaperLength = 0;
    m.PaperWidth = 0;
  }
  return m;
}

}  // namespace quillet
