// TfrPreview: a panel another window embeds to show a report's prepared
// pages. It owns one hidden preview window for its whole life and borrows
// that window's page area (and, with ShowToolbar, its toolbar strip).
#pragma once

#include <QFrame>
#include <functional>
#include <memory>

class QMenu;
class QVBoxLayout;

namespace quillet {

class TfrPreviewForm;
class TfrReport;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TfrPreview : public QFrame {
  Q_OBJECT

 public:
  explicit TfrPreview(QWidget* parent = nullptr);
  ~TfrPreview() override;

  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool ShowToolbar() const { return showToolbar_; }
  void SetShowToolbar(bool value);
  // Raised with the current page number whenever the number is shown.
  std::function<void(TfrPreview& sender, int page)> OnPageChanged;
  // The panel's own popup menu for a right click on the pages (not owned).
  QMenu* PopupMenu = nullptr;

  // Shows the report's prepared pages in the panel; the hidden window takes
  // them (the report keeps an empty list until Disconnect).
  void Connect(TfrReport& report);
  // Gives the pages back to the report.
  void Disconnect();
  int CurrentPageNumber() const;
  TfrPreviewForm& Form() { return *form_; }

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<TfrPreviewForm> form_;
  QVBoxLayout* layout_ = nullptr;
  QWidget* hookedWindow_ = nullptr;
  TScrollStyle scrollBars_ = ssBoth;
  bool showToolbar_ = false;
};

}  // namespace quillet
