#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "forms/diagnostics_form.h"
#include "link/fake_serial_port.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

namespace id = diagnostics_id;
using Bytes = std::vector<std::uint8_t>;

// A tracker that answers every byte: the sensors with set values.
struct Bench {
    explicit Bench(TargetKind kind) : diag(port, kind, true) {
        port.onWrite = [](test::FakeSerialPort& p, const Bytes& w) {
            static const std::map<std::uint8_t, std::uint8_t> sensors{{0x8A, 153}, {0x8B, 125}, {0x8D, 1}, {0x8E, 138}};
            const auto it = sensors.find(w.back());
            p.queue({it == sensors.end() ? std::uint8_t{0} : it->second});
        };
        port.openPort("p", "19200", ui);
    }
    Bytes sentSince(std::size_t mark) const { return Bytes(port.written.begin() + mark, port.written.end()); }

    test::FakeClock clock;
    test::FakeSerialPort port{clock};
    test::RecordingUi ui;
    DiagnosticsSession diag;
    DiagnosticsForm form;
};

TEST(DiagnosticsControls, TableCoversEveryBoundMemberOnce) {
    std::set<int> ids;
    std::set<const FormControl*> members;
    DiagnosticsForm form;
    for (const auto& info : kDiagnosticsControls) {
        EXPECT_TRUE(ids.insert(info.id).second) << info.id;
        EXPECT_TRUE(members.insert(&(form.*(info.member))).second) << info.name;
    }
    EXPECT_EQ(findControl<DiagnosticsForm>(kDiagnosticsControls, id::kAudioLevel)->name, "audioLevel");
}

