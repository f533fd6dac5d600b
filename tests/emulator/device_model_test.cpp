#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "config/device_target.h"
#include "emulator/model/device_model.h"
#include "emulator/model/line_speed.h"
#include "emulator/model_bench.h"

namespace varnel {
namespace {

using namespace std::chrono_literals;

TEST(DeviceModel, IdentificationRecordMatchesEachChipOfTheTargetTable) {
    for (const auto& target : kTargetTable) {
        SCOPED_TRACE(std::string(target.chipName));
        Bench bench{std::string(target.chipName)};
        bench.connect();
        const Bytes reply = bench.command({'I'});
        const EmulatedChip& chip = bench.model.chip();
        const DeviceInfo& info = chip.info;

        ASSERT_EQ(reply.size(), 1 + 12 + 8 + info.deviceId.size() + 1);
        EXPECT_NE(reply[0], 0x00);
        EXPECT_NE(reply[0], 0xFC);  // the host takes those two as "no version yet"
        const std::uint16_t words[] = {info.validStart, info.validEnd,       info.redirectBase,
                                       info.vectorLow,  info.eraseBlockSize, info.writeBlockSize};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(reply[1 + 2 * i] << 8 | reply[2 + 2 * i], words[i]) << "word " << i;
        EXPECT_TRUE(std::equal(info.redirectPrologue.begin(), info.redirectPrologue.end(), reply.begin() + 13));
        EXPECT_EQ(std::string(reply.begin() + 21, reply.end() - 1), info.deviceId);
        EXPECT_EQ(reply.back(), 0x00);

        // The host finds the chip by the id's part before '-'.
        EXPECT_EQ(info.deviceId.substr(0, info.deviceId.find('-')), target.chipName);
        // Settings and script must be programmable, and start on an erase
        // block so a settings write never wipes firmware code.
        const std::uint32_t end = chip.validEndBytes();
        EXPECT_GE(target.settingsAddress, info.validStart);
        EXPECT_LE(target.settingsAddress + target.settingsSize, end);
        EXPECT_EQ(target.settingsAddress % info.eraseBlockSize, 0u);
        if (target.scriptAddress != 0) {
            EXPECT_GE(target.scriptAddress, info.validStart);
            EXPECT_LE(target.scriptAddress + kScriptAreaSize, end);
        }
        EXPECT_EQ(info.eraseBlockSize & (info.eraseBlockSize - 1), 0);
        EXPECT_EQ(info.writeBlockSize & (info.writeBlockSize - 1), 0);
        EXPECT_LE(info.writeBlockSize, 255);  // one write command carries at most 255 bytes
    }
}

TEST(DeviceModel, LongDeviceIdGoesOutWhole) {
    Bench bench("AP64");
    const std::string id(40, 'A');
    bench.model.setDeviceId(id);
    bench.connect();
    const Bytes reply = bench.command({'I'});
    ASSERT_EQ(reply.size(), 21 + 40 + 1u);
    EXPECT_EQ(std::string(reply.begin() + 21, reply.end() - 1), id);
}

TEST(DeviceModel, EraseClearsTheWholeAlignedBlockAndNothingElse) {
    Bench bench("AP64");  // 512-byte erase blocks
    bench.connect();
    bench.model.flash().load(0x11FF, Bytes{0x11, 0x22, 0x33}.data(), 3);
    EXPECT_EQ(bench.command(Bench::addressed('E', 0x1234)), Bytes{0xFC});
    EXPECT_EQ(bench.model.flash().read(0x11FF), 0x11);
    EXPECT_EQ(bench.model.flash().read(0x1200), 0xFF);
    EXPECT_EQ(bench.model.flash().read(0x1201), 0xFF);
    ASSERT_FALSE(bench.model.log().empty());
    EXPECT_EQ(bench.model.log().back().command, 'E');
    EXPECT_EQ(bench.model.log().back().address, 0x1234u);
}

TEST(DeviceModel, WriteWithoutEraseIsCaughtAndLeavesOnlyClearedBits) {
    Bench bench("AP64");
    bench.connect();
    ASSERT_EQ(bench.command(Bench::addressed('E', 0x2000)), Bytes{0xFC});
    ASSERT_EQ(bench.command(Bench::addressed('W', 0x2000, {2, 0xF0, 0x0F})), Bytes{0xFC});
    EXPECT_FALSE(bench.model.log().back().writeWithoutErase);

    // Programming again over programmed cells: the bootloader does not know,
    // the silicon can only clear bits.
    ASSERT_EQ(bench.command(Bench::addressed('W', 0x2000, {2, 0x0F, 0x0F})), Bytes{0xFC});
    EXPECT_TRUE(bench.model.log().back().writeWithoutErase);
    EXPECT_NE(bench.model.log().back().note.find("0x2000"), std::string::npos);
    EXPECT_EQ(bench.command(Bench::addressed('R', 0x2000, {2})), (Bytes{0x00, 0x0F}));
}

TEST(DeviceModel, RefusesToTouchTheBootloaderOrAnythingOutsideTheValidRange) {
    Bench bench("KX8");  // valid 0xE000 up to 0xFD00
    bench.connect();
    const Bytes before = bench.command(Bench::addressed('R', 0xFD00, {4}));
    EXPECT_EQ(bench.command(Bench::addressed('E', 0xFD00)), Bytes{DeviceModel::kNak});
    EXPECT_EQ(bench.command(Bench::addressed('E', 0xDFFF)), Bytes{DeviceModel::kNak});
    EXPECT_EQ(bench.command(Bench::addressed('W', 0xFCFE, {4, 0, 0, 0, 0})), Bytes{DeviceModel::kNak});
    EXPECT_EQ(bench.command(Bench::addressed('R', 0xFD00, {4})), before);
    EXPECT_EQ(bench.command(Bench::addressed('E', 0xE000)), Bytes{0xFC});
}

TEST(DeviceModel, Jm128CountsAddressesInFourByteUnits) {
    Bench bench("JM128");
    bench.connect();
    bench.model.flash().load(0x1F000, Bytes{0xA5, 0x5A}.data(), 2);
    EXPECT_EQ(bench.command(Bench::addressed('R', 0x7C00, {2})), (Bytes{0xA5, 0x5A}));
    EXPECT_EQ(bench.command(Bench::addressed('E', 0x7C00)), Bytes{0xFC});
    EXPECT_EQ(bench.model.flash().read(0x1F000), 0xFF);
    // 'V' carries the XOR of its data; 0x01 ^ 0x02 ^ 0x04 = 0x07.
    EXPECT_EQ(bench.command(Bench::addressed('V', 0x7C01, {3, 0x07, 0x01, 0x02, 0x04})), Bytes{0xFC});
    EXPECT_EQ(bench.model.flash().read(0x1F004), 0x01);
    EXPECT_EQ(bench.model.flash().read(0x1F006), 0x04);
    EXPECT_EQ(bench.model.log().back().address, 0x1F004u);
}

TEST(DeviceModel, ChecksumMismatchIsRefusedAndNothingIsProgrammed) {
    Bench bench("JM128");
    bench.connect();
    ASSERT_EQ(bench.command(Bench::addressed('E', 0x7C00)), Bytes{0xFC});
    EXPECT_EQ(bench.command(Bench::addressed('V', 0x7C00, {2, 0x00, 0x12, 0x34})), Bytes{DeviceModel::kNak});
    EXPECT_EQ(bench.model.flash().read(0x1F000), 0xFF);
}

TEST(DeviceModel, Jm128LowAreaGoesThroughTheStagingCopyAndCommit) {
    Bench bench("JM128");
    bench.connect();
    // Direct programming of the low area is refused while the bootloader runs.
    EXPECT_EQ(bench.command(Bench::addressed('E', 0x0100)), Bytes{DeviceModel::kNak});
    EXPECT_EQ(bench.command(Bench::addressed('V', 0x0000, {1, 0x42, 0x42})), Bytes{DeviceModel::kNak});

    // Stage: image 0x0000 lands at 0x10000, image 0x6FFC at 0x16FFC.
    ASSERT_EQ(bench.command(Bench::addressed('E', 0x10000 >> 2)), Bytes{0xFC});
    ASSERT_EQ(bench.command(Bench::addressed('V', 0x10000 >> 2, {2, 0x12 ^ 0x34, 0x12, 0x34})), Bytes{0xFC});
    ASSERT_EQ(bench.command(Bench::addressed('E', 0x16FFC >> 2)), Bytes{0xFC});
    ASSERT_EQ(bench.command(Bench::addressed('V', 0x16FFC >> 2, {1, 0x77, 0x77})), Bytes{0xFC});
    bench.model.flash().load(0x0002, Bytes{0x00}.data(), 1);  // old firmware byte
    EXPECT_EQ(bench.model.flash().read(0x0000), 0xFF);

    EXPECT_EQ(bench.command({'U'}), Bytes{0xFC});
    EXPECT_EQ(bench.model.flash().read(0x0000), 0x12);
    EXPECT_EQ(bench.model.flash().read(0x0001), 0x34);
    EXPECT_EQ(bench.model.flash().read(0x0002), 0xFF);  // erased before the copy
    EXPECT_EQ(bench.model.flash().read(0x6FFC), 0x77);
    EXPECT_EQ(bench.model.log().back().command, 'U');
}

TEST(DeviceModel, CommitOnAChipWithoutStagingIsRefused) {
    Bench bench("AP64");
    bench.connect();
    EXPECT_EQ(bench.command({'U'}), Bytes{DeviceModel::kNak});
}

TEST(DeviceModel, ResetRequestIsHeardOnlyAtTheFirmwareSpeed) {
    const Bytes nmea{'\r', '$', '~', 'R', '$', '~', 'R'};
    const Bytes text{'/', '*', 'r', 'e', 's', 'e', 't', '*', '/'};
    const Bytes kiss{0xC0, 0xFE, 0xC0};
    struct Case {
        Bytes request;
        std::uint32_t speed;
        bool heard;
    } cases[] = {
        {nmea, 4800, true},  {text, 4800, true},  {kiss, 4800, true}, {nmea, 9600, false}, {nmea, 19200, false},
        {nmea, 2400, false}, {kiss, 1200, false}, {nmea, 0, true},  // unknown speed: taken as matching
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.request.begin(), c.request.end()) + " at " + std::to_string(c.speed));
        Bench bench("AP64");
        bench.hear(c.request, c.speed);
        EXPECT_EQ(bench.model.state(), c.heard ? DeviceState::Announcing : DeviceState::Firmware);
        bench.advance(0ms);
        EXPECT_EQ(bench.said(), c.heard ? Bytes{0xFC} : Bytes{});
        if (c.heard) {
            EXPECT_EQ(bench.model.lineSpeed(), kBootloaderSpeed);
        }
    }
}

