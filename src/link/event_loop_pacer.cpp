#include "link/event_loop_pacer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <thread>

namespace tarvik {

void EventLoopPacer::LetEventsRun() {
    QCoreApplication::processEvents();
}

void EventLoopPacer::WaitFor(std::chrono::microseconds length) {
    const auto deadline = std::chrono::steady_clock::now() + length;
    const auto whole = std::chrono::duration_cast<std::chrono::milliseconds>(length);
    if (whole.count() > 0) {
        QEventLoop loop;
        QTimer::singleShot(whole, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // Qt's timers count whole milliseconds: the rest of the short pause (half of one) is
    // slept, so the pauses keep their ratio of 1 : 4 : 40.
    std::this_thread::sleep_until(deadline);
}

} // namespace tarvik
