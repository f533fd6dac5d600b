// varnelcfg in the browser: the same shell as the desktop programs, its
// windows generated from the same layouts, over the page's event queue.
// Settings in local storage, fetch for the firmware lists, the ports the user
// grants over Web Serial and the trackers the page emulates.
#include <memory>
#include <string>

#include "emulator/model/model_serial_port.h"
#include "session/session.h"
#include "shell/app_context.h"
#include "shell/command_line.h"
#include "shell/config_app.h"
#include "web/backup_storage.h"
#include "web/emulated_trackers.h"
#include "web/fetch_http_client.h"
#include "web/local_settings.h"
#include "web/page_loop.h"
#include "web/page_user_interface.h"
#include "web/page_windows.h"
#include "web/page_file_chooser.h"
#include "web/page_serial_port.h"
#include "serial/web_serial_port.h"

int main() {
    using namespace varnel;
    web::PageLoop loop;
    web::EmulatedTrackers trackers;
    web::LocalSettings settings;
    web::PageUserInterface ui(loop);
    web::FetchHttpClient http;
    web::PageFileChooser files(loop);
    web::PageWindows windows(loop, trackers);
    web::granted_ports::awaitKnown();
    const std::string backups = "/backups";
    web::openBackupStorage(backups);
    // The page runs the program as the desktop starts it without arguments;
    // when it ends, it starts again as a fresh program would, with a
    // session of its own (the emulated trackers keep their flash).
    for (;;) {
        Session session;
        // Every wait on a port gives the browser its turn, so the page
        // repaints and answers clicks even inside a half-second read.
        auto serial = std::make_unique<web::WebSerialPort>();
        auto emulated = std::make_unique<ModelSerialPort>(
            [&trackers](const std::string& path) { return trackers.modelFor(path); }, ModelSerialPort::Time::Real);
        serial->setWaitHandler(&ui);
        emulated->setWaitHandler(&ui);
        session.port = std::make_unique<web::PageSerialPort>(std::move(serial), std::move(emulated));
        session.metric = settings.metric();
        AppContext context{
            session, ui, http, files, settings, windows, settings.firmwareServer(), settings.mirrorServer(), backups};
        CConfigApp app(context, AppOptions{});
        app.run();
    }
}