TEST(DeviceModel, AnnouncesRepeatedlyThenGivesUpAndRunsTheFirmware) {
    Bench bench("AP64");
    bench.hear({0xC0, 0xFE, 0xC0}, 4800);
    int announces = 0;
    for (int i = 0; i < 10; ++i) {
        bench.advance(50ms);
        for (auto b : bench.said()) announces += b == 0xFC;
    }
    EXPECT_GE(announces, 9);
    bench.advance(DeviceModel::kAnnounceWindow);
    EXPECT_EQ(bench.model.state(), DeviceState::Firmware);
    EXPECT_EQ(bench.model.lineSpeed(), 4800u);
}

TEST(DeviceModel, BootloaderOnlyUnderstandsCommandsAtItsCurrentSpeed) {
    Bench bench("AP64");  // "AP64-HT": both fast links offered
    bench.connect();
    EXPECT_EQ(bench.hear({'I'}, 4800), Bytes{});  // heard as a 0x00 with a framing error
    EXPECT_EQ(bench.hear({'I'}, 115200), Bytes{});
    EXPECT_EQ(bench.command({'H'}), Bytes{});
    EXPECT_EQ(bench.model.lineSpeed(), kFastLinkSpeedH);
    EXPECT_EQ(bench.hear({'I'}, 19200), Bytes{});
    EXPECT_FALSE(bench.hear({'I'}, 115200).empty());

    // 'Q' leaves for the firmware, which listens at its own speed again.
    EXPECT_EQ(bench.command({'Q'}), Bytes{});
    EXPECT_EQ(bench.model.state(), DeviceState::Firmware);
    EXPECT_EQ(bench.model.lineSpeed(), 4800u);
}

