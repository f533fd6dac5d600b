#pragma once

#include "shell/front_end.h"

namespace varnel::win32 {

// The Windows front end's windows: each kind is its dialog, run modally over
// the active window.
class Win32Windows : public Windows {
public:
    int run(WindowKind kind, AppContext& context) override;
    int runConnect(AppContext& context, const std::string& extraPath) override;
    int runDiagnostics(AppContext& context, DiagnosticsSettings& settings) override;
    void runListing(AppContext& context, const std::string& title, const std::string& text) override;
    int runProgress(const std::function<int(WriteProgress&)>& write,
                    const std::function<std::string(int)>& noteFor) override;
    // On Windows slot n is COMn: sixteen slots, described when present.
    std::vector<PortSlot> portSlots(const std::string& extraPath) override;
};

}  // namespace varnel::win32
