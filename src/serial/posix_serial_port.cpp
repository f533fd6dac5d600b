#include "serial/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/serial.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "core/user_interface.h"
#include "serial/serial_timing.h"
#include "serial/port_resolver.h"
#include "serial/serial_messages.h"
#include "serial/system_serial_port.h"

namespace varnel {

namespace {

using Clock = std::chrono::steady_clock;

// The longest sleep between two looks at the output queue while a write drains.
constexpr long kDrainStepMaxUs = 10000;

int msUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool speedConstant(unsigned long baud, speed_t& out) {
    struct Row {
        unsigned long baud;
        speed_t code;
    };
    static const Row rows[] = {
        {1200, B1200},   {2400, B2400},     {4800, B4800},     {9600, B9600}, {19200, B19200}, {38400, B38400},
        {57600, B57600}, {115200, B115200}, {230400, B230400}, {300, B300},   {600, B600},     {1800, B1800},
    };
    for (const auto& r : rows)
        if (r.baud == baud) {
            out = r.code;
            return true;
        }
    return false;
}

// Pseudo-terminals and some adapters have no modem lines; their ioctls fail
// with ENOTTY or EINVAL, which is harmless here.
void setModemLine(int fd, unsigned long request, int bit) {
    int bits = bit;
    (void)ioctl(fd, request, &bits);
}

}  // namespace

PosixSerialPort::~PosixSerialPort() { release(); }

// A USB-serial adapter holds a short reply until its latency timer runs out
// (16 ms by default), and the bootloader answers every erase, write and read
// with a few bytes only: asking the driver for low latency makes supporting
// drivers use their shortest timer. Pseudo-terminals and built-in UARTs
// refuse or ignore the request, which changes nothing.
void PosixSerialPort::requestLowLatency() {
    savedSerialFlags_.reset();
#ifdef __linux__
    serial_struct info{};
    if (ioctl(fd_, TIOCGSERIAL, &info) != 0) return;
    const int previous = info.flags;
    if (previous & ASYNC_LOW_LATENCY) return;
    info.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(fd_, TIOCSSERIAL, &info) == 0) savedSerialFlags_ = previous;
#endif
}

// Puts back the driver's own latency setting, for whatever opens the
// device after us.
void PosixSerialPort::restoreLatency() {
#ifdef __linux__
    serial_struct info{};
    if (savedSerialFlags_ && ioctl(fd_, TIOCGSERIAL, &info) == 0) {
        info.flags = (info.flags & ~ASYNC_LOW_LATENCY) | (*savedSerialFlags_ & ASYNC_LOW_LATENCY);
        (void)ioctl(fd_, TIOCSSERIAL, &info);
    }
#endif
    savedSerialFlags_.reset();
}

int PosixSerialPort::openPort(const std::string& name, const std::string& speed, UserInterface& ui) {
    path_ = resolvePortName(name);
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        ui.message(serial_messages::kCantOpen, MessageKind::Error);
        return -1;
    }
    // TIOCEXCL alone does not keep out root, so a second program is also
    // refused by the advisory lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        ui.message(serial_messages::kCantOpen, MessageKind::Error);
        return -1;
    }
    fd_ = fd;

    // Every write drains before it returns, so there is never untransmitted
    // output to drop; an output purge here would even eat bytes a
    // pseudo-terminal's far side has not read yet. Stale input goes.
    tcflush(fd_, TCIFLUSH);

    unsigned long baud = 0;
    speed_t code{};
    if (!parsePortSpeed(speed, baud)) {
        release();
        ui.message(serial_messages::kInvalidSpeed, MessageKind::Error);
        return -1;
    }
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0 || !speedConstant(baud, code)) {
        release();
        ui.message(serial_messages::kUnableToAccess, MessageKind::Error);
        return -1;
    }
    // Raw binary line: 8 data bits, no parity, one stop bit, no flow control
    // of either kind, no character translation.
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, code);
    cfsetospeed(&tio, code);
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) {
        release();
        ui.message(serial_messages::kUnableToAccess, MessageKind::Error);
        return -1;
    }
    // The time-outs are kept by poll on a non-blocking descriptor.
    const int flags = fcntl(fd_, F_GETFL);
    if (flags < 0 || fcntl(fd_, F_SETFL, flags | O_NONBLOCK) != 0) {
        std::fprintf(stderr, serial_messages::kCantSetTimeouts, path_.c_str());
        release();
        return -1;
    }
    requestLowLatency();
    // The trackers reset on DTR: drop it, and keep RTS asserted.
    setModemLine(fd_, TIOCMBIC, TIOCM_DTR);
    setModemLine(fd_, TIOCMBIS, TIOCM_RTS);
    baud_ = baud;
    lineErrorsSeen_ = lineErrorCount().value_or(0);
    return 1;
}

