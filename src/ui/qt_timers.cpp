#include "ui/qt_timers.h"

#include <QEventLoop>
#include <QTimer>

namespace varnel {

QTimer& QtTimers::timer(int id) {
    QTimer*& t = timers_[id];
    if (t == nullptr) {
        t = new QTimer(&owner_);
        QObject::connect(t, &QTimer::timeout, &owner_, [this, id] { ticked_(id); });
    }
    return *t;
}

void QtTimers::start(int id, int intervalMs) { timer(id).start(intervalMs); }

void QtTimers::stop(int id) {
    if (auto it = timers_.find(id); it != timers_.end()) it->second->stop();
}

void QtTimers::pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace varnel
