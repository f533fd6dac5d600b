#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "link/diagnostics_session.h"
#include "link/fake_serial_port.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The firmware side of the test commands: the sensors answer with set raw
// values, every other byte with 0x00.
class DiagnosticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        port.onWrite = [this](test::FakeSerialPort& p, const Bytes& w) {
            const auto it = replies.find(w.back());
            p.queue({it == replies.end() ? std::uint8_t{0} : it->second});
        };
        port.openPort("p", "19200", ui);
    }
    Bytes sentSince(std::size_t from) const { return Bytes(port.written.begin() + from, port.written.end()); }

    std::map<std::uint8_t, std::uint8_t> replies{{0x8A, 204}, {0x8B, 125}, {0x8C, 0}, {0x8D, 1}, {0x8E, 200}};
    test::FakeClock clock;
    test::FakeSerialPort port{clock};
    test::RecordingUi ui;
};

TEST_F(DiagnosticsTest, OpeningReadsTheSensorsThenSetsOutputsLevelAndTonePair) {
    DiagnosticsSession diag(port, KindJM60, true);
    const SensorReadings r = diag.open(0, 1);
    EXPECT_EQ(port.written, (Bytes{0x8A, 0x8A, 0x8B, 0x8B, 0x8D, 0xFF, 0x85, 0x83, 0x80, 0x88, 0x00, 0x89, 0x00}));
    EXPECT_EQ(r.voltage, "16.00v");
    EXPECT_EQ(r.temperature, "25 C");
    EXPECT_EQ(r.receiveLevel, 254);
    EXPECT_TRUE(diag.output(DiagOutput::RedLed));
    EXPECT_FALSE(diag.output(DiagOutput::GreenLed));

    const std::size_t mark = port.written.size();
    diag.close();
    EXPECT_EQ(sentSince(mark), (Bytes{0xFF, 0x85, 0x83, 0x80}));
}

TEST_F(DiagnosticsTest, OnlyJm60AsksForTheReceiveLevel) {
    for (TargetKind kind : {KindKX8, KindAP64, KindJL16, KindJM128}) {
        DiagnosticsSession diag(port, kind, true);
        const std::size_t mark = port.written.size();
        const SensorReadings r = diag.refreshSensors();
        EXPECT_EQ(sentSince(mark), (Bytes{0x8A, 0x8A, 0x8B, 0x8B})) << int(kind);
        EXPECT_FALSE(r.receiveLevel.has_value());
        EXPECT_FALSE(diag.showsReceiveLevel());
    }
    DiagnosticsSession jm60(port, KindJM60, true);
    jm60.setGain(2);
    const std::size_t mark = port.written.size();
    EXPECT_EQ(jm60.refreshSensors().receiveLevel, 144);  // |200 - 128| * 2
    EXPECT_EQ(sentSince(mark), (Bytes{0x8A, 0x8A, 0x8B, 0x8B, 0x8E}));
}

// A line that mangles an answer must not show a wrong reading: two answers
// in a row within one count are taken (the second shown), answers that
// never agree show as unknown while the tracker still counts as answering.
TEST_F(DiagnosticsTest, AReadingIsShownOnlyWhenTwoAnswersAgree) {
    struct Case {
        Bytes voltageAnswers;
        const char* shown;
        int asks;
    } cases[] = {
        {{204, 204}, "16.00v", 2},         {{204, 205}, "16.08v", 2},  // the converter's own last count
        {{204, 76, 204}, "16.00v", 3},                                 // bit 7 flipped on the second answer
        {{76, 204, 12, 205}, "16.08v", 4}, {{204, 76, 12, 140}, "--.--v", 4},
    };
    for (const Case& c : cases) {
        std::size_t next = 0;
        port.onWrite = [&](test::FakeSerialPort& p, const Bytes& w) {
            if (w.back() == 0x8A) p.queue({c.voltageAnswers[std::min(next++, c.voltageAnswers.size() - 1)]});
            else p.queue({125});
        };
        DiagnosticsSession diag(port, KindAP64, true);
        const SensorReadings r = diag.refreshSensors();
        EXPECT_EQ(r.voltage, c.shown);
        EXPECT_TRUE(r.answered);
        EXPECT_EQ(next, static_cast<std::size_t>(c.asks));
    }
}

TEST_F(DiagnosticsTest, ToneUpdateAndTheExtraReadWhenARunningToneStops) {
    DiagnosticsSession diag(port, KindAP64, true);
    struct Step {
        bool high, low;
        Bytes sent;
        int reads;
    };
    const Step steps[] = {
        {true, false, {0xC0}, 0},  {true, true, {0xC2}, 0},
        {false, true, {0xC1}, 0},  {false, false, {0xFF}, 2},  // the stop's reply, and one more for the tone
        {false, false, {0xFF}, 1},
    };
    for (const auto& s : steps) {
        const std::size_t mark = port.written.size();
        const int reads = port.reads;
        diag.setTones(s.high, s.low);
        EXPECT_EQ(sentSince(mark), s.sent) << s.high << s.low;
        EXPECT_EQ(port.reads - reads, s.reads) << s.high << s.low;
    }
}

