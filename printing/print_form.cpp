#include "printing/print_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <exception>
#include <functional>

#include "platform/engine_host.h"
#include "platform/qt/qt_text.h"
#include "report/base/engine_texts.h"
#include "report/base/text_format.h"
#include "report/printer/printer.h"
#include "widgets/engine_window_font.h"
#include "widgets/speed_button.h"

namespace quillet {
namespace {

const QRgb kOlive = qRgb(128, 128, 0);
const QRgb kSilver = qRgb(192, 192, 192);

// Texts of the dialog, in the order of the engine's text table.
enum : int {
  tPrint,
  tPrinter,
  tName,
  tProperties,
  tPageRange,
  tAll,
  tCurrentPage,
  tPages,
  tRangeHint,
  tCopies,
  tNumberOfCopies,
  tCollate,
  tPrintWhat,
  tAllPages,
  tOddPages,
  tEvenPages,
};

QString Text(int which) {
  return ToQString(EngineText(txPrintFormFirst + which));
}

// `image` with every pixel of `key` made transparent.
QImage Keyed(const QImage& image, QRgb key) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x)
      if ((out.pixel(x, y) & 0xFFFFFF) == (key & 0xFFFFFF)) out.setPixel(x, y, 0);
  return out;
}

// A sheet of paper with a page number, as the collate pictures show them.
void DrawSheet(QPainter& p, int x, int y, int w, int h, int number) {
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawRect(x, y, w - 1, h - 1);
  // The folded corner.
  p.drawLine(x + w - 6, y, x + w - 1, y + 5);
  // The number in the top-left corner, which the sheets in front leave
  // visible.
  QFont f = EngineWindowFont();
  f.setPixelSize(9);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRect(x + 1, y + 1, 7, 10), Qt::AlignCenter, QString::number(number));
}

// Paints the printer glyph in printer names of CB1.
class PrinterItemDelegate : public QStyledItemDelegate {
 public:
  PrinterItemDelegate(const QImage& glyph, QObject* parent)
      : QStyledItemDelegate(parent), glyph_(Keyed(glyph, kOlive)) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    p->fillRect(r, selected ? pal.highlight() : pal.base());
    p->drawImage(QPoint(r.left() + 2, r.top()), glyph_);
    p->setPen(selected ? pal.highlightedText().color() : pal.text().color());
    p->setFont(option.font);
    const QFontMetrics fm(option.font);
    p->drawText(QPoint(r.left() + 24, r.top() + 1 + fm.ascent()), index.data().toString());
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width() + 24, 16};
  }

 private:
  QImage glyph_;
};

// A label that reports its clicks (a double click is a second click).
class ClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> OnClick;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && OnClick) OnClick();
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && OnClick) OnClick();
  }
};

class PaintBox : public QWidget {
 public:
  PaintBox(const TfrPrintForm& form, QWidget* parent) : QWidget(parent), form_(form) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    form_.PaintCollatePicture(p);
  }

 private:
  const TfrPrintForm& form_;
};

// The arrows' glyphs: a small black triangle pointing up or down.
QImage ArrowGlyph(bool up) {
  QImage img(7, 4, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  for (int row = 0; row < 4; ++row) {
    const int y = up ? row : 3 - row;
    for (int x = 3 - row; x <= 3 + row; ++x) img.setPixel(x, y, qRgb(0, 0, 0));
  }
  return img;
}

void ShowError(EngineGlobals& engine, const std::exception& e) {
  engine.Host().ShowMessage(e.what(), EngineText(txError), MessageIcon::Error, MessageButtons::Ok);
}

}  // namespace

QImage MakePrinterGlyph() {
  QImage img(18, 16, QImage::Format_RGB32);
  img.fill(kOlive);
  QPainter p(&img);
  p.setPen(Qt::black);
  // Paper coming out of the top.
  p.setBrush(Qt::white);
  p.drawRect(5, 0, 7, 6);
  // The body.
  p.setBrush(QColor(192, 192, 192));
  p.drawRect(1, 6, 15, 6);
  p.setPen(QColor(128, 128, 128));
  p.drawLine(2, 11, 15, 11);
  p.setPen(Qt::black);
  // The tray and the output slot.
  p.fillRect(3, 13, 12, 2, Qt::black);
  p.fillRect(12, 8, 2, 1, QColor(0, 160, 0));
  return img;
}

