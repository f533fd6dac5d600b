#include <QApplication>
#include <QIcon>
#include <iostream>

#include "serial/serial_port.h"
#include "serial/system_serial_port.h"
#include "link/tracker_backup.h"
#include "session/session.h"
#include "shell/command_line.h"
#include "shell/config_app.h"
#include "ui/accessibility.h"
#include "ui/app_settings.h"
#include "ui/file_chooser.h"
#include "ui/qt_http_client.h"
#include "ui/qt_user_interface.h"
#include "ui/qt_windows.h"

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    varnel::AppOptions options = varnel::parseAppOptions(args);
    // Answered before Qt starts, so they work without a display.
    if (options.help || options.version) {
        std::cout << (options.help ? varnel::appUsage() : varnel::appVersionText());
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(varnel::app_settings::kOrganisation);
    QApplication::setApplicationName(varnel::app_settings::kApplication);
    QApplication::setApplicationVersion(VARNEL_VERSION);
    QApplication::setWindowIcon(QIcon(":/icons/varnelcfg.svg"));
    QApplication::setDesktopFileName("com.brenvale.varnelcfg");
    varnel::installAccessibleNames();

    varnel::Session session;
    session.port = varnel::makeSystemSerialPort();
    session.metric = varnel::app_settings::metric();
    varnel::QtUserInterface ui(session.link);
    // Every wait on the port gives the window a turn, so it repaints and
    // Cancel answers even inside a half-second read.
    session.port->setWaitHandler(&ui);
    varnel::QtHttpClient http;
    varnel::QtFileChooser files;
    varnel::QtAppSettings settings;
    varnel::QtWindows windows;
    varnel::AppContext context{
        session,
        ui,
        http,
        files,
        settings,
        windows,
        options.firmwareServer.empty() ? varnel::app_settings::firmwareServer().toStdString() : options.firmwareServer,
        options.mirrorServer.empty() ? varnel::app_settings::mirrorServer().toStdString() : options.mirrorServer,
        varnel::defaultBackupFolder()};

    varnel::CConfigApp configApp(context, std::move(options));
    return configApp.run();
}
