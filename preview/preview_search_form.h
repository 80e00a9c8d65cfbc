// The find-text dialog of the preview window: the text, the case option and
// where the search starts. A new dialog is made for every search, so it
// never shows the previous search's text or options.
#pragma once

#include <QDialog>

#include "preview/preview_form.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace quillet {

class TfrPreviewSearchForm : public QDialog {
  Q_OBJECT

 public:
  explicit TfrPreviewSearchForm(QWidget* parent = nullptr);

  QLineEdit* Edit1 = nullptr;
  QCheckBox* CB1 = nullptr;
  QRadioButton* RB1 = nullptr;
  QRadioButton* RB2 = nullptr;

  // Shows a new dialog modally over `parent`; on OK fills `request` and
  // returns true.
  static bool Ask(QWidget* parent, TfrPreviewForm::SearchRequest& request);

 protected:
  void showEvent(QShowEvent* e) override;
};

}  // namespace quillet
