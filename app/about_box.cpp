#include "app/about_box.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "app/label_3d.h"
#include "app/program_icon.h"
#include "app/system_info.h"
#include "quillet_version.h"

namespace quillet {
namespace {

constexpr int kClientWidth = 306;
constexpr int kClientHeight = 221;

QLabel* TextAt(QWidget* parent, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->move(left, top);
  label->adjustSize();
  return label;
}

}  // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  QFont formFont(QStringLiteral("Arial"));
  formFont.setStyleHint(QFont::SansSerif);
  formFont.setPixelSize(11);
  setFont(formFont);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
  pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
  setPalette(pal);
  setAutoFillBackground(true);

  Label3D1 = new TLabel3D(this);
  Label3D1->SetAutoSize(false);
  // The dialog's own colour shows through, whatever the platform calls it.
  Label3D1->SetTransparent(true);
  Label3D1->setGeometry(26, 10, 223, 41);
  Font big;
  big.name = "Arial";
  big.height = 35;
  big.style = fsBold;
  big.color = clWindowText;
  Label3D1->SetLabelFont(big);
  Label3D1->SetTextStyle(tsHeavyRecessed);
  Label3D1->SetShift(1);
  Label3D1->SetEscapement(0);
  Label3D1->SetBorder(false);
  Label3D1->SetBorderType(btDefault);
  Label3D1->SetBorderColor(clRed);
  Label3D1->SetBorderPenStyle(PenStyle::Solid);
  Label3D1->SetLabelStyle(lsDefault);
  Label3D1->SetEllipsesStyle(esNone);
  Label3D1->SetCaption(QStringLiteral("Quillet"));

  Label1 = new QLabel(QStringLiteral("Version ") + QLatin1String(kQuilletVersion), this);
  QFont versionFont = formFont;
  versionFont.setPixelSize(13);
  Label1->setFont(versionFont);
  Label1->setStyleSheet(QStringLiteral("color: black"));
  Label1->move(26, 52);
  Label1->adjustSize();

  Image1 = new QLabel(this);
  Image1->setGeometry(246, 57, 32, 32);
  Image1->setPixmap(ProgramPixmap(32));

  Notice = TextAt(this, QStringLiteral("A test sheet of shapes for printer calibration."), 26, 77);

  Bevel1 = new QFrame(this);
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(26, 103, 257, 2);

  OS = TextAt(this, QString(), 26, 112);
  Label3 = TextAt(this, QStringLiteral("Memory Available to %1:").arg(PlatformName()), 26, 129);
  PhysMem = new QLabel(this);
  PhysMem->setAlignment(Qt::AlignRight | Qt::AlignTop);
  PhysMem->setGeometry(140, 129, 280 - 140, 14);

  Info1 = TextAt(this, QStringLiteral("Measure the printed shapes and tune the"), 26, 150);
  Info2 = TextAt(this, QStringLiteral("pixels per millimetre and printer adjustment."), 26, 164);

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setGeometry(211, 185, 75, 30);
  OKButton->setDefault(true);
  OKButton->setAutoDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  ShowSystemInfo();
}

void TfrmAbout::ShowSystemInfo() {
  // A long kernel version is shortened to fit; the whole text is the tip.
  const QString os = OperatingSystemText();
  OS->setGeometry(26, 112, 280 - 26, OS->fontMetrics().height());
  OS->setText(OS->fontMetrics().elidedText(os, Qt::ElideRight, OS->width()));
  OS->setToolTip(os);
  PhysMem->setText(MemoryText(PhysicalMemoryBytes()));
  setWindowTitle(QStringLiteral("About Quillet\u00A9"));
  Label3D1->SetCaption(QStringLiteral("Quillet\u00A9"));
}

void TfrmAbout::reject() {
  accept();
}

void TfrmAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (QScreen* s = screen())
    move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void ShowAboutBox(QWidget* parent) {
  TfrmAbout box(parent);
  box.exec();
}

}  // namespace quillet
