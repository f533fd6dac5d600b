#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/device_target.h"
#include "link/boot_link.h"
#include "link/confirmed_reads.h"
#include "link/connector.h"
#include "link/fake_bootloader.h"
#include "link/link_messages.h"
#include "link/range_writer.h"
#include "link/write_progress.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

using test::FakeBootloader;

long countOf(const std::string& s, char c) { return std::count(s.begin(), s.end(), c); }

// Stands in for the connect dialog's Cancel button: after a number of pumps
// the user gives up.
class CancellingUi : public test::RecordingUi {
public:
    LinkState* link = nullptr;
    int cancelAfter = 1 << 30;
    void pump() override {
        RecordingUi::pump();
        if (pumps >= cancelAfter) link->linkAbort = LinkState::kAbortRequested;
    }
};

class BootLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        boot.setClock(clock);
        device.attach(port);
        ui.link = &link;
        link.linkAbort = LinkState::kAbortRunning;
    }
    // A link already in the bootloader, as after connect.
    void enterBootloader(const char* chip) {
        selectTarget(target, chip);
        device.inBootloader = true;
        device.acked = true;
        device.scaled = target.kind == KindJM128;
        port.openPort("fake", "19200", ui);
        ASSERT_EQ(boot.identify(), IdentifyResult::Identified);  // the record a connect keeps
        device.log.clear();
    }
    void touch(std::uint32_t from, std::uint32_t to) {
        for (std::uint32_t a = from; a < to; ++a) {
            image.bytes[a] = static_cast<std::uint8_t>(a * 7 + 3);
            image.touched[a] = kTouchedData;
        }
    }
    std::vector<std::string> openSpeeds() const {
        std::vector<std::string> s;
        for (const auto& o : port.opens) s.push_back(o.speed);
        return s;
    }

    test::FakeClock clock;
    test::FakeSerialPort port{clock};
    FakeBootloader device;
    LinkState link;
    DeviceTarget target;
    FlashImage image;
    CancellingUi ui;
    BootLink boot{port, link, target, image, ui};
    Connector connector{boot};
    NoWriteProgress quiet;
};

TEST_F(BootLinkTest, ConnectAnsweredInTheFirstWindowSendsOneResetAt4800) {
    ASSERT_EQ(connector.connect("/dev/ttyUSB0", true), ConnectResult::Connected);
    EXPECT_EQ(device.resetSpeeds, std::vector<std::string>{"4800"});
    EXPECT_EQ(openSpeeds(), (std::vector<std::string>{"4800", "19200"}));
    EXPECT_TRUE(link.connected);
    EXPECT_EQ(link.chipName, "AP64");
    EXPECT_EQ(link.bootloaderVersion, 0x17);
    const DeviceInfo& info = link.deviceInfo;
    EXPECT_EQ(info.validStart, 0x1000);
    EXPECT_EQ(info.validEnd, 0xF400);
    EXPECT_EQ(info.redirectBase, 0xFFC0);
    EXPECT_EQ(info.eraseBlockSize, 512);
    EXPECT_EQ(info.writeBlockSize, 64);
    EXPECT_EQ(info.redirectPrologue[0], 1);
    EXPECT_EQ(info.redirectPrologue[7], 8);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BootLinkTest, ResetRequestCyclesTheProbeSpeedsUntilTheFirmwareHearsIt) {
    device.firmwareSpeed = "57600";
    ASSERT_EQ(connector.connect("p", false), ConnectResult::Connected);
    EXPECT_EQ(device.resetSpeeds, (std::vector<std::string>{"4800", "4800", "9600", "19200", "38400", "57600"}));
    // Every reset is followed by a reopening at the bootloader's speed.
    const auto speeds = openSpeeds();
    for (std::size_t i = 1; i < speeds.size(); i += 2) EXPECT_EQ(speeds[i], "19200") << i;
    // The reset request goes out in full each time.
    const std::string wire(port.written.begin(), port.written.begin() + 19);
    EXPECT_EQ(wire, std::string("\r$~R$~R/*reset*/\xC0\xFE\xC0", 19));
}

TEST_F(BootLinkTest, SilentDeviceCyclesUntilCancelledAndEndsWithoutAMessage) {
    device.silent = true;
    ui.cancelAfter = 12;
    EXPECT_EQ(connector.connect("p", true), ConnectResult::Aborted);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(link.connected);
    const std::vector<std::string> expected{"4800",   "4800", "9600", "19200", "38400", "57600",
                                            "115200", "1200", "2400", "4800",  "9600",  "19200"};
    ASSERT_GE(device.resetSpeeds.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), device.resetSpeeds.begin()));
}

