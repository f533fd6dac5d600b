#include "link/port_open_reason.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace varnel {

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
        if (error == EBUSY) return path + " is in use by another program; close it and try again.";
        if (error == ENOENT) return path + " does not exist; is the tracker's cable plugged in?";
        return {};
    }
    // Opened: the device may still be held through the advisory lock the
    // tracker tools (and most serial programs) take.
    std::string reason;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        reason = path + " is in use by another program; close it and try again.";
    ::close(fd);
    return reason;
}

}  // namespace varnel
