#include "app/main_window.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <exception>

#include "app/about_box.h"
#include "app/color_box.h"
#include "app/decimal_spin_edit.h"
#include "app/integer_spin_edit.h"
#include "app/program_icon.h"
#include "app/radio_group.h"
#include "app/window_placement.h"
#include "platform/numeric.h"
#include "printing/printed_files.h"
#include "sheet/sheet_report.h"

namespace quillet {
namespace {

constexpr int kClientWidth = 444;
constexpr int kClientHeight = 489;
constexpr int kRowHeight = 21;
// The spin-edit column inside every group, from its left edge: clear of the
// widest caption ("Default Pixels per mm", 107 pixels in Liberation Sans
// 11 px) by 6 pixels, and leaving room for "pixels" and 4 blank pixels
// before the frame of a 208-wide group.
constexpr int kCaptionLeft = 8;
constexpr int kSpinLeft = 121;
constexpr int kSpinWidth = 50;
constexpr int kUnitGap = 3;
constexpr int kFrameMargin = 6;  // the 2-pixel frame and 4 blank pixels
// The right-hand column of groups: 2 pixels wider than 206 so that "pixels"
// stands clear of the frame.
constexpr int kRightGroupWidth = 208;

QString Text(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

std::string WithSeparator(QString dir) {
  if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return QDir::toNativeSeparators(dir).toStdString();
}

QGroupBox* Group(QWidget* parent, const QString& caption, int left, int top, int width,
                 int height) {
  auto* box = new QGroupBox(caption, parent);
  box->setGeometry(left, top, width, height);
  return box;
}

// A check box whose caption stands left of the box.
QCheckBox* LeftCaptionCheck(QWidget* parent, const QString& caption, int left, int top, int width) {
  auto* check = new QCheckBox(caption, parent);
  check->setLayoutDirection(Qt::RightToLeft);
  check->setGeometry(left, top, width, kRowHeight);
  return check;
}

}  // namespace

TfrmShapes::TfrmShapes(const QString& exeDir, const QString& configDir, QWidget* parent)
    : QWidget(parent),
      exeDirOverride_(exeDir),
      configDirOverride_(configDir),
      report_(std::make_unique<SheetReportComponent>()) {
  setWindowTitle(QStringLiteral("QUILLET"));
  setWindowIcon(ProgramIcon());
  setFixedSize(kClientWidth, kClientHeight);
  QFont formFont(QStringLiteral("Arial"));
  formFont.setStyleHint(QFont::SansSerif);
  formFont.setPixelSize(11);
  setFont(formFont);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Button));
  setPalette(pal);
  setAutoFillBackground(true);
  BuildControls();
  FormCreate();
}

TfrmShapes::~TfrmShapes() = default;

void TfrmShapes::AddSpinRow(QWidget* group, SpinId id, int top) {
  const SpinBounds& bounds = kSpins[id];
  auto* label = new QLabel(Text(bounds.label), group);
  label->setGeometry(kCaptionLeft, top, kSpinLeft - 6 - kCaptionLeft, kRowHeight);
  QAbstractSpinBox* spin = nullptr;
  if (bounds.integer)
    spin = new IntegerSpinEdit(bounds, group);
  else
    spin = new DecimalSpinEdit(bounds, group);
  spin->setGeometry(kSpinLeft, top, kSpinWidth, kRowHeight);
  labels_[id] = label;
  spins_[id] = spin;
  if (!bounds.unit.empty()) {
    auto* unit = new QLabel(Text(bounds.unit), group);
    const int unitLeft = kSpinLeft + kSpinWidth + kUnitGap;
    unit->setGeometry(unitLeft, top, group->width() - kFrameMargin - unitLeft, kRowHeight);
    units_[id] = unit;
  }
}