TEST(DeviceModel, FastLinkOnlyWhenTheIdOffersIt) {
    Bench kx8("KX8");  // plain "KX8"
    kx8.connect();
    kx8.command({'H'});
    kx8.command({'T'});
    EXPECT_EQ(kx8.model.lineSpeed(), kBootloaderSpeed);

    Bench jl16("JL16");  // "JL16-T"
    jl16.connect();
    jl16.command({'H'});
    EXPECT_EQ(jl16.model.lineSpeed(), kBootloaderSpeed);
    jl16.command({'T'});
    EXPECT_EQ(jl16.model.lineSpeed(), kFastLinkSpeedT);
}

TEST(DeviceModel, IncompleteCommandIsDroppedAfterASilence) {
    Bench bench("AP64");
    bench.connect();
    bench.command({'R', 0xF4});
    bench.advance(2s);
    EXPECT_EQ(bench.command({'I'}).size(), 21 + std::string("AP64-HT").size() + 1);
}

TEST(DeviceModel, InjectedFaults) {
    Bench bench("AP64");
    bench.connect();
    bench.model.faults().nakEraseAt = 0xF5FF;
    EXPECT_EQ(bench.command(Bench::addressed('E', 0xF400)), Bytes{DeviceModel::kNak});
    EXPECT_EQ(bench.command(Bench::addressed('E', 0xF600)), Bytes{0xFC});

    bench.model.faults().nakWriteAt = 0xF601;
    EXPECT_EQ(bench.command(Bench::addressed('W', 0xF600, {2, 1, 2})), Bytes{DeviceModel::kNak});
    EXPECT_EQ(bench.command(Bench::addressed('W', 0xF602, {2, 3, 4})), Bytes{0xFC});

    bench.model.faults().corruptReadAt = 0xF603;
    EXPECT_EQ(bench.command(Bench::addressed('R', 0xF602, {2})), (Bytes{0x03, 0xFB}));
    EXPECT_EQ(bench.model.flash().read(0xF603), 0x04);  // only the read-back is wrong

    bench.model.faults().silent = true;
    EXPECT_EQ(bench.command({'I'}), Bytes{});
}

