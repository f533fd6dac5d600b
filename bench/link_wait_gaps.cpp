#include "link_wait_gaps.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "config/device_target.h"
#include "config/settings_packing.h"
#include "emulator/emulator_runner.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "link/device_configuration.h"
#include "serial/posix_serial_port.h"
#include "link/staged_write.h"
#include "serial/system_serial_port.h"
#include "session/session.h"
#include "ui/qt_user_interface.h"
#include "ui/write_progress_dialog.h"

namespace varnel::bench {

namespace {

// A zero-interval timer fires on every turn of the event loop; the longest
// time between two firings is how long the window could not repaint.
WaitGap measure(const std::function<int()>& operation) {
    WaitGap gap;
    QElapsedTimer clock;
    qint64 last = 0;
    QTimer turn;
    turn.setInterval(0);
    QObject::connect(&turn, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        gap.longestGapMs = std::max(gap.longestGapMs, static_cast<double>(now - last) / 1e6);
        last = now;
        ++gap.turns;
    });
    turn.start();
    clock.start();
    gap.result = operation();
    const qint64 end = clock.nsecsElapsed();
    gap.longestGapMs = std::max(gap.longestGapMs, static_cast<double>(end - last) / 1e6);
    return gap;
}

struct Desktop {
    explicit Desktop(const EmulatorOptions& options) : emu(options), ui(session.link) {
        emu.start();
        session.port = makeSystemSerialPort();
        session.port->setWaitHandler(&ui);
    }
    ~Desktop() { session.port->closePort(); }
    EmulatorRunner emu;
    Session session;
    QtUserInterface ui;
};

}  // namespace

WaitGap gapDuringSilentConnect(int cancelAfterMs) {
    EmulatorOptions options;
    options.faults.silent = true;
    Desktop d(options);
    BootLink link(d.session, d.ui);
    d.session.link.linkAbort = LinkState::kAbortRunning;
    QTimer::singleShot(cancelAfterMs, [&] { d.session.link.linkAbort = LinkState::kAbortRequested; });
    return measure([&] { return static_cast<int>(Connector(link).connect(d.emu.slavePath(), true)); });
}

WaitGap gapDuringSettingsWrite() {
    EmulatorOptions options;
    options.realtime = true;
    Desktop d(options);
    Session& s = d.session;
    BootLink link(s, d.ui);
    s.link.linkAbort = LinkState::kAbortRunning;
    const ConnectResult connected = Connector(link).connect(d.emu.slavePath(), true);
    s.link.linkAbort = LinkState::kAbortIdle;
    if (connected != ConnectResult::Connected || readDeviceConfiguration(link, s) != 0) return WaitGap{0, 0, -1};
    s.image.reset();
    packSettings(s.image, s.target, {s.settings, s.radio, s.script});
    CWriteProgressDialog dialog({[&](WriteProgress& p) { return writeImage(link, p).status; }, {}});
    return measure([&] {
        dialog.start();
        return dialog.result();
    });
}

}  // namespace varnel::bench
