#pragma once
// Lets the event loop run the posted events a form depends on (player notifications, refresh
// messages) until things settle; sends mouse events to a widget as a user's hand would.
#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace kinepo::test {

inline void TraiterEvenements(int tours = 40) {
    for (int i = 0; i < tours; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// A mouse event at pos (widget pixels): a press or release of the left button, or a move, with
// `boutons` held after it.
inline void Souris(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons boutons,
                   Qt::KeyboardModifiers mod = Qt::NoModifier) {
    const Qt::MouseButton bouton = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), bouton, boutons, mod);
    QApplication::sendEvent(w, &e);
}

} // namespace kinepo::test
