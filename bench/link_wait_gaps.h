#pragma once

namespace varnel::bench {

// How long the desktop program's event loop went without a turn while the
// link waited. A QApplication must exist.
struct WaitGap {
    double longestGapMs = 0;
    int turns = 0;
    int result = 0;  // what the link operation returned
};

// A connect to a tracker that never answers, cancelled after cancelAfterMs
// the way the connect dialog's Cancel button does it.
WaitGap gapDuringSilentConnect(int cancelAfterMs);
// A settings write in the progress dialog to an AP64 in the real-time model.
WaitGap gapDuringSettingsWrite();

}  // namespace varnel::bench
