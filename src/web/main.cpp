// varnelcfg in the browser: the same shell as the desktop programs, its
// windows generated from the same layouts, over the page's event queue.
// Settings in local storage, fetch for the firmware lists, and the trackers
// the page emulates.
#include <memory>

#include "emulator/model_port.h"
#include "session/session.h"
#include "shell/app_context.h"
#include "shell/command_line.h"
#include "shell/config_app.h"
#include "web/emulated_trackers.h"
#include "web/fetch_http_client.h"
#include "web/local_settings.h"
#include "web/page_loop.h"
#include "web/page_user_interface.h"
#include "web/page_windows.h"
#include "web/page_file_chooser.h"

int main() {
    using namespace varnel;
    web::PageLoop loop;
    web::EmulatedTrackers trackers;
    web::LocalSettings settings;
    Session session;
    session.port = std::make_unique<ModelPort>([&trackers](const std::string& path) { return trackers.modelFor(path); });
    session.metric = settings.metric();
    web::PageUserInterface ui(loop);
    // Every wait on the port gives the browser its turn, so the page
    // repaints and answers clicks even inside a half-second read.
    session.port->setWaitHandler(&ui);
    web::FetchHttpClient http;
    web::PageFileChooser files;
    web::PageWindows windows(loop, trackers);
    AppContext context{session, ui, http, files, settings, windows,
                       settings.firmwareServer(), settings.mirrorServer(), "/backups"};
    // The page starts as the desktop program does without arguments; when
    // it ends the connect window comes back.
    for (;;) {
        CConfigApp app(context, AppOptions{});
        app.run();
    }
}