void TfrmShapes::BuildControls() {
  gbShape = new RadioGroup(
      QStringLiteral("Shape"),
      {QStringLiteral("Rectangle"), QStringLiteral("Rounded Rectangle"), QStringLiteral("Ellipse"),
       QStringLiteral("Triangle"), QStringLiteral("Polygon"), QStringLiteral("Star")},
      1, this);
  gbShape->setGeometry(11, 8, 201, 117);
  gbShape->SetItemIndex(2);
  connect(gbShape, &RadioGroup::Clicked, this, &TfrmShapes::gbShapeClick);

  GroupBox4 = Group(this, QStringLiteral("Drawing Setup"), 228, 8, kRightGroupWidth, 117);
  AddSpinRow(GroupBox4, quillet::spnCount, 18);
  AddSpinRow(GroupBox4, quillet::spnGap, 42);
  AddSpinRow(GroupBox4, quillet::spnLineThickness, 66);
  AddSpinRow(GroupBox4, quillet::spnPPM, 90);

  GroupBox3 = Group(this, QStringLiteral("Dimensions"), 11, 127, 201, 67);
  AddSpinRow(GroupBox3, quillet::spnWidth, 17);
  AddSpinRow(GroupBox3, quillet::spnHeight, 41);

  GroupBox1 = Group(this, QStringLiteral("Page Setup"), 228, 127, kRightGroupWidth, 149);
  AddSpinRow(GroupBox1, quillet::spnPageWidth, 17);
  AddSpinRow(GroupBox1, quillet::spnPageHeight, 41);
  chkCentre = LeftCaptionCheck(GroupBox1, QStringLiteral("Use Width Centering"), kCaptionLeft, 65,
                               kSpinLeft + 17 - kCaptionLeft);
  AddSpinRow(GroupBox1, quillet::spnTop, 89);
  AddSpinRow(GroupBox1, quillet::spnLeft, 113);

  gbRndCnr = Group(this, QString(), 11, 196, 201, 65);
  AddSpinRow(gbRndCnr, quillet::spnRndCnr, 10);
  AddSpinRow(gbRndCnr, quillet::spnAdjust, 36);

  gbPolygon = Group(this, QString(), 11, 260, 201, 118);
  AddSpinRow(gbPolygon, quillet::spnSides, 10);
  AddSpinRow(gbPolygon, quillet::spnAngle, 36);
  AddSpinRow(gbPolygon, quillet::spnInnerPc, 62);
  AddSpinRow(gbPolygon, quillet::spnSkew, 88);

  gbTriangle = Group(this, QString(), 228, 282, kRightGroupWidth, 63);
  chkTriangle = LeftCaptionCheck(gbTriangle, QStringLiteral("Adjust Triangle"), kCaptionLeft, 8,
                                 kSpinLeft + 17 - kCaptionLeft);
  AddSpinRow(gbTriangle, quillet::spnTriAngle, 34);

  GroupBox2 = Group(this, QStringLiteral("Colors"), 228, 350, kRightGroupWidth, 74);
  auto* frameLabel = new QLabel(QStringLiteral("Frame Color"), GroupBox2);
  frameLabel->setGeometry(8, 18, 70, 22);
  cboFrameColor = new ColorBox(GroupBox2);
  cboFrameColor->setGeometry(80, 18, 118, 22);
  auto* fillLabel = new QLabel(QStringLiteral("Fill Color"), GroupBox2);
  fillLabel->setGeometry(8, 45, 70, 22);
  cboFillColor = new ColorBox(GroupBox2);
  cboFillColor->setGeometry(80, 45, 118, 22);

  gbBrush = new RadioGroup(QStringLiteral("Brush"),
                           {QStringLiteral("Solid"), QStringLiteral("Clear")}, 2, this);
  gbBrush->setGeometry(11, 382, 201, 41);
  gbBrush->SetItemIndex(1);

  btnPrint = new QPushButton(QStringLiteral("Print"), this);
  btnPrint->setGeometry(12, 435, 84, 29);
  btnAbout = new QPushButton(QStringLiteral("About"), this);
  btnAbout->setGeometry(236, 435, 84, 29);
  btnClose = new QPushButton(QStringLiteral("Close"), this);
  btnClose->setGeometry(350, 435, 84, 29);
  connect(btnPrint, &QPushButton::clicked, this, &TfrmShapes::btnPrintClick);
  connect(btnAbout, &QPushButton::clicked, this, &TfrmShapes::btnAboutClick);
  connect(btnClose, &QPushButton::clicked, this, &TfrmShapes::btnCloseClick);

  chkPreview = LeftCaptionCheck(this, QStringLiteral("Preview"), 122, 443, 70);
  chkPreview->setFixedHeight(17);

  psPath = new QLabel(
      QStringLiteral(" Print the sheet, measure the shapes, then tune the factors."), this);
  psPath->setGeometry(0, kClientHeight - 13, kClientWidth, 13);
  psPath->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  QFont small = font();
  small.setPixelSize(9);
  psPath->setFont(small);

  spnWidth = static_cast<DecimalSpinEdit*>(spins_[quillet::spnWidth]);
  spnHeight = static_cast<DecimalSpinEdit*>(spins_[quillet::spnHeight]);
  spnCount = static_cast<DecimalSpinEdit*>(spins_[quillet::spnCount]);
  spnGap = static_cast<DecimalSpinEdit*>(spins_[quillet::spnGap]);
  spnLineThickness = static_cast<DecimalSpinEdit*>(spins_[quillet::spnLineThickness]);
  spnPPM = static_cast<DecimalSpinEdit*>(spins_[quillet::spnPPM]);
  spnPageWidth = static_cast<DecimalSpinEdit*>(spins_[quillet::spnPageWidth]);
  spnPageHeight = static_cast<DecimalSpinEdit*>(spins_[quillet::spnPageHeight]);
  spnTop = static_cast<DecimalSpinEdit*>(spins_[quillet::spnTop]);
  spnLeft = static_cast<DecimalSpinEdit*>(spins_[quillet::spnLeft]);
  spnRndCnr = static_cast<DecimalSpinEdit*>(spins_[quillet::spnRndCnr]);
  spnAdjust = static_cast<DecimalSpinEdit*>(spins_[quillet::spnAdjust]);
  spnSides = static_cast<DecimalSpinEdit*>(spins_[quillet::spnSides]);
  spnAngle = static_cast<IntegerSpinEdit*>(spins_[quillet::spnAngle]);
  spnInnerPc = static_cast<IntegerSpinEdit*>(spins_[quillet::spnInnerPc]);
  spnSkew = static_cast<IntegerSpinEdit*>(spins_[quillet::spnSkew]);
  spnTriAngle = static_cast<DecimalSpinEdit*>(spins_[quillet::spnTriAngle]);
}

