#pragma once

namespace varnel {
struct Session;
class UserInterface;
}  // namespace varnel

namespace varnel::win32 {

class RegistrySettings;

// What the Windows program's windows work with: the session owned by main,
// the way to talk to the user, and the persistent settings.
struct WindowContext {
    Session& session;
    UserInterface& ui;
    RegistrySettings& settings;
};

}  // namespace varnel::win32
