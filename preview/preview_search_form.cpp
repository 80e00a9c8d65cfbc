#include "preview/preview_search_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <utility>

#include "widgets/engine_window_font.h"

namespace quillet {

TfrPreviewSearchForm::TfrPreviewSearchForm(QWidget* parent) : QDialog(parent) {
  setFont(EngineWindowFont());
  setWindowTitle("Find text");
  setFixedSize(262, 158);
  auto* label1 = new QLabel("Text to &find", this);
  label1->move(4, 8);
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(4, 24, 253, 21);
  label1->setBuddy(Edit1);
  auto* group1 = new QGroupBox("Options", this);
  group1->setGeometry(4, 52, 141, 65);
  CB1 = new QCheckBox("&Case sensitive", group1);
  CB1->move(8, 20);
  auto* group2 = new QGroupBox("Origin", this);
  group2->setGeometry(152, 52, 105, 65);
  RB1 = new QRadioButton("&1st page", group2);
  RB1->move(8, 20);
  RB1->setChecked(true);
  RB2 = new QRadioButton("Current &page", group2);
  RB2->move(8, 40);
  auto* ok = new QPushButton("OK", this);
  ok->setGeometry(102, 128, 75, 25);
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setGeometry(182, 128, 75, 25);
  // Context-help numbers of the controls.
  const std::pair<QWidget*, int> help[] = {{Edit1, 98}, {CB1, 107}, {RB1, 116},
                                           {RB2, 123},  {ok, 40},   {cancel, 50}};
  for (const auto& [w, number] : help) w->setProperty("helpContext", number);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
}

void TfrPreviewSearchForm::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  Edit1->setFocus();
  Edit1->selectAll();
}

bool TfrPreviewSearchForm::Ask(QWidget* parent, TfrPreviewForm::SearchRequest& request) {
  TfrPreviewSearchForm dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  request.Text = dialog.Edit1->text();
  request.CaseSensitive = dialog.CB1->isChecked();
  request.FromCurrentPage = dialog.RB2->isChecked();
  return true;
}

}  // namespace quillet
