#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "cli/device_connection.h"
#include "cli/fleet/fleet_runner.h"
#include "cli/fleet/units_file.h"

namespace varnel::cli {

class FleetDisplay;

// What every unit of a `fleet write` shares.
struct FleetWriteOptions {
    std::string file;  // the configuration every unit gets
    bool slow = false;
    int timeoutSeconds = 60;
    bool metric = true;
    bool backup = true;
    std::string backupFolder;
};

// One unit of `fleet write`: the normal write of the shared file with the
// unit's own row on top. The check connects, reads the tracker, refuses
// another chip or firmware family, applies the row as `set` would and keeps
// the preview; the act backs up, writes and verifies.
class FleetWriteUnit : public UnitJob {
public:
    FleetWriteUnit(const FleetWriteOptions& options, UnitRow row, std::size_t index, FleetDisplay& display,
                   const std::atomic<bool>& stop);
    ~FleetWriteUnit() override;
    bool check(UnitRecord& record) override;
    void act(UnitRecord& record) override;

private:
    const FleetWriteOptions& options_;
    UnitRow row_;
    std::size_t index_;
    FleetDisplay& display_;
    const std::atomic<bool>& stop_;
    DeviceOptions device_;
    std::unique_ptr<Session> session_;  // the tracker as read, then as written
    std::unique_ptr<Session> planned_;  // what will be written
    std::unique_ptr<DeviceConnection> conn_;
};

// The callsign a session's profile 1 holds, as show prints it.
std::string sessionCallsign(Session& session, bool metric);

}  // namespace varnel::cli