TEST_F(BootLinkTest, BytesOtherThanTheAnnounceAreIgnored) {
    device.noiseBeforeAnnounce = {0x55, 0x00, 0x13, 0xFD};
    ASSERT_EQ(connector.connect("p", true), ConnectResult::Connected);
    EXPECT_EQ(device.resetSpeeds.size(), 1u);
    EXPECT_EQ(link.chipName, "AP64");
}

TEST_F(BootLinkTest, RepeatedAnnouncesAreAnsweredWithAckAndIdentifyAgain) {
    device.announceRepeats = 3;
    ASSERT_EQ(connector.connect("p", true), ConnectResult::Connected);
    EXPECT_EQ(countOf(device.codes(), 'I'), 4 + 1);  // and once more to confirm the record
    // The announce is answered 0xFC, then 'I' is sent; each repeat is
    // answered 0xFC 'I' again.
    int pairs = 0;
    for (std::size_t i = 0; i + 1 < port.writes.size(); ++i)
        if (port.writes[i] == std::vector<std::uint8_t>{0xFC} && port.writes[i + 1] == std::vector<std::uint8_t>{'I'})
            ++pairs;
    EXPECT_EQ(pairs, 1 + 3);
}

// A stray announce ahead of the record looks like a repeat: the second 'I'
// brings a second record, which is read and dropped at once. After real
// repeats no second record comes, and one quiet read ends the wait.
TEST_F(BootLinkTest, RecordsAnsweringExtraIdentifyRequestsAreDroppedBeforeTheNextCommand) {
    const auto connectTime = [&](int lateAnnounces, int repeats) {
        link = LinkState{};
        link.linkAbort = LinkState::kAbortRunning;
        device.inBootloader = false;
        device.lateAnnounces = lateAnnounces;
        device.announceRepeats = repeats;
        const std::int64_t start = clock.now;
        EXPECT_EQ(connector.connect("p", false), ConnectResult::Connected);
        EXPECT_EQ(link.deviceInfo.deviceId, "AP64");
        EXPECT_TRUE(port.input.empty());
        return clock.now - start;
    };
    const std::int64_t plain = connectTime(0, 0);
    EXPECT_EQ(connectTime(1, 0), plain);
    EXPECT_EQ(countOf(device.codes(), 'I'), (1 + 1) + (2 + 1));  // each record confirmed by another
    const int recordSize = 21 + 4 + 1;
    EXPECT_EQ(connectTime(0, 2), plain + serial_timing::readTotalMs(recordSize));
}

TEST_F(BootLinkTest, IdentifyGivesUpAfterTenReadsOfAnnounces) {
    device.announceRepeats = 50;
    const ConnectResult r = connector.connect("p", true);
    EXPECT_EQ(r, ConnectResult::CommunicationError);
    // The first request and one more for each of the 10 reads, no more.
    EXPECT_EQ(countOf(device.codes(), 'I'), 1 + 10);
    EXPECT_EQ(connector.failureMessage(r), "Communications error\n(BL Ver 00)");
    EXPECT_FALSE(link.connected);
}

TEST_F(BootLinkTest, DeviceIdIsCutTo39Characters) {
    device.deviceId = "AP64-" + std::string(35, 'x');  // 40 characters
    ASSERT_EQ(connector.connect("p", true), ConnectResult::Connected);
    EXPECT_EQ(link.deviceInfo.deviceId, device.deviceId.substr(0, 39));
    EXPECT_EQ(link.chipName, "AP64");
    EXPECT_EQ(link.targetSuffix, std::string(34, 'x'));
}

TEST_F(BootLinkTest, FastLinkFollowsTheCapabilityLetters) {
    struct Row {
        const char* id;
        bool allow;
        const char* command;
        const char* finalSpeed;
    };
    const Row rows[] = {
        {"AP64-TH", true, "H", "115200"},  // H is tested before T
        {"AP64-T", true, "T", "57600"},
        {"AP64-HT", false, "", "19200"},
        {"AP64", true, "", "19200"},
    };
    for (const auto& row : rows) {
        test::FakeClock c;
        test::FakeSerialPort p{c};
        FakeBootloader d;
        d.deviceId = row.id;
        d.attach(p);
        LinkState l;
        l.linkAbort = 0;
        DeviceTarget t;
        FlashImage img;
        test::RecordingUi u;
        BootLink b{p, l, t, img, u};
        b.setClock(c);
        ASSERT_EQ(Connector(b).connect("p", row.allow), ConnectResult::Connected) << row.id;
        std::string switches;
        for (char code : d.codes())
            if (code == 'H' || code == 'T') switches.push_back(code);
        EXPECT_EQ(switches, row.command) << row.id;
        EXPECT_EQ(p.speed, row.finalSpeed) << row.id;
        EXPECT_TRUE(p.isOpen());
    }
}

