#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "forms/diagnostics/diagnostics_form.h"
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

TEST(DiagnosticsForm, StartShowsTheReceiveControlsOnJm60OnlyAndTheSliderFromOne) {
    for (TargetKind kind : {KindJM60, KindAP64}) {
        Bench b(kind);
        startDiagnostics(b.form, b.diag, {0, 7});  // an unknown gain choice means 16x, and goes back so
        const bool jm60 = kind == KindJM60;
        EXPECT_EQ(b.form.receiveLevelShown, jm60);
        EXPECT_EQ(b.form.gain4x.visible, jm60);
        EXPECT_EQ(b.form.receiveGainLabel.visible, jm60);
        EXPECT_TRUE(b.form.gain16x.checked && !b.form.gain1x.checked);
        EXPECT_EQ(b.form.audioLevel.position, 1);       // the tracker was told 0
        EXPECT_EQ(b.form.receiveLevel, jm60 ? 20 : 0);  // 16x: |138 - 128| * 2
        EXPECT_TRUE(b.form.redLed.checked && b.form.pair1200.checked && !b.form.greenLed.checked);
        EXPECT_EQ(finishDiagnostics(b.diag, {0, 7}).gain, 2);
    }
}

TEST(DiagnosticsForm, EachEventSendsItsBytes) {
    struct Event {
        int id;
        void (*set)(DiagnosticsForm&);
        Bytes sent;
    };
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
        {id::kSensors, [](DiagnosticsForm&) {}, {0x8A, 0x8A, 0x8B, 0x8B, 0x8E}},
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
    EXPECT_EQ(b.form.receiveLevel, 20);
}

}  // namespace
}  // namespace varnel