QImage MakeCollateImage() {
  QImage img(74, 53, QImage::Format_RGB32);
  img.fill(kSilver);
  QPainter p(&img);
  // Two sets, each 3 over 2 over 1, fanned.
  for (int set = 0; set < 2; ++set) {
    const int x0 = set * 39;
    for (int page = 3; page >= 1; --page) {
      const int step = 3 - page;
      DrawSheet(p, x0 + step * 8, 2 + step * 6, 19, 38, page);
    }
  }
  return img;
}

QImage MakeNonCollateImage() {
  QImage img(92, 40, QImage::Format_RGB32);
  img.fill(kSilver);
  QPainter p(&img);
  // Pairs of the same page: 1 1, 2 2, 3 3.
  for (int page = 1; page <= 3; ++page) {
    const int x0 = (page - 1) * 31;
    DrawSheet(p, x0, 0, 20, 34, page);
    DrawSheet(p, x0 + 9, 6, 20, 34, page);
  }
  return img;
}

TfrPrintForm::TfrPrintForm(EngineGlobals& engine, QWidget* parent)
    : QDialog(parent), engine_(engine), printer_(EnginePrinter(engine)) {
  setFont(EngineWindowFont());
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(485, 226);
  setWindowTitle(Text(tPrint));

  Image1 = MakePrinterGlyph();
  CollateImg = MakeCollateImage();
  NonCollateImg = MakeNonCollateImage();

  GroupBox1 = new QGroupBox(Text(tPrinter), this);
  GroupBox1->setGeometry(4, 8, 477, 49);
  Label4 = new QLabel(Text(tName), GroupBox1);
  Label4->move(8, 20);
  Label4->adjustSize();
  CB1 = new QComboBox(GroupBox1);
  CB1->setGeometry(72, 17, 305, 22);
  CB1->setWhatsThis(QStringLiteral("142"));
  CB1->setItemDelegate(new PrinterItemDelegate(Image1, CB1));
  Label4->setBuddy(CB1);
  PropButton = new QPushButton(Text(tProperties), GroupBox1);
  PropButton->setGeometry(392, 17, 75, 22);

  GroupBox2 = new QGroupBox(Text(tPageRange), this);
  GroupBox2->setGeometry(4, 68, 265, 117);
  RB1 = new QRadioButton(Text(tAll), GroupBox2);
  RB1->move(8, 20);
  RB1->adjustSize();
  RB1->setChecked(true);
  RB2 = new QRadioButton(Text(tCurrentPage), GroupBox2);
  RB2->move(8, 40);
  RB2->adjustSize();
  RB3 = new QRadioButton(Text(tPages), GroupBox2);
  RB3->move(8, 60);
  RB3->adjustSize();
  E2 = new QLineEdit(GroupBox2);
  E2->setGeometry(88, 58, 165, 21);
  E2->installEventFilter(this);
  Label2 = new QLabel(Text(tRangeHint), GroupBox2);
  Label2->setGeometry(8, 82, 249, 29);
  Label2->setWordWrap(true);
  Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  GroupBox3 = new QGroupBox(Text(tCopies), this);
  GroupBox3->setGeometry(280, 68, 201, 117);
  Label1 = new QLabel(Text(tNumberOfCopies), GroupBox3);
  Label1->move(8, 24);
  Label1->adjustSize();
  E1 = new QLineEdit(QStringLiteral("1"), GroupBox3);
  E1->setGeometry(128, 20, 49, 21);
  Label1->setBuddy(E1);
  frSpeedButton1 = new TfrSpeedButton(GroupBox3);
  frSpeedButton1->setGeometry(158, 22, 17, 8);
  frSpeedButton1->SetGlyph(ArrowGlyph(true));
  frSpeedButton1->OnClick = [this] { CopiesUp(); };
  frSpeedButton2 = new TfrSpeedButton(GroupBox3);
  frSpeedButton2->setGeometry(158, 30, 17, 8);
  frSpeedButton2->SetGlyph(ArrowGlyph(false));
  frSpeedButton2->OnClick = [this] { CopiesDown(); };
  CollateCB = new QCheckBox(GroupBox3);
  CollateCB->move(112, 62);
  CollateCB->adjustSize();
  CollateCB->setChecked(true);
  auto* label3 = new ClickLabel(Text(tCollate), GroupBox3);
  label3->setGeometry(132, 64, 61, 41);
  label3->setWordWrap(true);
  label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label3->setBuddy(CollateCB);
  label3->OnClick = [this] { CollateCB->toggle(); };
  Label3 = label3;
  PB1 = new PaintBox(*this, GroupBox3);
  PB1->setGeometry(8, 52, 92, 53);
  connect(CollateCB, &QCheckBox::toggled, PB1, qOverload<>(&QWidget::update));

  Label5 = new QLabel(Text(tPrintWhat), this);
  Label5->move(4, 200);
  Label5->adjustSize();
  CB2 = new QComboBox(this);
  CB2->addItems({Text(tAllPages), Text(tOddPages), Text(tEvenPages)});
  CB2->setCurrentIndex(0);
  CB2->setGeometry(Label5->geometry().right() + 1 + 11, 196, 155, 22);
  Label5->setBuddy(CB2);

  Button1 = new QPushButton(ToQString(EngineText(txOk)), this);
  Button1->setGeometry(326, 196, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  Button2 = new QPushButton(ToQString(EngineText(txCancel)), this);
  Button2->setGeometry(406, 196, 75, 25);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  // The installed printers, the current one selected.
  if (printer_.PlatformPrinter) {
    // The icon shows the glyph in the closed box too; the list draws its own.
    const QIcon glyph(QPixmap::fromImage(Keyed(Image1, kOlive)));
    CB1->setIconSize(QSize(18, 16));
    for (const std::string& name : printer_.PlatformPrinter->PrinterNames())
      CB1->addItem(glyph, ToQString(name));
    if (CB1->count() > 0) OldPrinterIndex = printer_.PlatformPrinter->PrinterIndex();
  }
  CB1->setCurrentIndex(OldPrinterIndex);
  connect(CB1, &QComboBox::currentIndexChanged, this, &TfrPrintForm::ChoosePrinter);
  connect(PropButton, &QPushButton::clicked, this, &TfrPrintForm::ShowProperties);
  connect(RB3, &QRadioButton::clicked, E2, [this] { E2->setFocus(); });

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TfrPrintForm::~TfrPrintForm() = default;

void TfrPrintForm::ChoosePrinter(int index) {
  if (index < 0) return;
  try {
    printer_.SelectPrinter(index);
  } catch (const std::exception& e) {
    ShowError(engine_, e);
  }
}

void TfrPrintForm::ShowProperties() {
  try {
    printer_.ShowPrinterProperties();
  } catch (const std::exception& e) {
    ShowError(engine_, e);
  }
}

void TfrPrintForm::CopiesUp() {
  try {
    const std::int64_t value = StrToInt(FromQString(E1->text()));
    E1->setText(QString::number(value + 1));
  } catch (const std::exception& e) {
    ShowError(engine_, e);
  }
}

void TfrPrintForm::CopiesDown() {
  try {
    const std::int64_t value = StrToInt(FromQString(E1->text()));
    E1->setText(QString::number(std::max<std::int64_t>(1, value - 1)));
  } catch (const std::exception& e) {
    ShowError(engine_, e);
  }
}

void TfrPrintForm::PaintCollatePicture(QPainter& p) const {
  p.fillRect(QRect(0, 0, 92, 53), palette().color(QPalette::Button));
  if (CollateCB->isChecked())
    p.drawImage(QRect(8, 0, 74, 53), Keyed(CollateImg, kSilver));
  else
    p.drawImage(QRect(0, 8, 92, 40), Keyed(NonCollateImg, kSilver));
}

bool TfrPrintForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == E2 && event->type() == QEvent::FocusIn) RB3->setChecked(true);
  return QDialog::eventFilter(watched, event);
}

void TfrPrintForm::done(int result) {
  // Anything but OK undoes a printer change made in the list.
  if (result != QDialog::Accepted && OldPrinterIndex >= 0) {
    try {
      printer_.SelectPrinter(OldPrinterIndex);
    } catch (const std::exception& e) {
      ShowError(engine_, e);
    }
  }
  QDialog::done(result);
}

}  // namespace quillet
