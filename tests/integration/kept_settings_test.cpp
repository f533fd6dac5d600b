// New firmware with the tracker's own settings kept, the three ways a user
// can ask for it: the desktop program's "Load firmware from file..." answered
// No, the unattended command line and `varnelcfg-cli flash --keep-settings`.
// A file that brings no settings block must leave the tracker readable, with
// the same flash whichever way it went.

#include "cli_harness.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "link/device_configuration.h"
#include "link/staged_write.h"
#include "serial/system_serial_port.h"
#include "link/write_progress.h"
#include "shell/firmware_sequences.h"
#include "shell/unattended_load.h"
#include "support/recording_ui.h"
#include "shell/scripted_front_end.h"

namespace varnel::test {
namespace {

// The scripted front end, with a write window that really writes.
class WritingFrontEnd : public ScriptedFrontEnd {
public:
    int runProgress(const ProgressTask& task) override {
        ScriptedFrontEnd::runProgress(task);
        NoWriteProgress bar;
        return task.run(bar);
    }
};

struct Desktop {
    Session session;
    RecordingUi ui;
    WritingFrontEnd front;
    AppContext context{session, ui, front, front, front, front, "", "", ""};
    explicit Desktop(const fs::path& backups) {
        session.port = makeSystemSerialPort();
        context.backupFolder = backups.string();
    }
};

class KeptSettings : public CliTest {};

TEST_F(KeptSettings, AFileWithoutSettingsKeepsTheTrackersHeaderAllThreeWays) {
    Bytes after[3];
    Bytes trackerHeader;
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        EmulatorHarness emu("AP64");
        const DeviceTarget t = [] {
            DeviceTarget d;
            selectTarget(d, "AP64");
            return d;
        }();
        trackerHeader = emu.readFlash(t.settingsAddress, 4);
        const fs::path s19 = writeS19({{codeAddress(emu), Bytes(64, 0x9D)}, resetVector(emu)});
        if (way == 0) {
            const Result r = cli("flash --no-backup --keep-settings --port " + emu.slavePath() + " " + s19.string());
            ASSERT_EQ(r.status, 0) << r.err;
        } else if (way == 1) {
            Desktop d(dir / "backups1");
            EXPECT_EQ(runUnattendedLoad(d.context, "1 1 " + s19.string(), emu.slavePath()), 0) << d.ui.messages.size();
        } else {
            // Connected and read, as the dialog loop leaves it; then the
            // tracker window's load answered No.
            Desktop d(dir / "backups2");
            BootLink link(d.session, d.ui);
            d.session.link.linkAbort = LinkState::kAbortRunning;
            ASSERT_EQ(Connector(link).connect(emu.slavePath(), true), ConnectResult::Connected);
            d.session.link.linkAbort = LinkState::kAbortIdle;
            ASSERT_EQ(readDeviceConfiguration(link, d.session), 0);
            d.front.fileAnswers = {s19.string()};
            d.ui.answers = {false};
            EXPECT_EQ(loadFirmwareFromFile(d.context, ConfigFlavour::Tracker, [] { return 0; }), kResultReconnect);
            EXPECT_EQ(d.front.opened, std::vector<std::string>{"Progress"});
            link.leaveBootloader();
            d.session.port->closePort();
        }
        after[way] = emu.flash();
        EXPECT_EQ(emu.readFlash(t.settingsAddress, 4), trackerHeader);
        EXPECT_EQ(emu.readFlash(codeAddress(emu), 64), Bytes(64, 0x9D));
    }
    EXPECT_EQ(trackerHeader, (Bytes{0x00, 0x01, 0x01, 0x9C}));  // the emulated AP64's own
    EXPECT_EQ(firstDifference(after[1], after[0]), -1);
    EXPECT_EQ(firstDifference(after[2], after[0]), -1);
}

}  // namespace
}  // namespace varnel::test
