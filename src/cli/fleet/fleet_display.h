#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "cli/fleet/unit_record.h"
#include "link/write_progress.h"

namespace varnel::cli {

// The run as it goes, on standard error. On a terminal one line per unit,
// redrawn in place: port, chip, callsign, phase, percent. Otherwise a plain
// line whenever a unit enters another phase. Units report from their own
// threads; the lines are drawn under one lock, so they never interleave.
class FleetDisplay {
public:
    FleetDisplay(const std::vector<std::string>& ports, bool terminal);
    void identify(std::size_t unit, const std::string& chip, const std::string& callsign);
    void phase(std::size_t unit, const std::string& phase);
    void percent(std::size_t unit, int percent);
    // Leaves the cursor below the lines.
    void finish();

private:
    struct Line {
        std::string port, chip, callsign, phase;
        int percent = -1;
    };
    std::string text(const Line& line) const;
    void redraw();  // with the lock held

    std::mutex mutex_;
    std::vector<Line> lines_;
    bool terminal_;
    bool drawn_ = false;
};

// A unit's write progress as its percent on the display.
class UnitProgress : public WriteProgress {
public:
    UnitProgress(FleetDisplay& display, std::size_t unit) : display_(display), unit_(unit) {}
    void setRange(int low, int high) override;
    void setPosition(int position) override;
    void setStatus(const std::string&) override {}

private:
    FleetDisplay& display_;
    std::size_t unit_;
    int low_ = 0, high_ = 100, shown_ = -1;
};

// The table at the end, on standard output: unit, chip, callsign, result,
// seconds, backup file (or the file a read saved).
void printFleetTable(const std::vector<UnitRecord>& units);

}  // namespace varnel::cli
