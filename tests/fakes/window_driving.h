#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <functional>

namespace gestalon::testing {

// Sends mouse events straight to one widget, as the platform would: points are in the widget's
// coordinates, shifted by `origin` (a scroll position) when one is given.
class MouseOn {
 public:
  explicit MouseOn(QWidget* target, std::function<QPoint()> origin = {})
      : target_(target), origin_(std::move(origin)) {}

  void Send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
            Qt::KeyboardModifiers modifiers = {}) {
    const QPoint local = origin_ ? p - origin_() : p;
    QMouseEvent event(type, QPointF(local), QPointF(target_->mapToGlobal(local)), button, buttons,
                      modifiers);
    QApplication::sendEvent(target_, &event);
  }
  void Press(QPoint p, Qt::KeyboardModifiers modifiers = {},
             Qt::MouseButton button = Qt::LeftButton) {
    Send(QEvent::MouseButtonPress, p, button, button, modifiers);
  }
  void Move(QPoint p, Qt::KeyboardModifiers modifiers = {}) {
    Send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, modifiers);
  }
  void Release(QPoint p, Qt::KeyboardModifiers modifiers = {},
               Qt::MouseButton button = Qt::LeftButton) {
    Send(QEvent::MouseButtonRelease, p, button, Qt::NoButton, modifiers);
  }
  void Click(QPoint p, Qt::KeyboardModifiers modifiers = {}) {
    Press(p, modifiers);
    Release(p, modifiers);
  }
  void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {}) {
    Press(from, modifiers);
    Move(to, modifiers);
    Release(to, modifiers);
  }
  // A double click arrives as a press and release, then the double click and a release.
  void DoubleClick(QPoint p) {
    Click(p);
    Send(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    Release(p);
  }

 private:
  QWidget* target_;
  std::function<QPoint()> origin_;
};

}  // namespace gestalon::testing
