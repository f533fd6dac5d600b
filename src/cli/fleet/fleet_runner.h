#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "cli/fleet/unit_record.h"

namespace varnel::cli {

// What a fleet run does with one unit, on that unit's own thread: check it
// (connect, identify, everything that decides whether it may be written),
// then, when the run goes ahead, act on it. Each job owns its unit's
// session, port, link and messages.
class UnitJob {
public:
    virtual ~UnitJob() = default;
    // True when the unit may go ahead; false with the reason in its messages.
    virtual bool check(UnitRecord& record) = 0;
    // Sets the record's result.
    virtual void act(UnitRecord& record) = 0;
};

// Runs every job at once, one thread each. No job acts until every job
// has been checked; then, if all passed (or `each` is set), those that
// passed act. A stop asked for before then acts on none. Each record gets
// its times and, for units that did not act, why.
void runFleet(std::vector<std::unique_ptr<UnitJob>>& jobs, std::vector<UnitRecord>& records, bool each,
              const std::atomic<bool>& stop);

}  // namespace varnel::cli
