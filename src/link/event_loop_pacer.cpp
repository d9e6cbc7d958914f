#include "link/event_loop_pacer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace tarvik {

void EventLoopPacer::LetEventsRun() {
    QCoreApplication::processEvents();
}

void EventLoopPacer::Wait(Pause pause) {
    // Qt timers count whole milliseconds; the short pause rounds up to 3 ms.
    const int ms = (PauseMicroseconds(pause) + 999) / 1000;
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace tarvik
