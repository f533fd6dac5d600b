#pragma once

#include "shell/front_end.h"
#include "win32/modal_dialog.h"

namespace varnel::win32 {

// The shell's result of a window from the result Windows ended it with:
// Escape and Cancel are IDCANCEL, OK is IDOK (kResultAccepted).
inline int shellResult(INT_PTR result) {
    return result == IDCANCEL || result < 0 ? kResultRejected : static_cast<int>(result);
}

// A shell view (TrackerView, ConnectView...) whose WindowHost part is the
// dialog `Dialog` derives from this and from ModalDialog.
template <class View, class Dialog>
class DialogHost : public View {
public:
    void startTimer(int id, int intervalMs) override { dialog().startWindowTimer(id, intervalMs); }
    void stopTimer(int id) override { dialog().stopWindowTimer(id); }
    void pause(int ms) override { ModalDialog::pause(ms); }
    void end(int result) override { dialog().finish(result == kResultRejected ? IDCANCEL : result); }

private:
    Dialog& dialog() { return static_cast<Dialog&>(*this); }
};

}  // namespace varnel::win32