TEST(DeviceModel, HangsUpAfterTheGivenNumberOfBytes) {
    Bench bench("AP64");
    bench.connect();  // one byte received: the handshake
    bench.model.faults().hangupAfter = 3;
    const Bytes reply = bench.command(Bench::addressed('R', 0xF400, {1}));
    EXPECT_TRUE(bench.model.hungUp());
    EXPECT_EQ(reply, Bytes{});  // the length byte never arrived
    EXPECT_EQ(bench.model.bytesReceived(), 3u);
}

TEST(DeviceModel, DiagnosticBytesInTheFirmware) {
    Bench bench("JM60");
    EXPECT_EQ(bench.command({0x8A}), Bytes{153});  // 12.0 V at 12.75 per volt
    EXPECT_EQ(bench.command({0x8B}), Bytes{125});  // 25 C as c + 100
    EXPECT_EQ(bench.command({0x80}), Bytes{0x80});
    EXPECT_TRUE(bench.model.outputs().redLed);
    EXPECT_EQ(bench.command({0x81}).size(), 1u);
    EXPECT_FALSE(bench.model.outputs().redLed);
    EXPECT_EQ(bench.command({0x88}).size(), 1u);
    EXPECT_EQ(bench.command({0x49}), Bytes{0x49});  // the level byte, not an 'I'
    EXPECT_EQ(bench.model.outputs().audioLevel, 0x49);
    EXPECT_EQ(bench.command({0x8C}).size(), 1u);

    // A running tone is stopped with one more reply byte than an idle one.
    EXPECT_EQ(bench.command({0xFF}).size(), 1u);
    EXPECT_EQ(bench.command({0xC2}), Bytes{});
    EXPECT_TRUE(bench.model.outputs().toneHigh && bench.model.outputs().toneLow);
    EXPECT_EQ(bench.command({0xFF}).size(), 2u);
    EXPECT_FALSE(bench.model.outputs().toneHigh);
}