TEST_F(DiagnosticsTest, OutputsTonePairAndLevelSendTheirBytesThenUpdateTones) {
    DiagnosticsSession diag(port, KindAP64, true);
    std::size_t mark = port.written.size();
    diag.setOutput(DiagOutput::GreenLed, true);
    diag.setOutput(DiagOutput::Power, false);
    EXPECT_EQ(sentSince(mark), (Bytes{0x82, 0xFF, 0x87, 0xFF}));

    mark = port.written.size();
    diag.chooseTonePair(TonePair::Baud300);
    EXPECT_EQ(sentSince(mark), (Bytes{0xFF, 0x89, 0x01, 0xFF}));

    mark = port.written.size();
    const int reads = port.reads;
    diag.setAudioLevel(200);
    EXPECT_EQ(sentSince(mark), (Bytes{0x88, 200, 0xFF}));
    EXPECT_EQ(port.reads - reads, 3);  // after 0x88, after the level, the stop's reply
    EXPECT_EQ(diag.audioLevel(), 200);
}

TEST_F(DiagnosticsTest, PollingPausesWhileAToneIsSelected) {
    DiagnosticsSession diag(port, KindAP64, true);
    diag.setTones(false, true);
    const std::size_t mark = port.written.size();
    EXPECT_FALSE(diag.poll().has_value());
    EXPECT_EQ(port.written.size(), mark);
    diag.setTones(false, false);
    EXPECT_TRUE(diag.poll().has_value());
}

TEST_F(DiagnosticsTest, ClosingSwitchesOffAPowerOutputLeftOnAndForgetsTheTones) {
    DiagnosticsSession diag(port, KindAP64, true);
    diag.setOutput(DiagOutput::Power, true);
    diag.setTones(true, false);
    const std::size_t mark = port.written.size();
    diag.close();
    EXPECT_EQ(sentSince(mark), (Bytes{0x87, 0xFF, 0x85, 0x83, 0x80}));
    EXPECT_FALSE(diag.output(DiagOutput::Power) || diag.highTone());
    EXPECT_TRUE(diag.output(DiagOutput::RedLed));
}

TEST_F(DiagnosticsTest, ATrackerFallingSilentCostsOneTimeOutAPollAndIsAskedLessOften) {
    DiagnosticsSession diag(port, KindJM60, false);
    int answers = 2;  // the voltage is answered (twice, as asked), then nothing
    port.onWrite = [&](test::FakeSerialPort& p, const Bytes&) {
        if (answers-- > 0) p.queue({204});
    };
    const auto start = clock.now;
    const auto r = diag.poll();
    ASSERT_TRUE(r.has_value());
    EXPECT_FALSE(r->answered);
    EXPECT_EQ(r->voltage, "--.--v");
    EXPECT_EQ(r->temperature, "-- F");
    EXPECT_EQ(r->receiveLevel, 0);
    EXPECT_EQ(port.written, (Bytes{0x8A, 0x8A, 0x8B}));  // the receive level is not asked for
    EXPECT_LE(clock.now - start, serial_timing::readTotalMs(1));

    for (int i = 1; i < DiagnosticsSession::kSilentPollInterval; ++i) EXPECT_FALSE(diag.poll().has_value()) << i;
    EXPECT_EQ(port.written.size(), 3u);
    answers = 100;  // back again: read at once, and every poll after
    const auto back = diag.poll();
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(back->answered);
    EXPECT_EQ(back->voltage, "16.00v");
    EXPECT_TRUE(diag.poll().has_value());
}

TEST(DiagnosticsFormat, ReadingsTexts) {
    EXPECT_EQ(formatVoltage(204, KindKX8), "12.00v");
    EXPECT_EQ(formatVoltage(138, KindJL16), "10.01v");
    EXPECT_EQ(formatVoltage(153, KindAP64), "12.00v");
    struct Row {
        std::uint8_t raw;
        TargetKind kind;
        bool metric;
        const char* text;
    };
    const Row rows[] = {
        {125, KindJM60, true, "25 C"},  {125, KindJM60, false, " 77 F"}, {125, KindJM128, true, "25 C"},
        {0, KindJM60, true, "-100 C"},  {150, KindAP64, true, "21 C"},  // 150 * 1.9608 - 273.15 = 20.97
        {150, KindAP64, false, "70 F"}, {139, KindKX8, true, "-1 C"},   // -0.5988 rounds away from zero
    };
    for (const auto& r : rows) EXPECT_EQ(formatTemperature(r.raw, r.kind, r.metric), r.text) << int(r.raw);
    EXPECT_EQ(receiveLevel(0), 0);
    EXPECT_EQ(receiveLevel(1), 254);
    EXPECT_EQ(receiveLevel(255), 254);
    EXPECT_EQ(receiveLevel(128), 0);
    EXPECT_EQ(receiveLevel(100), 56);
}

}  // namespace
}  // namespace varnel
