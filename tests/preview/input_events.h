// Mouse and key input delivered straight to a widget, as the window system
// would deliver it (the test programs do not link QtTest).
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace quillet::test {

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
                                    ? Qt::MouseButtons()
                                    : Qt::MouseButtons(button);
  QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)),
                type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

// A move with the left button held (a drag after a press).
inline void SendDrag(QWidget* w, QPoint pos) {
  QMouseEvent e(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

inline void Press(QWidget* w, QPoint pos) {
  SendMouse(w, QEvent::MouseButtonPress, pos);
}
inline void Release(QWidget* w, QPoint pos) {
  SendMouse(w, QEvent::MouseButtonRelease, pos);
}
inline void Click(QWidget* w, QPoint pos) {
  Press(w, pos);
  Release(w, pos);
}
inline void Click(QWidget* w) {
  Click(w, w->rect().center());
}

inline void Enter(QWidget* w) {
  QEnterEvent e(QPointF(w->rect().center()), QPointF(w->mapToGlobal(w->rect().center())),
                QPointF(w->mapToGlobal(w->rect().center())));
  QApplication::sendEvent(w, &e);
}
inline void Leave(QWidget* w) {
  QEvent e(QEvent::Leave);
  QApplication::sendEvent(w, &e);
}

inline void KeyClick(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

}  // namespace quillet::test
