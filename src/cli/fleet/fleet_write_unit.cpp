#include "cli/fleet/fleet_write_unit.h"

#include <fstream>
#include <iterator>

#include "cli/fleet/fleet_display.h"
#include "cli/write_steps.h"
#include "forms/preview/write_preview.h"
#include "forms/tracker/tracker_config_edit.h"
#include "link/device_configuration.h"
#include "link/staged_write.h"
#include "link/tracker_backup.h"
#include "session/config_file.h"

namespace varnel::cli {

namespace {

// Why this file may not go to this tracker: another chip, or settings of
// another firmware family (whose bytes mean something else). "" when it may.
std::string fileRefusal(const std::string& path, const Session& tracker) {
    namespace layout = config_file_layout;
    const std::string chip = configFileChip(path);
    if (!chip.empty() && chip != tracker.link.chipName)
        return "The configuration file is for " + chip + " but the tracker is " + tracker.link.chipName +
               "; nothing was written.";
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const std::size_t at = layout::kSettingsOffset + settings_layout::kFamily;
    if (bytes.size() > at) {
        const auto family = static_cast<std::uint8_t>(bytes[at]);
        if (family != tracker.settings.family())
            return std::string("The configuration file holds settings of another firmware family (") +
                   familyDescription(family) + ") than the tracker's (" + familyDescription(tracker.settings.family()) +
                   "); nothing was written.";
    }
    return {};
}

}  // namespace

std::string sessionCallsign(Session& session, bool metric) {
    for (const auto& [key, value] : configKeyValues(session, 0, metric))
        if (key == "callsign") return value;
    return {};
}

FleetWriteUnit::FleetWriteUnit(const FleetWriteOptions& options, UnitRow row, std::size_t index, FleetDisplay& display,
                               const std::atomic<bool>& stop)
    : options_(options), row_(std::move(row)), index_(index), display_(display), stop_(stop),
      session_(std::make_unique<Session>()) {
    device_.port = row_.port;
    device_.slow = options.slow;
    device_.timeoutSeconds = options.timeoutSeconds;
}

// The connection leaves the bootloader before the sessions it uses go.
FleetWriteUnit::~FleetWriteUnit() { conn_.reset(); }

bool FleetWriteUnit::check(UnitRecord& record) {
    record.port = row_.port;
    display_.phase(index_, "connecting");
    conn_ = std::make_unique<DeviceConnection>(*session_, device_);
    DeviceUi& ui = conn_->ui();
    ui.collectInto(&record.messages);
    ui.stopWhen(&stop_);
    if (!conn_->connect() || !conn_->requireKnownTarget()) return false;
    Session& tracker = *session_;
    record.chip = tracker.link.chipName;
    record.deviceId = tracker.link.deviceInfo.deviceId;
    display_.identify(index_, record.chip, "");
    display_.phase(index_, "reading");
    if (readDeviceConfiguration(conn_->link(), tracker) != 0) return false;
    if (const std::string refusal = fileRefusal(options_.file, tracker); !refusal.empty()) {
        ui.message(refusal);
        return false;
    }

    // What will be written: the file over the tracker's settings (its
    // firmware header kept), as a single write loads it, then the unit's row.
    display_.phase(index_, "checking");
    planned_ = std::make_unique<Session>();
    planned_->target = tracker.target;
    planned_->link.deviceInfo = tracker.link.deviceInfo;
    planned_->link.chipName = tracker.link.chipName;
    planned_->restore(tracker.snapshot());
    if (loadConfigFile(options_.file, *planned_, configFlavourFor(tracker.settings), ui) != 0) return false;
    for (int profile = 0; profile < 2; ++profile) {
        const auto& assignments = profile == 0 ? row_.profile1 : row_.profile2;
        if (assignments.empty()) continue;
        TrackerConfigEdit edit{options_.file + " (row for " + row_.port + ")", profile, options_.metric};
        if (applyConfigAssignments(edit, *planned_, assignments, ui) != 0) return false;
    }
    record.callsign = sessionCallsign(*planned_, options_.metric);
    record.changes = previewLines(previewWrite(tracker, *planned_));
    display_.identify(index_, record.chip, record.callsign);
    display_.phase(index_, "checked");
    return true;
}

void FleetWriteUnit::act(UnitRecord& record) {
    Session& session = *session_;
    BootLink& link = conn_->link();
    DeviceUi& ui = conn_->ui();
    const ConfigFlavour flavour = configFlavourFor(session.settings);
    session.restore(planned_->snapshot());
    packForWrite(session, flavour);
    if (options_.backup) {
        display_.phase(index_, "backing up");
        const BackupResult backup = backupTracker(link, options_.backupFolder);
        if (!backup.ok()) {
            ui.message(backup.error);
            record.result = UnitResult::Failed;
            display_.phase(index_, "failed");
            return;
        }
        record.backup = backup.path;
    }
    display_.phase(index_, "writing");
    UnitProgress progress(display_, index_);
    const WriteResult result = writeImage(link, progress);
    if (result.status == 0) {
        record.result = UnitResult::Done;
        display_.phase(index_, "done");
        return;
    }
    const bool stopped = session.link.linkAbort == LinkState::kAbortRequested;
    record.result = stopped ? UnitResult::Stopped : UnitResult::Failed;
    std::string note = writeFailureNote(link, result);
    if (!record.backup.empty())
        note += " The settings it held before are in " + record.backup +
                "; put them back with: varnelcfg-cli write --port " + row_.port + " " + record.backup;
    ui.message(note);
    display_.phase(index_, stopped ? "stopped" : "failed");
}

}  // namespace varnel::cli
