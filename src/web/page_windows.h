#pragma once

#include "shell/front_end.h"
#include "web/emulated_trackers.h"
#include "web/page_loop.h"

namespace varnel::web {

// The shell's Windows in the page: each WindowKind its generated window,
// opened as a dialog over the page. Its own ports are the emulated trackers;
// the browser's chooser grants more.
class PageWindows : public Windows {
public:
    PageWindows(PageLoop& loop, EmulatedTrackers& trackers) : loop_(loop), trackers_(trackers) {}

    int run(WindowKind kind, AppContext& context) override;
    int runConnect(AppContext& context, const std::string& extraPath) override;
    int runDiagnostics(AppContext& context, DiagnosticsSettings& settings) override;
    void runListing(AppContext& context, const std::string& title, const std::string& text) override;
    int runProgress(const ProgressTask& task) override;
    std::vector<PortSlot> ownPorts() override;
    bool canAddPorts() const override;
    std::string addPort() override;

private:
    PageLoop& loop_;
    EmulatedTrackers& trackers_;
};

}  // namespace varnel::web
