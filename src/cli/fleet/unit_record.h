#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace varnel::cli {

// How one unit of a fleet run ended.
enum class UnitResult {
    Pending,     // not finished (never shown once the run is over)
    Refused,     // failed the check before anything was written
    NotWritten,  // passed the check, but another unit did not
    Done,        // written (or read) and verified
    Failed,      // the write or read failed
    Stopped,     // stopped by Ctrl-C between two blocks
};

inline const char* resultName(UnitResult r) {
    switch (r) {
    case UnitResult::Pending: return "pending";
    case UnitResult::Refused: return "refused";
    case UnitResult::NotWritten: return "not written";
    case UnitResult::Done: return "ok";
    case UnitResult::Failed: return "failed";
    case UnitResult::Stopped: return "stopped";
    }
    return "?";
}

// What a fleet run keeps of one unit: its line, its row of the table and
// its record in the log. Each unit's thread fills its own record only.
struct UnitRecord {
    std::string port;
    std::string chip;
    std::string deviceId;
    std::string callsign;              // the one written (or read)
    std::vector<std::string> changes;  // the write's preview lines
    std::string backup;                // the backup's path, when one was made
    std::string output;                // a read's configuration file
    UnitResult result = UnitResult::Pending;
    std::vector<std::string> messages;  // everything the unit's link and checks said
    std::chrono::system_clock::time_point start{}, end{};
};

}  // namespace varnel::cli
