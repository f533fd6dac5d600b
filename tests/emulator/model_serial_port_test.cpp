#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/device_target.h"
#include "core/user_interface.h"
#include "emulator/default_settings.h"
#include "emulator/model_serial_port.h"
#include "link/boot_link.h"
#include "link/confirmed_reads.h"
#include "link/connector.h"
#include "link/device_configuration.h"
#include "link/staged_write.h"
#include "link/write_progress.h"
#include "session/session.h"

namespace varnel {
namespace {

class QuietUi : public UserInterface {
public:
    std::vector<std::string> said;
    void message(const std::string& text, MessageKind) override { said.push_back(text); }
    bool askYesNo(const std::string&) override { return false; }
};

// The host's link on the model through the virtual port, as the fuzz target
// and in-process tests run it.
struct VirtualLine {
    explicit VirtualLine(const std::string& chip) : model(*findEmulatedChip(chip)), port(model) {
        writeDefaultSettings(model.flash(), model.chip());
        boot.setClock(port);
    }
    ConnectResult connect() {
        session->link.linkAbort = LinkState::kAbortRunning;
        const ConnectResult r = Connector(boot).connect("virtual", true);
        session->link.linkAbort = LinkState::kAbortIdle;
        selectTarget(session->target, session->link.chipName);
        return r;
    }
    bool flashHolds(std::uint32_t start, std::uint32_t size) const {
        for (std::uint32_t a = start; a < start + size; ++a)
            if (model.flash().read(a) != session->image.bytes[a]) return false;
        return true;
    }

    DeviceModel model;
    ModelSerialPort port;
    std::unique_ptr<Session> session = std::make_unique<Session>();
    QuietUi ui;
    BootLink boot{port, session->link, session->target, session->image, ui};
};

TEST(ModelSerialPort, CarriesTheLinkOnEveryChipInVirtualTime) {
    for (const auto& entry : kTargetTable) {
        const std::string chip(entry.chipName);
        SCOPED_TRACE(chip);
        VirtualLine line(chip);
        const auto started = std::chrono::steady_clock::now();
        ASSERT_EQ(line.connect(), ConnectResult::Connected);
        EXPECT_EQ(line.session->link.deviceInfo.deviceId, line.model.deviceInfo().deviceId);
        const DeviceTarget& t = line.session->target;
        ASSERT_EQ(readDeviceConfiguration(line.boot, *line.session), 0);
        EXPECT_TRUE(line.flashHolds(t.settingsAddress, t.settingsSize));

        // A firmware start (JM128: through its staging area) and the settings.
        FlashImage& image = line.session->image;
        image.reset();
        const std::uint32_t from = t.kind == KindJM128 ? 0 : line.session->link.deviceInfo.validStart;
        for (std::uint32_t a = from; a < from + 0x200; ++a) {
            image.bytes[a] = static_cast<std::uint8_t>(a * 7);
            image.touched[a] = kTouchedData;
        }
        NoWriteProgress progress;
        ASSERT_EQ(writeImage(line.boot, progress).status, 0);
        EXPECT_TRUE(line.flashHolds(from, 0x200));
        EXPECT_TRUE(line.ui.said.empty());
        // The reset, the announce wait and the staged load take seconds of
        // virtual time and next to none of the machine's.
        EXPECT_GT(line.port.nowMs(), 100);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    }
}

TEST(ModelSerialPort, LineFaultsHitTheBytesTheyAimAtAndTheLinkReadsAgain) {
    struct Case {
        ModelSerialPort::FaultKind kind;
        std::uint8_t value;
    };
    // A flipped, doubled or inserted byte, and a gap longer than the 100 ms
    // between two bytes (which ends a read short), each once in a reply: the
    // fault fires, and the link's second read of the chunk disagrees with the
    // first, so it reads again until two agree.
    const Case cases[] = {
        {ModelSerialPort::FaultKind::Flip, 0x10},
        {ModelSerialPort::FaultKind::Duplicate, 0},
        {ModelSerialPort::FaultKind::Insert, 0x00},
        {ModelSerialPort::FaultKind::Delay, 150},
        {ModelSerialPort::FaultKind::Delay, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind) * 1000 + c.value);
        VirtualLine line("AP64");
        ASSERT_EQ(line.connect(), ConnectResult::Connected);
        const std::uint64_t sent = line.port.bytesSent(ModelSerialPort::Way::ToHost);
        line.port.addFault({ModelSerialPort::Way::ToHost, sent + 5, c.kind, c.value});
        std::uint8_t got[128] = {};
        const std::uint32_t at = line.session->target.settingsAddress;
        ASSERT_EQ(readConfirmedInto(line.boot, at, at + 128, got), 0);
        EXPECT_GE(line.port.faultsFired(), 1u);
        for (std::uint32_t i = 0; i < 128; ++i) ASSERT_EQ(got[i], line.model.flash().read(at + i)) << i;
    }
}

}  // namespace
}  // namespace varnel