void TfrmShapes::FormCreate() {
  const QString exeDir =
      exeDirOverride_.isEmpty() ? QCoreApplication::applicationDirPath() : exeDirOverride_;
  const QString configDir =
      configDirOverride_.isEmpty()
          ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
          : configDirOverride_;
  ExeDir = WithSeparator(exeDir);
  // An installed program's directory is not writable: the file then lives
  // in the user's configuration directory instead.
  SettingsPath = ChooseSettingsPath(ExeDir, WithSeparator(configDir));
  cboFillColor->SetSelected(clWhite);
  cboFrameColor->SetSelected(clBlack);
  ReadSettings();
  spnAdjust->SetValue(settings_.Adjust);
  spnRndCnr->SetValue(settings_.LastRndCnr);
  // A position off every screen (a screen since unplugged) opens the window
  // where it can be seen; the file keeps its value until Close writes one.
  QRect frame = frameGeometry();
  frame.moveTopLeft(QPoint(settings_.MainFormLeft, settings_.MainFormTop));
  move(FullyVisiblePosition(frame, AvailableScreenAreas()));
  gbShapeClick();
}

void TfrmShapes::gbShapeClick() {
  const int k = gbShape->ItemIndex();
  gbRndCnr->setVisible(k == 1);
  gbPolygon->setVisible(k == 4 || k == 5);
  gbTriangle->setVisible(k == 3);
  // The "%" and "deg" units beside them stay with the polygon group.
  const bool star = k == 5;
  for (SpinId id : {quillet::spnInnerPc, quillet::spnSkew}) {
    spins_[id]->setVisible(star);
    labels_[id]->setVisible(star);
  }
}

