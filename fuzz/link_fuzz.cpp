// The link against an emulated tracker on a faulty line: connect, a settings
// read, a settings write and a firmware load (JM128's staged load included),
// with the line's faults (flipped, lost, doubled, inserted and late bytes)
// chosen by the input, on a virtual clock. Besides crashes, hangs and
// undefined behaviour, it catches the one thing a user cannot see: an
// operation that ends in success with the wrong bytes. A connect that
// succeeds must hold the tracker's own identification, a read that succeeds
// its flash (both when at most one fault struck them), and a write that
// succeeds must leave the flash exactly as the same write on a clean line
// does (but for flash a stray erase emptied outside the write, which nothing
// on this link can see).
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "config/device_target.h"
#include "emulator/model/default_settings.h"
#include "emulator/model/device_model.h"
#include "emulator/model/model_serial_port.h"
#include "fuzz_input.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "link/device_configuration.h"
#include "link/staged_write.h"
#include "link/write_progress.h"
#include "session/session.h"

namespace varnel::fuzz {
namespace {

using Fault = ModelSerialPort::LineFault;

// Gives up a connect as the user at the connect window would, on the
// virtual clock: a tracker that stays away for a while is not coming.
class PatientUi : public SilentUi {
public:
    PatientUi(LinkClock& clock, LinkState& link) : clock_(clock), link_(link) {}
    void startDeadline(std::int64_t ms) { deadline_ = clock_.nowMs() + ms; }
    void pump() override {
        if (clock_.nowMs() > deadline_) link_.linkAbort = LinkState::kAbortRequested;
    }

private:
    LinkClock& clock_;
    LinkState& link_;
    std::int64_t deadline_ = INT64_MAX;
};

[[noreturn]] void wrongSuccess(const char* what) {
    std::fprintf(stderr, "link fuzz: %s ended in success with wrong bytes\n", what);
    std::abort();
}

// A read is trusted once two replies agree, so two faults that hit two
// replies alike (the fuzzer aims them byte for byte) defeat it, as they would
// any check made by asking again; on a real line they are as good as never
// alike. Reads and the connect are judged when fewer than two faults struck.
bool twoFaultsSince(const ModelSerialPort& port, std::size_t firedBefore) {
    return port.faultsFired() - firedBefore >= 2;
}

bool sameInfo(const DeviceInfo& a, const DeviceInfo& b) {
    return a.validStart == b.validStart && a.validEnd == b.validEnd && a.redirectBase == b.redirectBase &&
           a.vectorLow == b.vectorLow && a.eraseBlockSize == b.eraseBlockSize && a.writeBlockSize == b.writeBlockSize &&
           a.redirectPrologue == b.redirectPrologue && a.deviceId == b.deviceId;
}

bool flashHolds(const DeviceModel& model, const FlashImage& image, std::uint32_t start, std::uint32_t size) {
    for (std::uint32_t a = start; a < start + size; ++a)
        if (model.flash().read(a) != image.bytes[a]) return false;
    return true;
}

// The same write from the same tracker state on a clean line: what the
// flash must look like after a write that says it succeeded.
std::vector<std::uint8_t> cleanWriteResult(const DeviceModel& before, const ModelSerialPort& port, const Session& host,
                                           const FlashImage& image, bool& succeeded) {
    DeviceModel model = before;
    (void)model.takeOutput();
    ModelSerialPort line(model, port.nowMs());
    SilentUi ui;
    line.openPort("emu", std::to_string(port.speed()), ui);
    auto session = std::make_unique<Session>();
    session->link = host.link;
    session->target = host.target;
    session->image = image;
    BootLink boot(line, session->link, session->target, session->image, ui);
    boot.setClock(line);
    NoWriteProgress progress;
    succeeded = writeImage(boot, progress).status == 0;
    return model.flash().cells();
}

void checkedWrite(const char* what, DeviceModel& model, ModelSerialPort& port, Session& session, BootLink& boot) {
    model.clearLog();  // the copy below need not carry it
    const DeviceModel before = model;
    const FlashImage image = session.image;
    NoWriteProgress progress;
    if (writeImage(boot, progress).status != 0) return;
    bool cleanSucceeded = false;
    const auto expected = cleanWriteResult(before, port, session, image, cleanSucceeded);
    // When even a clean line fails from here, the tracker was already in a
    // state no write can be judged from (a command left half-heard, say).
    if (!cleanSucceeded) return;
    // Every byte the write was given must be right. Outside them a block the
    // line sent astray may only have emptied flash: an erase request whose
    // address changed is acknowledged like any other, and only reading the
    // whole flash back could show it. A stray write the tool must catch.
    const auto& cells = model.flash().cells();
    for (std::size_t a = 0; a < cells.size(); ++a) {
        if (cells[a] == expected[a]) continue;
        if (image.touched[a] != kUntouched || cells[a] != 0xFF) wrongSuccess(what);
    }
}

void run(Input& in) {
    const std::string chipName = in.chip();
    const EmulatedChip& chip = *findEmulatedChip(chipName);
    const std::uint8_t flags = in.byte();
    const std::uint8_t edit = in.byte();
    DeviceModel model(chip);
    writeDefaultSettings(model.flash(), chip);
    if (chip.hasUsb && (flags & 0x02)) model.setUsbCdc(true);

    ModelSerialPort port(model);
    std::uint64_t at[2] = {0, 0};
    while (in.restSize() >= 4) {
        const std::uint8_t head = in.byte();
        const std::uint16_t gap = static_cast<std::uint16_t>(in.byte() << 8 | in.byte());
        const auto way = head & 0x80 ? ModelSerialPort::Way::ToTracker : ModelSerialPort::Way::ToHost;
        std::uint64_t& next = at[static_cast<int>(way)];
        next += gap;
        port.addFault({way, next, static_cast<ModelSerialPort::FaultKind>((head & 0x7F) % 5), in.byte()});
    }

    auto session = std::make_unique<Session>();
    PatientUi ui(port, session->link);
    BootLink boot(port, session->link, session->target, session->image, ui);
    boot.setClock(port);

    session->link.linkAbort = LinkState::kAbortRunning;
    ui.startDeadline(20000);
    std::size_t firedBefore = port.faultsFired();
    const ConnectResult connected = Connector(boot).connect("emu", (flags & 0x01) != 0);
    ui.startDeadline(INT64_MAX / 2);
    session->link.linkAbort = LinkState::kAbortIdle;
    if (connected != ConnectResult::Connected) return;
    if (!sameInfo(session->link.deviceInfo, model.deviceInfo()) && !twoFaultsSince(port, firedBefore))
        wrongSuccess("connect");
    selectTarget(session->target, session->link.chipName);
    const DeviceTarget& target = session->target;
    if (target.kind == KindNone) return;

    if (flags & 0x04) {
        const DeviceModel before = model;
        firedBefore = port.faultsFired();
        if (readDeviceConfiguration(boot, *session) == 0 && !twoFaultsSince(port, firedBefore)) {
            if (!flashHolds(before, session->image, target.settingsAddress, target.settingsSize) ||
                (target.hasScript() && !flashHolds(before, session->image, target.scriptAddress, kScriptAreaSize)))
                wrongSuccess("settings read");
        }
    }

    if (flags & 0x08) {
        // The settings as the tracker holds them, a few bytes edited.
        FlashImage& image = session->image;
        image.reset();
        for (std::uint32_t i = 0; i < target.settingsSize; ++i) {
            const std::uint32_t a = target.settingsAddress + i;
            image.bytes[a] = model.flash().read(a);
            if ((i * 31 + edit) % 97 == 0) image.bytes[a] ^= edit | 1;
            image.touched[a] = kTouchedData;
        }
        checkedWrite("settings write", model, port, *session, boot);
    }

    if (flags & 0x10) {
        // A small firmware: its start, and for JM128 (whose load stages the
        // low 0x7000 bytes) a span above the staging area too.
        FlashImage& image = session->image;
        image.reset();
        auto fill = [&](std::uint32_t from, std::uint32_t to) {
            for (std::uint32_t a = from; a < to; ++a) {
                image.bytes[a] = static_cast<std::uint8_t>(a * 13 + edit);
                image.touched[a] = kTouchedData;
            }
        };
        if (target.kind == KindJM128) {
            fill(0x0000, 0x0100);
            fill(0x18000, 0x18100);
        } else {
            const std::uint32_t start = session->link.deviceInfo.validStart;
            fill(start, start + 0x300);
        }
        checkedWrite("firmware load", model, port, *session, boot);
    }
}

}  // namespace
}  // namespace varnel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    varnel::fuzz::Input in(data, size);
    varnel::fuzz::run(in);
    return 0;
}
