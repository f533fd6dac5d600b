#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varnel {

// Bytes that arrived from the host and the line speed the host had set when
// it sent them; 0 when that cannot be known (the host closed or reopened the
// port around them).
struct PtyInput {
    std::vector<std::uint8_t> bytes;
    std::uint32_t speed = 0;
};

// The emulated tracker's end of a pseudo-terminal. The host opens the slave
// side like any serial device. A pseudo-terminal has no real baud rate, but
// the speed the host sets is kept in the slave's termios, so the emulator
// reads it to know what speed each byte was "sent" at.
//
// The host changes speed by closing and reopening the port, so bytes read
// just after a close or reopen might belong to either session; the transport
// watches open and close of the slave device (inotify) and reports such
// bytes with speed 0 rather than guess. It keeps a slave descriptor of its
// own so that the pty survives the host closing it.
class PtyTransport {
public:
    PtyTransport();  // throws std::runtime_error when no pty can be had
    ~PtyTransport();
    PtyTransport(const PtyTransport&) = delete;
    PtyTransport& operator=(const PtyTransport&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    // Makes `path` a symbolic link to the slave (replacing an older link,
    // never a regular file). False with errno set on failure.
    bool linkTo(const std::string& path);

    // Waits up to timeoutMs (or until wake()) for bytes from the host.
    std::optional<PtyInput> poll(int timeoutMs);
    // Interrupts a poll from another thread.
    void wake();

    // The speed the host's port is set to now (0 if unknown).
    std::uint32_t hostSpeed() const;
    // True while host opens/closes happened that no quiet moment has settled yet.
    bool sessionUnsettled() const { return changed_; }

    // Bytes towards the host; dropped when the host does not read them.
    void send(const std::vector<std::uint8_t>& bytes);

    // Unplugs the device: the host's port hangs up and all reads fail.
    void hangUp();
    bool isHungUp() const { return master_ < 0; }

private:
    bool drainEvents();

    int master_ = -1;
    int slaveKeep_ = -1;
    int inotify_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    bool changed_ = false;
    std::string slavePath_;
    std::string linkPath_;
};

// Speed in bits per second of a termios speed constant (0 if unknown).
std::uint32_t baudOfSpeedCode(unsigned code);

}  // namespace varnel
