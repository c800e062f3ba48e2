#pragma once
// Lets the event loop run the posted events a form depends on (player notifications, refresh
// messages) until things settle.
#include <QCoreApplication>

namespace kinepo::test {

inline void TraiterEvenements(int tours = 40) {
    for (int i = 0; i < tours; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

} // namespace kinepo::test