std::optional<long> PosixSerialPort::lineErrorCount() const {
#if defined(__linux__) && defined(TIOCGICOUNT)
    serial_icounter_struct counts{};
    if (fd_ < 0 || ioctl(fd_, TIOCGICOUNT, &counts) != 0) return std::nullopt;
    return static_cast<long>(counts.frame) + counts.overrun + counts.parity + counts.brk + counts.buf_overrun;
#else
    return std::nullopt;
#endif
}

int PosixSerialPort::takeLineErrors() {
    const std::optional<long> now = lineErrorCount();
    if (!now) return 0;
    const long fresh = *now - lineErrorsSeen_;
    lineErrorsSeen_ = *now;
    return fresh > 0 ? static_cast<int>(std::min<long>(fresh, 1 << 20)) : 0;
}

void PosixSerialPort::release() {
    if (fd_ < 0) return;
    restoreLatency();
    // TIOCEXCL would outlive the close while the far side holds the line,
    // and then refuse our own reopening at the next speed.
    (void)ioctl(fd_, TIOCNXCL);
    (void)::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

int PosixSerialPort::closePort() {
    if (fd_ < 0) return -1;
    restoreLatency();
    (void)ioctl(fd_, TIOCNXCL);
    (void)::flock(fd_, LOCK_UN);
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0 ? 0 : -1;
}

int PosixSerialPort::writeBytes(const std::uint8_t* data, int n) {
    if (fd_ < 0 || handingOver()) return -1;
    if (n <= 0) return 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(serial_timing::writeTotalMs(n));
    int written = 0;
    while (written < n) {
        const ssize_t r = ::write(fd_, data + written, static_cast<std::size_t>(n - written));
        if (r > 0) {
            written += static_cast<int>(r);
            continue;
        }
        if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
        const int left = msUntil(deadline);
        if (left == 0) return written;  // write time-out: a short count
        pollfd p{fd_, POLLOUT, 0};
        const int pr = ::poll(&p, 1, waitSlice(left));
        if (pr < 0 && errno != EINTR) return -1;
        if (pr == 0) handOver();
    }
    // Return only once the bytes are on the wire, as a synchronous Windows
    // write does, but never wait longer than the write time-out.
    const auto turnAfter = [this] {
        return Clock::now() + std::chrono::milliseconds(waitSlice(serial_timing::kWriteTotalConstantMs));
    };
    auto nextTurn = turnAfter();
    for (;;) {
        int queued = 0;
        if (ioctl(fd_, TIOCOUTQ, &queued) != 0) {
            tcdrain(fd_);
            break;
        }
        if (queued <= 0 || msUntil(deadline) == 0) break;
        // Sleep about as long as the queued bytes take on the line: polling
        // in fixed steps would add up to a step to every command's round trip.
        const auto onLine = std::chrono::microseconds(std::uint64_t{static_cast<unsigned>(queued)} * 10u * 1000000u /
                                                      std::max(baud_, 1ul));
        std::this_thread::sleep_for(
            std::clamp(onLine, std::chrono::microseconds(100), std::chrono::microseconds(kDrainStepMaxUs)));
        if (Clock::now() >= nextTurn) {
            handOver();
            nextTurn = turnAfter();
        }
    }
    return written;
}

int PosixSerialPort::readBytes(std::uint8_t* buffer, int n) {
    if (fd_ < 0 || handingOver()) return -1;
    if (n <= 0) return 0;
    const auto total = Clock::now() + std::chrono::milliseconds(serial_timing::readTotalMs(n));
    int got = 0;
    Clock::time_point gapEnd{};
    for (;;) {
        int left = msUntil(total);
        if (got > 0) left = std::min(left, msUntil(gapEnd));
        // Once the time is up, one last look without waiting still takes
        // bytes that arrived in time while the interface had its turn.
        pollfd p{fd_, POLLIN, 0};
        const int pr = ::poll(&p, 1, waitSlice(left));
        if (pr < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (pr == 0) {
            if (left == 0) break;
            handOver();
            continue;
        }
        const ssize_t r = ::read(fd_, buffer + got, static_cast<std::size_t>(n - got));
        if (r > 0) {
            got += static_cast<int>(r);
            if (got == n || left == 0) break;
            gapEnd = Clock::now() + std::chrono::milliseconds(serial_timing::kReadIntervalMs);
        } else if (r == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            // The line is gone (a USB adapter unplugged, the far end of a
            // pseudo-terminal closed).
            return got > 0 ? got : -1;
        }
        if (left == 0) break;
    }
    return got;
}

int PosixSerialPort::flushPort(int discardInput) {
    // Output needs no purge: every write has drained before returning.
    if (fd_ >= 0 && discardInput && !handingOver()) tcflush(fd_, TCIFLUSH);
    return 0;
}

std::unique_ptr<SerialPort> makeSystemSerialPort() { return std::make_unique<PosixSerialPort>(); }

}  // namespace varnel