TEST(DiagnosticsForm, StartSendsTheOpeningSequenceAndShowsTheChipsControls) {
    struct Case { TargetKind kind; int level, gain, slider; bool receive; Bytes reads; int received; };
    const Case cases[] = {
        {KindJM60, 0, 1, 1, true, {0x8A, 0x8B, 0x8D}, 254},  // level 0 is sent, the slider stops at 1
        {KindJM60, 200, 7, 200, true, {0x8A, 0x8B, 0x8E}, 20},  // an unknown gain choice means 16x
        {KindAP64, 255, 0, 255, false, {0x8A, 0x8B}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        Bench b(c.kind);
        startDiagnostics(b.form, b.diag, {static_cast<std::uint8_t>(c.level), c.gain});
        Bytes expected = c.reads;
        expected.insert(expected.end(), {0xFF, 0x85, 0x83, 0x80, 0x88, static_cast<std::uint8_t>(c.level), 0x89, 0x00});
        EXPECT_EQ(b.port.written, expected);
        EXPECT_EQ(b.form.audioLevel.position, c.slider);
        EXPECT_TRUE(b.form.redLed.checked && b.form.pair1200.checked);
        EXPECT_FALSE(b.form.greenLed.checked || b.form.txLed.checked || b.form.power.checked || b.form.pair300.checked);
        EXPECT_EQ(b.form.receiveLevelShown, c.receive);
        EXPECT_EQ(b.form.gain4x.visible, c.receive);
        EXPECT_EQ(b.form.receiveGainLabel.visible, c.receive);
        EXPECT_EQ(b.form.gain1x.checked, c.gain == 0);
        EXPECT_EQ(b.form.gain4x.checked, c.gain == 1);
        EXPECT_EQ(b.form.gain16x.checked, c.gain > 1);
        EXPECT_EQ(b.form.voltage.text, "12.00v");
        EXPECT_EQ(b.form.temperature.text, c.kind == KindJM60 ? "25 C" : "-28 C");
        EXPECT_EQ(b.form.receiveLevel, c.received);
    }
}

TEST(DiagnosticsForm, EachEventSendsItsBytes) {
    struct Event { int id; void (*set)(DiagnosticsForm&); Bytes sent; };
    const Event events[] = {
        {id::kGreenLed, [](DiagnosticsForm& f) { f.greenLed.checked = true; }, {0x82, 0xFF}},
        {id::kRedLed, [](DiagnosticsForm& f) { f.redLed.checked = false; }, {0x81, 0xFF}},
        {id::kPower, [](DiagnosticsForm& f) { f.power.checked = true; }, {0x86, 0xFF}},
        {id::kHighTone, [](DiagnosticsForm& f) { f.highTone.checked = true; }, {0xC0}},
        {id::kLowTone, [](DiagnosticsForm& f) { f.lowTone.checked = true; }, {0xC2}},
        {id::kPair300, [](DiagnosticsForm& f) { f.pair300.checked = true; }, {0xFF, 0x89, 0x01, 0xC2}},
        {id::kHighTone, [](DiagnosticsForm& f) { f.highTone.checked = false; }, {0xC1}},
        {id::kAudioLevel, [](DiagnosticsForm& f) { f.audioLevel.position = 99; }, {0x88, 99, 0xC1}},
        {id::kLowTone, [](DiagnosticsForm& f) { f.lowTone.checked = false; }, {0xFF}},
        {id::kGain16x, [](DiagnosticsForm&) {}, {}},
        {id::kSensors, [](DiagnosticsForm&) {}, {0x8A, 0x8B, 0x8E}},
    };
    Bench b(KindJM60);
    startDiagnostics(b.form, b.diag, {128, 0});
    for (const Event& e : events) {
        SCOPED_TRACE(e.id);
        e.set(b.form);
        const std::size_t mark = b.port.written.size();
        diagnosticsControlChanged(b.form, b.diag, e.id);
        EXPECT_EQ(b.sentSince(mark), e.sent);
    }
    EXPECT_EQ(b.form.receiveLevel, 20);  // 16x: |138 - 128| * 2
}

TEST(DiagnosticsForm, PollPausesWhileAToneIsTickedAndFinishHandsBackWhatWasHandedIn) {
    Bench b(KindAP64);
    startDiagnostics(b.form, b.diag, {40, std::nullopt});
    b.form.voltage.text.clear();
    b.form.lowTone.checked = true;
    diagnosticsControlChanged(b.form, b.diag, id::kLowTone);
    std::size_t mark = b.port.written.size();
    EXPECT_FALSE(pollDiagnostics(b.form, b.diag));
    EXPECT_TRUE(b.sentSince(mark).empty());
    b.form.lowTone.checked = false;
    diagnosticsControlChanged(b.form, b.diag, id::kLowTone);
    EXPECT_TRUE(pollDiagnostics(b.form, b.diag));
    EXPECT_EQ(b.form.voltage.text, "12.00v");

    b.form.audioLevel.position = 77;
    diagnosticsControlChanged(b.form, b.diag, id::kAudioLevel);
    mark = b.port.written.size();
    const DiagnosticsSettings back = finishDiagnostics(b.diag, {40, std::nullopt});
    EXPECT_EQ(b.sentSince(mark), (Bytes{0xFF, 0x85, 0x83, 0x80}));
    EXPECT_EQ(back.audioLevel, 77);
    EXPECT_FALSE(back.gain.has_value());  // the weather firmware keeps no gain
    b.diag.setGain(2);
    EXPECT_EQ(finishDiagnostics(b.diag, {40, 0}).gain, 2);
}

TEST(DiagnosticsForm, GainChoiceLivesInTwoBitsOfTheRadioFlags) {
    struct Row { std::uint8_t flags; int choice; };
    const Row rows[] = {{0x00, 0}, {0x81, 1}, {0x41, 2}, {0xC0, 2}};  // 16x wins when both are set
    for (const Row& r : rows) EXPECT_EQ(gainChoiceFromRadioFlags(r.flags), r.choice) << int(r.flags);
    EXPECT_EQ(radioFlagsWithGain(0xC1, 0), 0x01);  // USB KISS (bit 0) is kept
    EXPECT_EQ(radioFlagsWithGain(0x41, 1), 0x81);
    EXPECT_EQ(radioFlagsWithGain(0x81, 2), 0x41);
}

}  // namespace
}  // namespace varnel
