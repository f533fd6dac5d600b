#pragma once

#include <functional>
#include <map>

class QObject;
class QTimer;

namespace varnel {

// The timers a shell window behaviour starts and stops by id, as QTimers
// owned by its dialog; each tick goes to `ticked` with the id.
class QtTimers {
public:
    QtTimers(QObject& owner, std::function<void(int)> ticked) : owner_(owner), ticked_(std::move(ticked)) {}

    void start(int id, int intervalMs);
    void stop(int id);
    QTimer& timer(int id);

    // Runs the event loop for about ms.
    static void pause(int ms);

private:
    QObject& owner_;
    std::function<void(int)> ticked_;
    std::map<int, QTimer*> timers_;
};

}  // namespace varnel