TEST_F(BootLinkTest, FailingToReopenAtTheFastSpeedIsAFailure) {
    device.deviceId = "AP64-H";
    port.failOpenAtSpeed = true;
    port.failSpeed = "115200";
    EXPECT_EQ(connector.connect("p", true), ConnectResult::PortFailed);
    EXPECT_FALSE(link.connected);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Can't open serial port"});
}

TEST_F(BootLinkTest, TargetCheckAgainstTheHeldChipName) {
    link.chipName = "AP64";
    device.deviceId = "AP64-H";
    ASSERT_EQ(connector.connect("p", false), ConnectResult::Connected);
    EXPECT_TRUE(link.sameTargetReconnected);

    test::FakeClock c;
    test::FakeSerialPort p{c};
    FakeBootloader other;
    other.deviceId = "JM60-H";
    other.attach(p);
    LinkState held;
    held.linkAbort = 0;
    held.chipName = "AP64";
    test::RecordingUi u;
    BootLink b{p, held, target, image, u};
    b.setClock(c);
    Connector connectorB(b);
    const ConnectResult r = connectorB.connect("p", true);
    EXPECT_EQ(r, ConnectResult::WrongTarget);
    EXPECT_EQ(connectorB.failureMessage(r),
              "Wrong target device type!\nThe settings are for AP64; this tracker is JM60.");
    EXPECT_EQ(held.chipName, "AP64");
    EXPECT_FALSE(held.sameTargetReconnected);
    EXPECT_FALSE(held.connected);
}

TEST_F(BootLinkTest, AddressFieldsAndRefusals) {
    enterBootloader("JM128");
    std::uint8_t buf[16];
    ASSERT_EQ(boot.readMemory(0x1F000, 16, buf), 16);
    EXPECT_EQ(port.writes.back(), (std::vector<std::uint8_t>{'R', 0x7C, 0x00, 16}));
    ASSERT_EQ(boot.eraseBlock(0x1F400), 1);
    EXPECT_EQ(port.writes.back(), (std::vector<std::uint8_t>{'E', 0x7D, 0x00}));

    // On the other chips a byte address above 64 KiB cannot be expressed;
    // nothing may go out with a truncated address.
    enterBootloader("AP64");
    const std::size_t before = port.written.size();
    EXPECT_LT(boot.readMemory(0x10000, 1, buf), 0);
    EXPECT_LT(boot.eraseBlock(0x10000), 0);
    EXPECT_LT(boot.writeBlock(0x10000, 1), 0);
    EXPECT_LT(boot.readMemory(0x1000, 256, buf), 0);
    EXPECT_LT(boot.writeBlock(0x1000, 256), 0);
    EXPECT_LT(boot.eraseBlock(0x40000), 0);
    EXPECT_EQ(port.written.size(), before);
}

TEST_F(BootLinkTest, CheckedWriteCarriesTheXorOfItsData) {
    enterBootloader("JM128");
    image.bytes[0x1000] = 0x01;
    image.bytes[0x1001] = 0x02;
    image.bytes[0x1002] = 0x04;
    image.bytes[0x1003] = 0x00;
    ASSERT_EQ(boot.writeBlockChecked(0x1000, 4, 0x10000), 1);
    // (0x1000 + 0x10000) / 4 = 0x4400; the data come from the unshifted address.
    EXPECT_EQ(port.writes.back(), (std::vector<std::uint8_t>{'V', 0x44, 0x00, 4, 0x07, 0x01, 0x02, 0x04, 0x00}));
    EXPECT_EQ(device.flash[0x11001], 0x02);
}

TEST_F(BootLinkTest, ReplyWaitGivesUpOnASilentDevice) {
    enterBootloader("AP64");
    device.mute = true;
    const auto start = clock.now;
    EXPECT_LT(boot.eraseBlock(0xF400), 0);
    EXPECT_GE(clock.now - start, 5000);
    EXPECT_LT(clock.now - start, 6000);
    EXPECT_LT(boot.writeBlock(0xF400, 8), 0);
}