TEST(DeviceModel, ReceiveLevelOnlyOnBoardsThatHaveIt) {
    Bench bench("AP64");
    EXPECT_EQ(bench.command({0x8C}), Bytes{});
    EXPECT_EQ(bench.command({0x8A}), Bytes{153});
}

// A bootloader still announcing answers 'I' with 0xFC until it has repeated
// itself k times; the count starts again with every handshake.
TEST(DeviceModel, RepeatsTheAnnounceForTheFirstIdentifyCommandsOfEachSession) {
    Bench bench("AP64");
    bench.model.faults().announceRepeats = 2;
    bench.connect();
    const std::size_t recordSize = 21 + std::string("AP64-HT").size() + 1;
    EXPECT_EQ(bench.command({'I'}), Bytes{0xFC});
    EXPECT_EQ(bench.command({0xFC, 'I'}), Bytes{0xFC});
    EXPECT_EQ(bench.command({0xFC, 'I'}).size(), recordSize);
    EXPECT_EQ(bench.command({'I'}).size(), recordSize);  // used up for this session

    std::vector<std::uint8_t> sequence;
    for (const auto& e : bench.model.log()) sequence.push_back(e.command);
    // handshake, I, its answer, I, its answer, I, I (power-on event first)
    EXPECT_EQ(sequence, (Bytes{0, 0xFC, 'I', 0xFC, 'I', 0xFC, 'I', 'I'}));
    EXPECT_EQ(bench.model.log().back().note, "AP64-HT");

    // A host that starts over meets a freshly started bootloader.
    bench.command({'/', '*', 'r', 'e', 's', 'e', 't', '*', '/'});
    ASSERT_EQ(bench.model.state(), DeviceState::Announcing);
    bench.said();
    bench.command({0xFC});
    bench.said();
    EXPECT_EQ(bench.command({'I'}), Bytes{0xFC});

    // Set while connected, it takes effect at once.
    bench.model.setAnnounceRepeats(1);
    EXPECT_EQ(bench.command({'I'}), Bytes{0xFC});
    EXPECT_EQ(bench.command({'I'}).size(), recordSize);
}

// A late announce reaches the host on its own after the delay, or just
// ahead of the next reply if the host speaks first; once per handshake.
TEST(DeviceModel, ALateAnnounceComesAfterItsDelayOrAheadOfTheNextReply) {
    Bench bench("AP64");
    bench.model.faults().lateAnnounceMs = 20;
    bench.connect();
    bench.advance(19ms);
    EXPECT_EQ(bench.said(), Bytes{});
    EXPECT_EQ(bench.model.nextDeadline(), bench.now + 1ms);
    bench.advance(1ms);
    EXPECT_EQ(bench.said(), Bytes{0xFC});
    EXPECT_EQ(bench.command({'I'}).front(), 0x24);  // the record: nothing late any more

    bench.command({'Q'});
    bench.model.startInBootloader(bench.now);
    bench.advance(0ms);
    bench.said();
    bench.command({0xFC});
    const Bytes reply = bench.command({'I'});
    ASSERT_GE(reply.size(), 2u);
    EXPECT_EQ(reply[0], 0xFC);
    EXPECT_EQ(reply[1], 0x24);
    bench.advance(50ms);
    EXPECT_EQ(bench.said(), Bytes{});
}

