// varnelcfg.exe: the desktop program on Windows. Settings in the registry,
// WinINet for the firmware lists, the common file dialogs and Win32 windows
// over the shell, which runs the program.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "serial/serial_port.h"
#include "serial/system_serial_port.h"
#include "link/tracker_backup.h"
#include "session/session.h"
#include "shell/app_context.h"
#include "shell/command_line.h"
#include "shell/config_app.h"
#include "win32/file_dialogs.h"
#include "win32/registry_settings.h"
#include "win32/win32_text.h"
#include "win32/win32_user_interface.h"
#include "win32/win32_windows.h"
#include "win32/wininet_http_client.h"

namespace {

// The command line as the framework hands it over: the arguments after the
// program's name, in UTF-8.
std::vector<std::string> arguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(varnel::win32::utf8FromWide(argv[i]));
    LocalFree(argv);
    return args;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace varnel;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                       ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    AppOptions options = parseAppOptions(arguments());
    win32::RegistrySettings settings;
    Session session;
    session.port = makeSystemSerialPort();
    session.metric = settings.metric();
    win32::Win32UserInterface ui(session.link);
    // Every wait on the port gives the windows a turn, so they repaint and
    // Cancel answers even inside a half-second read.
    session.port->setWaitHandler(&ui);
    win32::WinInetHttpClient http;
    win32::Win32FileChooser files;
    win32::Win32Windows windows;
    AppContext context{session,
                       ui,
                       http,
                       files,
                       settings,
                       windows,
                       options.firmwareServer.empty() ? settings.firmwareServer() : options.firmwareServer,
                       options.mirrorServer.empty() ? settings.mirrorServer() : options.mirrorServer,
                       defaultBackupFolder()};
    CConfigApp app(context, std::move(options));
    return app.run();
}
