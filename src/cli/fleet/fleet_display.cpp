#include "cli/fleet/fleet_display.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace varnel::cli {

FleetDisplay::FleetDisplay(const std::vector<std::string>& ports, bool terminal) : terminal_(terminal) {
    for (const std::string& port : ports) lines_.push_back({port, "", "", "waiting", -1});
}

std::string FleetDisplay::text(const Line& line) const {
    char percent[16] = "";
    if (line.percent >= 0) std::snprintf(percent, sizeof percent, " %3d%%", line.percent);
    char out[160];
    std::snprintf(out, sizeof out, "%-16s %-6s %-10s %s%s", line.port.c_str(), line.chip.c_str(), line.callsign.c_str(),
                  line.phase.c_str(), percent);
    return out;
}

void FleetDisplay::redraw() {
    // Back up to the first line, then write every line over its old self.
    if (drawn_) std::fprintf(stderr, "\033[%zuA", lines_.size());
    for (const Line& line : lines_) std::fprintf(stderr, "\r\033[K%s\n", text(line).c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void FleetDisplay::identify(std::size_t unit, const std::string& chip, const std::string& callsign) {
    const std::lock_guard lock(mutex_);
    lines_[unit].chip = chip;
    lines_[unit].callsign = callsign;
    if (terminal_) redraw();
}

void FleetDisplay::phase(std::size_t unit, const std::string& phase) {
    const std::lock_guard lock(mutex_);
    Line& line = lines_[unit];
    line.phase = phase;
    line.percent = -1;
    if (terminal_) {
        redraw();
    } else {
        std::fprintf(stderr, "%s\n", text(line).c_str());
        std::fflush(stderr);
    }
}

void FleetDisplay::percent(std::size_t unit, int percent) {
    const std::lock_guard lock(mutex_);
    lines_[unit].percent = percent;
    if (terminal_) redraw();
}

void FleetDisplay::finish() {
    const std::lock_guard lock(mutex_);
    if (terminal_ && !drawn_) redraw();
}

void UnitProgress::setRange(int low, int high) {
    low_ = low;
    high_ = high;
    setPosition(low);
}

void UnitProgress::setPosition(int position) {
    const int span = high_ - low_;
    const int percent = span > 0 ? std::clamp((position - low_) * 100 / span, 0, 100) : 0;
    if (percent == shown_) return;  // a redraw only when the figure changes
    shown_ = percent;
    display_.percent(unit_, percent);
}

void printFleetTable(const std::vector<UnitRecord>& units) {
    int portWidth = 4;
    for (const UnitRecord& u : units) portWidth = std::max(portWidth, static_cast<int>(u.port.size()));
    std::printf("%-5s %-*s %-6s %-10s %-12s %8s  %s\n", "unit", portWidth, "port", "chip", "callsign", "result",
                "seconds", "backup file");
    for (std::size_t i = 0; i < units.size(); ++i) {
        const UnitRecord& u = units[i];
        const double seconds = std::chrono::duration<double>(u.end - u.start).count();
        const std::string& file = u.output.empty() ? u.backup : u.output;
        std::printf("%-5zu %-*s %-6s %-10s %-12s %8.1f  %s\n", i + 1, portWidth, u.port.c_str(), u.chip.c_str(),
                    u.callsign.c_str(), resultName(u.result), seconds, file.empty() ? "-" : file.c_str());
        // Why a unit did not succeed, under its row.
        if (u.result != UnitResult::Done && !u.messages.empty()) std::printf("      %s\n", u.messages.back().c_str());
    }
    std::fflush(stdout);
}

}  // namespace varnel::cli
