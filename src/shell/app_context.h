#pragma once

#include <string>

namespace varnel {

struct Session;
class UserInterface;
class HttpClient;
class FileChooser;
class AppSettings;
class Windows;

// What every window of the desktop program works with: the session owned by
// main, the way to talk to the user, and the front end's services (network,
// file dialogs, settings, the windows it opens).
struct AppContext {
    Session& session;
    UserInterface& ui;
    HttpClient& http;
    FileChooser& files;
    AppSettings& settings;
    Windows& windows;
    std::string firmwareServer;  // host[:port] of the release lists
    std::string mirrorServer;    // host[:port] of the firmware files
    std::string backupFolder;    // where the settings are kept before each write
};

}  // namespace varnel
