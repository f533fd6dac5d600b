#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "serial/connection_doctor.h"

namespace varnel {

// Who this process runs as: its user and the groups the kernel gave this
// login when it started (getgroups), which a group joined since lacks.
struct LinuxLogin {
    unsigned uid = 0;
    std::string user;              // "" when the user database has no name for uid
    unsigned gid = 0;              // the process's own group
    std::vector<unsigned> groups;  // its supplementary groups
    unsigned databaseGid = 0;      // the user's group in the user database
};

// A group as the group database has it.
struct LinuxGroup {
    std::string name;
    std::vector<std::string> members;
};

// A device node's owner and mode bits, as stat gives them.
struct LinuxNode {
    unsigned uid = 0;
    unsigned gid = 0;
    unsigned mode = 0;  // permission bits (0660)
    bool characterDevice = true;
};

// What opening a device read-write found: 0 (it opened), or the errno of
// the failed open; and whether another program holds it (its lock, or an
// exclusive open), named as "minicom (pid 1234)" where it can be seen.
struct LinuxOpen {
    int error = 0;
    bool held = false;
    std::string holder;
};

// The system the checks read. Files (sysfs under sys/, proc/, dev/, run/,
// etc/, usr/) are read under root(); what is no file comes through the
// calls, which a test answers from its own tables.
class LinuxSystemView {
public:
    explicit LinuxSystemView(std::filesystem::path root) : root_(std::move(root)) {}
    virtual ~LinuxSystemView() = default;
    const std::filesystem::path& root() const { return root_; }

    virtual LinuxLogin login() const = 0;
    virtual std::optional<LinuxGroup> group(unsigned gid) const = 0;
    // The user database's name of a uid ("root"), "" when it has none.
    virtual std::string userName(unsigned uid) const = 0;
    // The node a path leads to (links followed); nullopt when there is none.
    virtual std::optional<LinuxNode> node(const std::string& path) const = 0;
    virtual LinuxOpen open(const std::string& path) const = 0;
    virtual std::string environment(const std::string& name) const = 0;

private:
    std::filesystem::path root_;
};

// The Linux checks, about `port` too when it is not "" (a path, or a slot
// name resolved against the ports found). With wholeReport false only what
// concerns that port: its node, its permission and holder, its adapter and
// the services that touch it.
std::vector<DoctorFinding> linuxConnectionChecks(const LinuxSystemView& system, const std::string& port,
                                                 bool wholeReport = true);

// The first problem of opening this port (no such device, permission,
// another program holding it) as one sentence, "" when it opens and nobody
// holds it: what "Can't open serial port" is followed by.
std::string linuxPortOpenFailure(const LinuxSystemView& system, const std::string& path);

}  // namespace varnel
