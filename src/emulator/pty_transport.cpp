#include "emulator/pty_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace varnel {

std::uint32_t baudOfSpeedCode(unsigned code) {
    struct Pair {
        speed_t code;
        std::uint32_t baud;
    };
    static constexpr Pair kSpeeds[] = {
        {B300, 300},     {B600, 600},     {B1200, 1200},   {B2400, 2400},     {B4800, 4800},     {B9600, 9600},
        {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
    };
    for (const auto& p : kSpeeds)
        if (p.code == code) return p.baud;
    return 0;
}

PtyTransport::PtyTransport() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error(std::string("cannot open a pseudo-terminal: ") + std::strerror(errno));
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("cannot name the pseudo-terminal");
    slavePath_ = name;

    slaveKeep_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slaveKeep_ < 0) throw std::runtime_error("cannot open the pseudo-terminal's slave side");
    // Raw from the start: a line discipline that echoes or translates would
    // corrupt the bootloader's bytes before the host sets its own mode.
    termios t{};
    tcgetattr(slaveKeep_, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    tcsetattr(slaveKeep_, TCSANOW, &t);

    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0) inotify_add_watch(inotify_, name, IN_OPEN | IN_CLOSE);

    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) throw std::runtime_error("cannot create a pipe");
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
}

PtyTransport::~PtyTransport() {
    hangUp();
    for (int fd : {inotify_, wakeRead_, wakeWrite_})
        if (fd >= 0) close(fd);
    if (!linkPath_.empty()) unlink(linkPath_.c_str());
}

bool PtyTransport::linkTo(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            errno = EEXIST;
            return false;
        }
        unlink(path.c_str());
    }
    if (symlink(slavePath_.c_str(), path.c_str()) != 0) return false;
    linkPath_ = path;
    return true;
}

bool PtyTransport::drainEvents() {
    if (inotify_ < 0) return false;
    bool any = false;
    alignas(inotify_event) char buf[4096];
    for (;;) {
        const ssize_t n = read(inotify_, buf, sizeof buf);
        if (n <= 0) break;
        any = true;
    }
    return any;
}

std::uint32_t PtyTransport::hostSpeed() const {
    if (master_ < 0) return 0;
    termios t{};
    if (tcgetattr(master_, &t) != 0) return 0;  // on a master this reads the slave's settings
    return baudOfSpeedCode(cfgetospeed(&t));
}

std::optional<PtyInput> PtyTransport::poll(int timeoutMs) {
    if (master_ < 0) return std::nullopt;
    // While an open or close is unsettled, look again soon for a quiet moment.
    if (changed_ && (timeoutMs < 0 || timeoutMs > 5)) timeoutMs = 5;
    pollfd fds[3] = {{master_, POLLIN, 0}, {inotify_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    ::poll(fds, 3, timeoutMs);
    if (fds[2].revents & POLLIN) {
        char sink[64];
        while (read(wakeRead_, sink, sizeof sink) > 0) {
        }
    }

    changed_ = drainEvents() || changed_;
    PtyInput input;
    std::uint8_t buf[4096];
    for (;;) {
        const ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0) break;
        input.bytes.insert(input.bytes.end(), buf, buf + n);
    }
    if (input.bytes.empty()) {
        // Nothing from before the open or close is still waiting, so what
        // comes next belongs to the session now open.
        changed_ = false;
        return std::nullopt;
    }
    const std::uint32_t speed = hostSpeed();
    const bool changedSince = drainEvents();
    input.speed = (changed_ || changedSince) ? 0 : speed;
    changed_ = changedSince;
    return input;
}

void PtyTransport::wake() {
    if (wakeWrite_ >= 0) {
        const char c = 1;
        [[maybe_unused]] auto n = write(wakeWrite_, &c, 1);
    }
}

void PtyTransport::send(const std::vector<std::uint8_t>& bytes) {
    if (master_ < 0) return;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;  // nobody is reading: the bytes are lost, as on a real line
        done += static_cast<std::size_t>(n);
    }
}

void PtyTransport::hangUp() {
    if (slaveKeep_ >= 0) close(slaveKeep_);
    if (master_ >= 0) close(master_);
    slaveKeep_ = master_ = -1;
}

}  // namespace varnel
