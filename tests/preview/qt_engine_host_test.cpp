// The Qt engine host: boxes carry the engine's texts, answers come back,
// progress runs through the one progress window.
#include "preview/qt_engine_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "preview/progress_form.h"
#include "report/base/engine_state.h"

namespace quillet {
namespace {

// Runs `act` on the modal box once it is up.
void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* w = QApplication::activeModalWidget();
    ASSERT_NE(w, nullptr);
    act(w);
  });
}

struct BoxSeen {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

TEST(QtEngineHost, MessageBoxCarriesCaptionIconAndAnswer) {
  QtEngineHost host;
  BoxSeen seen;
  WhenModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    box->button(QMessageBox::No)->click();
  });
  MessageResult r =
      host.ShowMessage("Café closed", "Error", MessageIcon::Error, MessageButtons::YesNoCancel);
  EXPECT_EQ(r, MessageResult::No);
  EXPECT_EQ(seen.title, "Error");
  EXPECT_EQ(seen.text, QString::fromUtf8("Café closed"));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

TEST(QtEngineHost, MessageBoxClosedByEscapeGivesTheHarmlessAnswer) {
  QtEngineHost host;
  WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_EQ(host.ShowMessage("Go on?", "Confirm", MessageIcon::Question, MessageButtons::YesNo),
            MessageResult::No);
}

TEST(QtEngineHost, InputBoxReturnsTheEnteredBytes) {
  QtEngineHost host;
  QString title, label, initial;
  WhenModal([&](QWidget* w) {
    auto* d = qobject_cast<QInputDialog*>(w);
    ASSERT_NE(d, nullptr);
    title = d->windowTitle();
    label = d->labelText();
    initial = d->textValue();
    d->setTextValue(QString::fromUtf8("Zoë"));
    d->accept();
  });
  std::string value = "André";
  EXPECT_TRUE(host.InputBox("Name", "Your name:", value));
  EXPECT_EQ(title, "Name");
  EXPECT_EQ(label, "Your name:");
  EXPECT_EQ(initial, QString::fromUtf8("André"));
  EXPECT_EQ(value, "Zoë");
}

TEST(QtEngineHost, CancelledInputBoxKeepsTheValue) {
  QtEngineHost host;
  WhenModal([](QWidget* w) {
    static_cast<QInputDialog*>(w)->setTextValue("changed");
    static_cast<QDialog*>(w)->reject();
  });
  std::string value = "default";
  EXPECT_FALSE(host.InputBox("Name", "Your name:", value));
  EXPECT_EQ(value, "default");
}

TEST(QtEngineHost, ProgressRunsThroughTheProgressWindow) {
  QtEngineHost host;
  Engine().SetHost(&host);
  bool inWindow = false;
  int result = Engine().Host().RunWithProgress("Preparing report", [&](ProgressControl& c) {
    inWindow = &c == static_cast<ProgressControl*>(&TfrProgressForm::Instance()) &&
               TfrProgressForm::Instance().isVisible();
    c.SetModalResult(1);
  });
  Engine().SetHost(nullptr);
  EXPECT_TRUE(inWindow);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(TfrProgressForm::Instance().Caption(), "Preparing report");
}

}  // namespace
}  // namespace quillet
