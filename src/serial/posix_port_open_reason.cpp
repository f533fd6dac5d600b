#include "serial/port_open_reason.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace varnel {

namespace {

std::string processName(const std::string& pid) {
    std::string name;
    std::getline(std::ifstream("/proc/" + pid + "/comm"), name);
    return (name.empty() ? "process" : name) + " (pid " + pid + ")";
}

// The process holding an advisory lock on the device, from /proc/locks
// ("1: FLOCK  ADVISORY  WRITE 1234 00:19:3 0 EOF": the pid, then the
// filesystem's major:minor in hex and the inode). Waiting requests ("->")
// hold nothing.
std::string lockHolderPid(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    char device[64];
    std::snprintf(device, sizeof device, "%02x:%02x:%llu", ::major(st.st_dev), ::minor(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, where;
        fields >> number >> kind;
        if (kind == "->") continue;
        fields >> mode >> access >> pid >> where;
        if (where == device) return pid;
    }
    return {};
}

}  // namespace

std::string describePortHolder(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path device = fs::canonical(path, ec);
    if (ec) return {};
    const std::string self = std::to_string(::getpid());
    // The lock names the program that took the port. Merely having it open
    // says less: varnel-emu keeps its pseudo-terminal's far end open all the
    // time, and would be named for a port another program holds.
    const std::string locker = lockHolderPid(device.string());
    if (!locker.empty() && locker != self) return processName(locker);

    // Without a lock, the one other process that has it open, if there is
    // exactly one. Every process's open files are links under /proc/PID/fd;
    // those of other users' processes are not readable and are passed over.
    std::vector<std::string> openers;
    for (const auto& proc : fs::directory_iterator("/proc", ec)) {
        const std::string pid = proc.path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
        std::error_code fdError;
        for (const auto& fd : fs::directory_iterator(proc.path() / "fd", fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd.path(), linkError) != device || linkError) continue;
            openers.push_back(pid);
            break;
        }
    }
    return openers.size() == 1 ? processName(openers.front()) : std::string();
}

}  // namespace varnel
