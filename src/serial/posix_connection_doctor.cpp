#include "serial/connection_doctor.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "serial/linux_connection_checks.h"
#include "serial/port_open_reason.h"

// The connection doctor on Linux: the checks over this machine's own files,
// user and group databases and devices.

namespace varnel {

namespace {

class RealLinuxSystem : public LinuxSystemView {
public:
    explicit RealLinuxSystem(bool openedHere = false) : LinuxSystemView("/"), openedHere_(openedHere) {}

    LinuxLogin login() const override {
        LinuxLogin login;
        login.uid = ::getuid();
        login.gid = ::getgid();
        const int count = ::getgroups(0, nullptr);
        std::vector<gid_t> groups(count > 0 ? static_cast<std::size_t>(count) : 0);
        if (count > 0 && ::getgroups(count, groups.data()) == count) login.groups.assign(groups.begin(), groups.end());
        if (const passwd* user = ::getpwuid(login.uid)) {
            login.user = user->pw_name;
            login.databaseGid = user->pw_gid;
        }
        return login;
    }

    std::optional<LinuxGroup> group(unsigned gid) const override {
        const struct group* g = ::getgrgid(gid);
        if (!g) return std::nullopt;
        LinuxGroup group{g->gr_name, {}};
        for (char** member = g->gr_mem; member && *member; ++member) group.members.push_back(*member);
        return group;
    }

    std::string userName(unsigned uid) const override {
        const passwd* user = ::getpwuid(uid);
        return user ? user->pw_name : "";
    }

    std::optional<LinuxNode> node(const std::string& path) const override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return std::nullopt;
        return LinuxNode{st.st_uid, st.st_gid, st.st_mode & 07777u, S_ISCHR(st.st_mode)};
    }

    // Opened as the serial port opens it; the tracker tools (and most
    // serial programs) also take an advisory lock, which shows a holder an
    // open alone would not.
    LinuxOpen open(const std::string& path) const override {
        LinuxOpen result;
        // Our own open holds the lock and the exclusive open: it would name
        // this program as the holder.
        if (openedHere_) return result;
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            result.error = errno;
            result.held = result.error == EBUSY;
        } else {
            result.held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
            ::close(fd);
        }
        if (result.held) result.holder = describePortHolder(path);
        return result;
    }

    std::string environment(const std::string& name) const override {
        const char* value = std::getenv(name.c_str());
        return value ? value : "";
    }

private:
    bool openedHere_;
};

}  // namespace

std::vector<DoctorFinding> connectionReport(const std::string& port) {
    return linuxConnectionChecks(RealLinuxSystem(), port, true);
}

std::vector<DoctorFinding> portFindings(const std::string& port, bool openedHere) {
    std::vector<DoctorFinding> findings = linuxConnectionChecks(RealLinuxSystem(openedHere), port, false);
    std::erase_if(findings, [](const DoctorFinding& f) { return f.level == FindingLevel::Ok; });
    return findings;
}

std::string describePortOpenFailure(const std::string& path) { return linuxPortOpenFailure(RealLinuxSystem(), path); }

}  // namespace varnel
