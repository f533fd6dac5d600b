#include "cli/fleet/fleet_runner.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace varnel::cli {

namespace {

// Holds every unit until all have been checked, then says whether the
// units that passed go on.
class CheckGate {
public:
    CheckGate(std::size_t units, bool each) : waiting_(units), each_(each) {}

    bool arrive(bool passed, const std::atomic<bool>& stop) {
        std::unique_lock lock(mutex_);
        allPassed_ = allPassed_ && passed;
        if (--waiting_ == 0) {
            go_ = (allPassed_ || each_) && !stop.load();
            decided_.notify_all();
        } else {
            decided_.wait(lock, [this] { return waiting_ == 0; });
        }
        return go_;
    }

private:
    std::mutex mutex_;
    std::condition_variable decided_;
    std::size_t waiting_;
    bool each_;
    bool allPassed_ = true;
    bool go_ = false;
};

}  // namespace

void runFleet(std::vector<std::unique_ptr<UnitJob>>& jobs, std::vector<UnitRecord>& records, bool each,
              const std::atomic<bool>& stop) {
    CheckGate gate(jobs.size(), each);
    std::vector<std::thread> threads;
    threads.reserve(jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        threads.emplace_back([&, i] {
            UnitJob& job = *jobs[i];
            UnitRecord& record = records[i];
            record.start = std::chrono::system_clock::now();
            const bool passed = job.check(record);
            const bool go = gate.arrive(passed, stop);
            if (!passed) {
                record.result = UnitResult::Refused;
            } else if (go) {
                job.act(record);
            } else {
                record.result = stop.load() ? UnitResult::Stopped : UnitResult::NotWritten;
                if (stop.load()) record.messages.emplace_back("Stopped as asked before anything was written.");
                else record.messages.emplace_back("Not written: another unit failed its check.");
            }
            record.end = std::chrono::system_clock::now();
        });
    }
    for (std::thread& t : threads) t.join();
}

}  // namespace varnel::cli
