#include "preview/preview_panel.h"

#include <QVBoxLayout>
#include <QWheelEvent>

#include "preview/preview_form.h"

namespace quillet {

TfrPreview::TfrPreview(QWidget* parent)
    : QFrame(parent), form_(std::make_unique<TfrPreviewForm>()) {
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(1, 1, 1, 1);
  layout_->setSpacing(0);
  form_->PageChangedHook = [this] {
    if (OnPageChanged) OnPageChanged(*this, form_->View.CurrentPage);
  };
}

TfrPreview::~TfrPreview() {
  if (hookedWindow_) hookedWindow_->removeEventFilter(this);
  // The borrowed widgets belong to the window: hand them back before it goes.
  form_->PreviewPanel()->setParent(form_.get());
  form_->ToolbarStrip()->setParent(form_.get());
}

void TfrPreview::SetScrollBars(TScrollStyle value) {
  scrollBars_ = value;
  form_->SetScrollFurniture(value == ssVertical || value == ssBoth,
                            value == ssHorizontal || value == ssBoth);
}

void TfrPreview::SetShowToolbar(bool value) {
  showToolbar_ = value;
  QWidget* strip = form_->ToolbarStrip();
  if (value) {
    layout_->insertWidget(0, strip);
  } else {
    static_cast<QBoxLayout*>(form_->layout())->insertWidget(0, strip);
  }
  strip->show();
}

void TfrPreview::Connect(TfrReport& report) {
  QWidget* panel = form_->PreviewPanel();
  layout_->addWidget(panel, 1);
  if (showToolbar_) layout_->insertWidget(0, form_->ToolbarStrip());
  panel->show();
  form_->Connect(report);
  form_->ApplyButtons();
  form_->ResetView(true);
  form_->ContextMenu = PopupMenu;
  QWidget* w = window();
  if (w != hookedWindow_) {
    if (hookedWindow_) hookedWindow_->removeEventFilter(this);
    hookedWindow_ = w;
    hookedWindow_->installEventFilter(this);
  }
  form_->WheelFactor = 3;
}

void TfrPreview::Disconnect() {
  form_->Disconnect();
}

int TfrPreview::CurrentPageNumber() const {
  return form_->View.CurrentPage;
}

void TfrPreview::resizeEvent(QResizeEvent* e) {
  QFrame::resizeEvent(e);
  form_->FormResize();
}

void TfrPreview::moveEvent(QMoveEvent* e) {
  QFrame::moveEvent(e);
  form_->FormResize();
}

bool TfrPreview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == hookedWindow_ && event->type() == QEvent::Wheel) {
    form_->BoxWheel(static_cast<QWheelEvent*>(event)->angleDelta().y() / 120);
    return true;
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace quillet
