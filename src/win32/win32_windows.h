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
    int runProgress(const ProgressTask& task) override;
};

}  // namespace varnel::win32