TEST(DeviceModel, FirmwareSpeedCanBeSetAndIsWhereTheBootloaderReturns) {
    Bench bench("AP64");
    bench.model.setFirmwareSpeed(38400);
    EXPECT_EQ(bench.model.lineSpeed(), 38400u);  // the firmware is running: at once
    for (std::uint32_t wrong : {4800u, 9600u, 19200u, 57600u}) {
        bench.hear({0xC0, 0xFE, 0xC0}, wrong);
        EXPECT_EQ(bench.model.state(), DeviceState::Firmware) << wrong;
    }
    bench.hear({0xC0, 0xFE, 0xC0}, 38400);
    ASSERT_EQ(bench.model.state(), DeviceState::Announcing);
    bench.advance(0ms);
    bench.command({0xFC});
    bench.command({'Q'});
    EXPECT_EQ(bench.model.state(), DeviceState::Firmware);
    EXPECT_EQ(bench.model.lineSpeed(), 38400u);
    bench.model.powerCycle(bench.now);
    EXPECT_EQ(bench.model.lineSpeed(), 38400u);
}

// Over USB the host's line speed means nothing: a reset sent at 115200 to a
// firmware at 4800 is heard, and so is a command at any speed after it.
TEST(DeviceModel, UsbCdcHearsEveryByteWhateverTheHostsSpeed) {
    Bench bench("JM60");
    ASSERT_TRUE(bench.model.chip().hasUsb);
    EXPECT_FALSE(findEmulatedChip("AP64")->hasUsb);
    bench.model.setUsbCdc(true);
    bench.hear({'/', '*', 'r', 'e', 's', 'e', 't', '*', '/'}, 115200);
    ASSERT_EQ(bench.model.state(), DeviceState::Announcing);
    bench.advance(0ms);
    for (const auto& chunk : bench.model.takeOutput()) EXPECT_EQ(chunk.speed, 0u);
    EXPECT_EQ(bench.hear({0xFC}, 115200), Bytes{0xFC});
    EXPECT_EQ(bench.hear({'I'}, 4800).size(), 21 + std::string("JM60-HT").size() + 1);
    for (const auto& e : bench.model.log()) EXPECT_NE(e.result, CommandResult::Garbled) << e.text();
}

TEST(DeviceModel, TheLogCarriesEachCommandsTrafficForTheWireBound) {
    Bench bench("AP64");
    bench.connect();
    bench.model.clearLog();
    bench.command(Bench::addressed('E', 0x1200));
    bench.command(Bench::addressed('W', 0x1200, {4, 1, 2, 3, 4}));
    bench.command(Bench::addressed('R', 0x1200, {4}));
    const auto& log = bench.model.log();
    ASSERT_EQ(log.size(), 3u);
    struct Traffic {
        std::uint32_t in, out;
        std::uint64_t busy;
    };
    const Traffic expected[] = {
        {3, 1, DeviceModel::kEraseMicros}, {8, 1, 4 * DeviceModel::kProgramMicrosPerByte}, {4, 4, 0}};
    for (std::size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(log[i].bytesIn, expected[i].in);
        EXPECT_EQ(log[i].bytesOut, expected[i].out);
        EXPECT_EQ(log[i].busyMicros, expected[i].busy);
        EXPECT_EQ(log[i].speed, 19200u);
    }
    // 4, 9 and 8 bytes at 19200 (2083 + 4687 + 4166 us), plus erasing and programming.
    EXPECT_EQ(wireBoundMicros(log), 10936u + 20000u + 160u);
    // Behind a 16 ms adapter every answer waits for the timer, less the wire
    // time of its bytes after the first (none, none, 3 at 19200).
    EXPECT_EQ(wireBoundMicros(log, 16ms), 10936u + 20000u + 160u + 16000u + 16000u + (16000u - 1562u));
}

}  // namespace
}  // namespace varnel
