#include "link/port_open_reason.h"

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace varnel {

namespace {

std::string inUse(const std::string& path) {
    const std::string holder = describePortHolder(path);
    return path + " is in use by " + (holder.empty() ? "another program" : holder) + "; close it and try again.";
}

}  // namespace

std::string describePortHolder(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path device = fs::canonical(path, ec);
    if (ec) return {};
    const std::string self = std::to_string(::getpid());
    // Every process's open files are links under /proc/PID/fd; those of other
    // users' processes are not readable and are passed over.
    for (const auto& proc : fs::directory_iterator("/proc", ec)) {
        const std::string pid = proc.path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
        std::error_code fdError;
        for (const auto& fd : fs::directory_iterator(proc.path() / "fd", fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd.path(), linkError) != device || linkError) continue;
            std::string name;
            std::getline(std::ifstream(proc.path() / "comm"), name);
            return (name.empty() ? "process" : name) + " (pid " + pid + ")";
        }
    }
    return {};
}

std::string describePortOpenFailure(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM) {
            std::string groupName = "dialout";  // Debian's group for serial devices
            struct stat st {};
            if (::stat(path.c_str(), &st) == 0) {
                if (const struct group* g = ::getgrgid(st.st_gid)) groupName = g->gr_name;
            }
            return "Permission denied on " + path + ": add your user to the group \"" + groupName +
                   "\" (sudo usermod -aG " + groupName +
                   " $USER), then log out and in again so the new group takes effect.";
        }
        if (error == EBUSY) return inUse(path);
        if (error == ENOENT) return path + " does not exist; is the tracker's cable plugged in?";
        return {};
    }
    // Opened: the device may still be held through the advisory lock the
    // tracker tools (and most serial programs) take.
    std::string reason;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) reason = inUse(path);
    ::close(fd);
    return reason;
}

}  // namespace varnel