TEST_F(BootLinkTest, ProgramRangeWithNothingTouchedSendsNothing) {
    enterBootloader("AP64");
    const std::size_t before = port.written.size();
    EXPECT_EQ(RangeWriter(boot, 0x0000, 0x10000, 0, quiet).run(), 0);
    EXPECT_EQ(RangeWriter::forTouched(boot, quiet).run(), 0);
    EXPECT_EQ(port.written.size(), before);
}

TEST_F(BootLinkTest, ProgramRangeErasesAtTheFirstTouchedByteAndWritesOnlyTheTouchedSpan) {
    enterBootloader("AP64");
    std::fill(device.flash.begin() + 0xF400, device.flash.begin() + 0xF800, 0x00);
    touch(0xF420, 0xF4A0);
    touch(0xF7FF, 0xF800);
    ASSERT_EQ(RangeWriter::forTouched(boot, quiet).run(), 0);
    struct Expect {
        char code;
        std::uint32_t field;
        int length;
    };
    const std::vector<Expect> expected{{'E', 0xF420, 0},
                                       {'W', 0xF420, 32},
                                       {'R', 0xF420, 32},
                                       {'W', 0xF440, 64},
                                       {'R', 0xF440, 64},
                                       {'W', 0xF480, 32},
                                       {'R', 0xF480, 32},
                                       {'E', 0xF7FF, 0},
                                       {'W', 0xF7FF, 1},
                                       {'R', 0xF7FF, 1},
                                       // One programmed byte of each block, read at the end: a later erase
                                       // at a mangled address would have emptied it.
                                       {'R', 0xF420, 1},
                                       {'R', 0xF7FF, 1}};
    ASSERT_EQ(device.log.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(device.log[i].code, expected[i].code) << i;
        EXPECT_EQ(device.log[i].field, expected[i].field) << i;
        EXPECT_EQ(device.log[i].length, expected[i].length) << i;
    }
    EXPECT_TRUE(std::equal(image.bytes.begin() + 0xF420, image.bytes.begin() + 0xF4A0, device.flash.begin() + 0xF420));
    EXPECT_EQ(device.flash[0xF4A0], 0xFF);  // erased, not written
}

TEST_F(BootLinkTest, ProgramRangeFailuresStopWithTheBlocksMessage) {
    struct Row {
        const char* name;
        void (*arm)(FakeBootloader&);
        const char* message;
    };
    const Row rows[] = {
        {"erase refused", [](FakeBootloader& d) { d.nakErase = {0xF420}; }, "Unable to erase block at 0xf420"},
        {"write refused", [](FakeBootloader& d) { d.nakWrite = {0xF440}; }, "Unable to program block at 0xf440"},
        {"read-back short", [](FakeBootloader& d) { d.truncateRead = true; }, "Unable to verify block at 0xf420"},
        {"read-back differs", [](FakeBootloader& d) { d.corruptRead = true; }, "Verify error at block 0xf420"},
        {"device silent", [](FakeBootloader& d) { d.mute = true; }, "Unable to erase block at 0xf420"},
    };
    for (const auto& row : rows) {
        test::FakeClock c;
        test::FakeSerialPort p{c};
        FakeBootloader d;
        d.attach(p);
        d.inBootloader = d.acked = true;
        row.arm(d);
        LinkState l;
        DeviceTarget t;
        selectTarget(t, "AP64");
        FlashImage img;
        for (std::uint32_t a = 0xF420; a < 0xF4A0; ++a) img.touched[a] = kTouchedData;
        test::RecordingUi u;
        BootLink b{p, l, t, img, u};
        b.setClock(c);
        p.openPort("p", "19200", u);
        ASSERT_EQ(b.identify(), IdentifyResult::Identified);
        d.log.clear();
        NoWriteProgress quiet;
        EXPECT_EQ(RangeWriter::forTouched(b, quiet).run(), -1) << row.name;
        EXPECT_EQ(u.messages, std::vector<std::string>{row.message}) << row.name;
        // Each failure is tried again after getting back in step, three
        // times in all: the erase block starts afresh each time.
        EXPECT_EQ(countOf(d.codes(), 'E'), 3) << row.name;
        EXPECT_EQ(countOf(d.codes(), 'I'), 2) << row.name;
    }
}

