#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "config/ax25_codec.h"
#include "config/profile_record.h"
#include "forms/tracker/tracker_form.h"
#include "session/session.h"
#include "support/recording_ui.h"

namespace varnel::test {

// A session on the given chip whose two profiles hold a plain, valid
// tracker setup (so that a check-and-store of the untouched form passes).
inline Session trackerSession(const std::string& chip, std::uint8_t family = kFamilyTracker) {
    Session s;
    selectTarget(s.target, chip);
    s.link.deviceInfo.deviceId = chip;
    s.settings.setFamily(family);
    s.settings.setBuild(0x0102);
    for (int i = 0; i < 2; ++i) {
        ProfileRecord p(s.settings.profile(i), s.target.kind);
        AddressField call{};
        encodeAddress("W1AW", call);
        call[6] |= 0x80;
        std::copy(call.begin(), call.end(), p.sourceAddress());
        p.setSymbolTable('/');
        p.setSymbolCode('>');
        p.setBeaconInterval(600);
        p.setPortASpeed(0x12);
        p.setPortBSpeed(0x14);
        p.setFixedLatitude("0000.00N");
        p.setFixedLongitude("00000.00E");
    }
    return s;
}

// A file in the temporary folder, removed with the test.
struct TempFile {
    std::filesystem::path path;
    explicit TempFile(const std::string& name)
        : path(std::filesystem::temp_directory_path() / ("varnel-forms-" + std::to_string(::getpid()) + "-" + name)) {}
    ~TempFile() { std::filesystem::remove(path); }
    std::string bytes() const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

// A session, its form started on profile 1, and a recording interface.
struct TrackerBench {
    Session session;
    TrackerForm form;
    RecordingUi ui;

    explicit TrackerBench(const std::string& chip, std::uint8_t family = kFamilyTracker, bool metric = true)
        : session(trackerSession(chip, family)) {
        session.metric = metric;
    }
    ProfileRecord profile() { return ProfileRecord(session.profile(), session.target.kind); }
    void start() { startTrackerForm(form, session); }
    void show() { showProfile(session, form); }
    int store() { return checkAndStore(form, session, ui); }
    // The one message of a failed store, or "" when it passed.
    std::string storeMessage() {
        ui.messages.clear();
        const int rc = store();
        if (rc == 0) return ui.messages.empty() ? "" : "passed with a message: " + ui.messages.front();
        return ui.messages.size() == 1 ? ui.messages.front() : "failed without exactly one message";
    }
};

}  // namespace varnel::test