double TfrmShapes::DecimalValue(SpinId id) const {
  return static_cast<const DecimalSpinEdit*>(spins_[id])->Value();
}

int TfrmShapes::IntegerValue(SpinId id) const {
  return static_cast<const IntegerSpinEdit*>(spins_[id])->Value();
}

SheetSettings TfrmShapes::CollectSheetSettings() const {
  SheetSettings s;
  s.Width = DecimalValue(quillet::spnWidth);
  s.Height = DecimalValue(quillet::spnHeight);
  s.Count = DecimalValue(quillet::spnCount);
  s.Gap = DecimalValue(quillet::spnGap);
  s.LineThickness = DecimalValue(quillet::spnLineThickness);
  s.PPM = DecimalValue(quillet::spnPPM);
  s.PageWidth = DecimalValue(quillet::spnPageWidth);
  s.PageHeight = DecimalValue(quillet::spnPageHeight);
  s.Centre = chkCentre->isChecked();
  s.Top = DecimalValue(quillet::spnTop);
  s.Left = DecimalValue(quillet::spnLeft);
  s.RndCnr = DecimalValue(quillet::spnRndCnr);
  s.Adjust = DecimalValue(quillet::spnAdjust);
  s.Sides = DecimalValue(quillet::spnSides);
  s.Angle = IntegerValue(quillet::spnAngle);
  s.InnerPc = IntegerValue(quillet::spnInnerPc);
  s.Skew = IntegerValue(quillet::spnSkew);
  s.AdjustTriangle = chkTriangle->isChecked();
  s.TriAngle = DecimalValue(quillet::spnTriAngle);
  s.FrameColor = cboFrameColor->Selected();
  s.FillColor = cboFillColor->Selected();
  s.ShapeIndex = gbShape->ItemIndex();
  s.BrushIndex = gbBrush->ItemIndex();
  s.Preview = chkPreview->isChecked();
  return s;
}

void TfrmShapes::SetReport(std::unique_ptr<SheetReport> report) {
  report_ = std::move(report);
}

void TfrmShapes::btnPrintClick() {
  EngineGlobals& engine = report_->Globals();
  TakePrintedFiles(engine);  // files of earlier jobs have been told already
  try {
    RunPrintAction(CollectSheetSettings(), *report_);
  } catch (const std::exception& e) {
    QMessageBox::critical(this, QStringLiteral("Error"), QString::fromLocal8Bit(e.what()));
  }
  ShowPrintedFiles(TakePrintedFiles(engine));
}

void TfrmShapes::ShowPrintedFiles(const std::vector<std::string>& files) {
  const QString notice = PrintedFilesNotice(files);
  if (notice.isEmpty()) return;
  // A long path loses its middle; the tip holds all of it.
  psPath->setText(u' ' + psPath->fontMetrics().elidedText(notice, Qt::ElideMiddle,
                                                          psPath->contentsRect().width() - 4));
  psPath->setToolTip(notice);
}

void TfrmShapes::btnAboutClick() {
  ShowAboutBox(this);
}

void TfrmShapes::btnCloseClick() {
  settings_.MainFormLeft = x();
  settings_.MainFormTop = y();
  settings_.Adjust = spnAdjust->Value();
  settings_.LastRndCnr = Trunc(spnRndCnr->Value());
  WriteSettings();
  close();
}

bool TfrmShapes::ReadSettings() {
  return settings_.ReadSettings(SettingsPath);
}
bool TfrmShapes::WriteSettings() {
  return settings_.WriteSettings(SettingsPath);
}
bool TfrmShapes::WriteDefaultSettings() {
  return settings_.WriteDefaultSettings(SettingsPath);
}

}  // namespace quillet