// A write that stopped (a lost link, say) carries on from the block it
// stopped at: the blocks verified before are not erased again.
TEST_F(BootLinkTest, AWriterRunAgainCarriesOnFromTheBlockItStoppedAt) {
    enterBootloader("AP64");
    touch(0xF400, 0xF440);
    touch(0xF600, 0xF640);
    device.nakErase = {0xF600};
    RangeWriter writer = RangeWriter::forTouched(boot, quiet);
    ASSERT_EQ(writer.run(), -1);
    EXPECT_EQ(writer.stoppedAt(), 0xF600u);
    device.nakErase.clear();
    device.log.clear();
    ASSERT_EQ(writer.run(), 0);
    ASSERT_FALSE(device.log.empty());
    EXPECT_EQ(device.codes(), "EWRRR");  // the second block, then one byte of each
    EXPECT_EQ(device.log.front().field, 0xF600u);
    EXPECT_TRUE(std::equal(image.bytes.begin() + 0xF400, image.bytes.begin() + 0xF440, device.flash.begin() + 0xF400));
}

TEST_F(BootLinkTest, Jm128WritesWholeFourByteUnitsSoNothingLandsShifted) {
    enterBootloader("JM128");
    device.writeSize = 128;
    link.deviceInfo.writeBlockSize = 128;
    touch(0x1F002, 0x1F007);
    ASSERT_EQ(RangeWriter::forTouched(boot, quiet).run(), 0);
    // The checksum of 'V' does not cover the address: read back like any chip.
    ASSERT_EQ(device.codes(), "EVRR");
    EXPECT_EQ(device.log[0].field, 0x7C00u);
    EXPECT_EQ(device.log[1].field, 0x7C00u);
    EXPECT_EQ(device.log[1].length, 8);
    EXPECT_EQ(device.log[2].field, 0x7C00u);
    EXPECT_EQ(device.log[2].length, 8);
    for (std::uint32_t a = 0x1F002; a < 0x1F007; ++a) EXPECT_EQ(device.flash[a], image.bytes[a]) << a;
    EXPECT_EQ(device.flash[0x1F000], 0xFF);
}

TEST_F(BootLinkTest, ProgressCountsFourByteUnits) {
    enterBootloader("AP64");
    struct Recorder : WriteProgress {
        std::vector<std::pair<int, int>> ranges;
        std::vector<int> positions;
        void setRange(int lo, int hi) override { ranges.push_back({lo, hi}); }
        void setPosition(int p) override { positions.push_back(p); }
        void setStatus(const std::string&) override {}
    } rec;
    touch(0xF400, 0xF500);  // 256 bytes: 4 write blocks
    ASSERT_EQ(RangeWriter::forTouched(boot, rec).run(), 0);
    EXPECT_EQ(rec.ranges, (std::vector<std::pair<int, int>>{{0, 64}}));
    EXPECT_EQ(rec.positions, (std::vector<int>{0, 0, 16, 32, 48}));
}

TEST_F(BootLinkTest, ReadRangeGoesIn128ByteChunks) {
    enterBootloader("AP64");
    for (int i = 0; i < 300; ++i) device.flash[0xF400 + i] = static_cast<std::uint8_t>(i);
    ASSERT_EQ(readConfirmedRange(boot, 0xF400, 0xF400 + 300), 0);
    ASSERT_EQ(device.codes(), "RRRRRR");  // each chunk twice, to compare
    EXPECT_EQ(device.log[0].length, 128);
    EXPECT_EQ(device.log[1].field, 0xF400u);
    EXPECT_EQ(device.log[2].field, 0xF480u);
    EXPECT_EQ(device.log[5].length, 44);
    EXPECT_TRUE(
        std::equal(device.flash.begin() + 0xF400, device.flash.begin() + 0xF400 + 300, image.bytes.begin() + 0xF400));
    EXPECT_TRUE(std::all_of(image.touched.begin(), image.touched.end(), [](auto m) { return m == 0; }));

    ASSERT_EQ(readConfirmedRange(boot, 0xF600, 0xF600), 0);
    EXPECT_EQ(device.log.back().length, 0);  // even an empty range asks once
}

TEST_F(BootLinkTest, ReadRangeReportsAChunkThatCameBackShort) {
    enterBootloader("AP64");
    device.truncateRead = true;
    EXPECT_EQ(readConfirmedRange(boot, 0xF400, 0xF600), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{link_messages::kErrorReceiving});
    EXPECT_EQ(device.codes(), "RRRRRR");  // every try comes short: none of them counts
}

TEST_F(BootLinkTest, LeaveAndCommitAreNotPrecededByADiscard) {
    enterBootloader("JM128");
    port.queue({0x42});  // a stale byte: 'U' takes it as its reply
    EXPECT_EQ(boot.commitStaged(), 0x42);
    EXPECT_EQ(boot.leaveBootloader(), 0);
    EXPECT_EQ(device.codes(), "UQ");
}

}  // namespace
}  // namespace varnel
