// ModelPort: the page's "Emulated tracker", a serial port whose far end is a
// device model in the same process. It must keep the system ports' time-out
// table and carry the real link to every chip.
#include "emulator/model_port.h"

#include <gtest/gtest.h>

#include <chrono>

#include "emulator/default_settings.h"
#include "emulator/emulated_chip.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "link/device_configuration.h"
#include "session/session.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

using test::RecordingUi;

TEST(ModelPort, SilentDeviceTimesOutAfterTheReadTotal) {
    DeviceModel model(*findEmulatedChip("AP64"));
    model.faults().silent = true;
    ModelPort port([&](const std::string& name) { return name == "emulated:AP64" ? &model : nullptr; });
    RecordingUi ui;
    ASSERT_EQ(port.openPort("emulated:AP64", "9600", ui), 1);
    std::uint8_t buffer[10] = {};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.readBytes(buffer, 10), 0);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GE(ms.count(), 520);  // 500 + 2 * 10
    EXPECT_LT(ms.count(), 1000);
    // A name that is no emulated tracker does not open, and says so.
    EXPECT_EQ(port.openPort("emulated:NONE", "9600", ui), -1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Can't open serial port");
}

TEST(ModelPort, TheLinkConnectsAndReadsEveryChip) {
    std::size_t count = 0;
    const EmulatedChip* chips = emulatedChips(count);
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(std::string(chips[i].chipName));
        DeviceModel model(chips[i]);
        writeDefaultSettings(model.flash(), chips[i]);
        Session session;
        session.port = std::make_unique<ModelPort>([&](const std::string&) { return &model; });
        RecordingUi ui;
        BootLink link(session, ui);
        session.link.linkAbort = LinkState::kAbortRunning;
        ASSERT_EQ(Connector(link).connect("emulated", true), ConnectResult::Connected);
        EXPECT_EQ(session.link.chipName, chips[i].chipName);
        EXPECT_EQ(readDeviceConfiguration(link, session), 0);
        EXPECT_EQ(session.settings.family(), 0);
        EXPECT_TRUE(ui.messages.empty());
    }
}

}  // namespace
}  // namespace varnel
