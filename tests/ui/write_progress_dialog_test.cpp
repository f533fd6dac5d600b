#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QPushButton>

#include "config/settings_packing.h"
#include "serial/serial_port.h"
#include "emulator/emulator_runner.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "link/staged_write.h"
#include "serial/system_serial_port.h"
#include "ui/write_progress_dialog.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

// The dialog, with every status it showed kept in order.
class RecordingProgressDialog : public CWriteProgressDialog {
public:
    explicit RecordingProgressDialog(std::function<int(WriteProgress&)> write)
        : CWriteProgressDialog({std::move(write), {}}) {}
    std::vector<std::string> statuses;
    bool visibleAtFirstStatus = false;
    bool busyAtFirstStatus = false;
    void showStatus(const std::string& text) override {
        if (statuses.empty()) {
            visibleAtFirstStatus = isVisible();
            busyAtFirstStatus =
                QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        }
        statuses.push_back(text);
        CWriteProgressDialog::showStatus(text);
    }
};

class WriteProgressTest : public ::testing::Test {
protected:
    void connectTo(const std::string& chip) {
        EmulatorOptions options;
        options.chip = chip;
        emu = std::make_unique<EmulatorRunner>(options);
        emu->start();
        f.session.port = makeSystemSerialPort();
        BootLink link(f.session, f.ui);
        f.session.link.linkAbort = LinkState::kAbortRunning;
        ASSERT_EQ(Connector(link).connect(emu->slavePath(), true), ConnectResult::Connected);
        f.session.link.linkAbort = LinkState::kAbortIdle;
        selectTarget(f.session.target, f.session.link.chipName);
        emu->clearLog();
    }
    void TearDown() override {
        if (f.session.port) f.session.port->closePort();
    }
    int commands(char c) {
        int n = 0;
        for (const auto& e : emu->commandLog()) n += e.command == static_cast<std::uint8_t>(c);
        return n;
    }
    test::UiFixture f;
    std::unique_ptr<EmulatorRunner> emu;
};

TEST_F(WriteProgressTest, SettingsWriteGoesInOnePassAndEndsOneStepShort) {
    connectTo("AP64");
    Session& s = f.session;
    s.settings.profile(0)[20] = 0x5A;
    s.image.reset();
    packSettings(s.image, s.target, {s.settings, s.radio, s.script});

    BootLink link(s, f.ui);
    RecordingProgressDialog dialog([&](WriteProgress& p) { return writeImage(link, p).status; });
    EXPECT_FALSE(dialog.okEnabled());
    dialog.start();
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(dialog.visibleAtFirstStatus);
    EXPECT_TRUE(dialog.busyAtFirstStatus);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(dialog.statuses, (std::vector<std::string>{"Stand by, writing data...", "Finished!"}));
    EXPECT_EQ(dialog.statusText(), "Finished!");
    EXPECT_EQ(dialog.progressValue(), dialog.progressMaximum() - 1);
    EXPECT_TRUE(dialog.okEnabled());
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(emu->readFlash(s.target.settingsAddress + 5 + 20, 1)[0], 0x5A);
    EXPECT_EQ(commands('U'), 0);
}

TEST_F(WriteProgressTest, Jm128FirmwareLoadRunsTheThreeStages) {
    connectTo("JM128");
    Session& s = f.session;
    s.image.reset();
    for (std::uint32_t a = 0; a < 0x20; ++a) {
        s.image.bytes[a] = static_cast<std::uint8_t>(a);
        s.image.touched[a] = kTouchedData;
    }
    s.image.bytes[0x18000] = 0x99;
    s.image.touched[0x18000] = kTouchedData;

    BootLink link(s, f.ui);
    RecordingProgressDialog dialog([&](WriteProgress& p) { return writeImage(link, p).status; });
    dialog.start();
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(dialog.statuses,
              (std::vector<std::string>{"Stand by, writing data...", "Loading firmware, stage 1 of 3...",
                                        "Loading firmware, stage 2 of 3...", "Loading firmware, stage 3 of 3...",
                                        "Finished!"}));
    EXPECT_EQ(dialog.progressValue(), dialog.progressMaximum() - 1);
    EXPECT_TRUE(dialog.okEnabled());
    EXPECT_EQ(commands('U'), 1);
    EXPECT_EQ(emu->readFlash(0x1F, 1)[0], 0x1F);
    EXPECT_EQ(emu->readFlash(0x18000, 1)[0], 0x99);
    EXPECT_TRUE(f.ui.messages.empty()) << f.ui.messages.front();
}

// "Finished!" after a failure would read as success.
TEST_F(WriteProgressTest, AFailedWriteIsFollowedByTheWriteFailedMessageAndEndsFailed) {
    connectTo("AP64");
    Session& s = f.session;
    s.image.reset();
    packSettings(s.image, s.target, {s.settings, s.radio, s.script});
    emu->setNakEraseAt(s.target.settingsAddress);

    BootLink link(s, f.ui);
    RecordingProgressDialog dialog([&](WriteProgress& p) { return writeImage(link, p).status; });
    dialog.start();
    EXPECT_EQ(dialog.result(), -1);
    ASSERT_EQ(f.ui.messages.size(), 2u);
    EXPECT_EQ(f.ui.messages[0].rfind("Unable to erase block at 0x", 0), 0u) << f.ui.messages[0];
    EXPECT_EQ(f.ui.messages[1], "Configuration write failed");
    EXPECT_EQ(dialog.statusText(), "Write failed!");
    EXPECT_TRUE(dialog.okEnabled());
}

}  // namespace
}  // namespace varnel
