#pragma once

#include <cstdint>
#include <string>

#include "config/device_target.h"
#include "device/device_info.h"
#include "device/flash_image.h"
#include "device/serial_port.h"
#include "link/link_clock.h"

namespace varnel {

class UserInterface;
class WriteProgress;
struct Session;

// The resident bootloader's byte protocol over the serial port: getting a
// running tracker into its bootloader, identification, the memory commands,
// and the range operations that read into and program from the flash image.
// Results: negative is failure; the layer that fails tells the user itself.
class BootLink {
public:
    BootLink(SerialPort& port, LinkState& link, const DeviceTarget& target, FlashImage& image,
             UserInterface& ui);
    // The parts of a session the link works on (its port must exist).
    BootLink(Session& session, UserInterface& ui);
    BootLink(const BootLink&) = delete;
    BootLink& operator=(const BootLink&) = delete;

    void setClock(LinkClock& clock) { clock_ = &clock; }

    // 1 announce seen and answered, 0 nothing in the window, -1 read failure
    // (reported), -2 aborted (linkAbort non-zero, no message).
    int waitForAnnounce();
    // Fills the link's DeviceInfo and bootloaderVersion. 0, or -1.
    int identify();
    // Resets the tracker into its bootloader (cycling the probe speeds until
    // it answers or linkAbort is set), identifies it and checks it against
    // the held chip name. The caller sets linkAbort to 0 first. Non-negative
    // on success; -1 port or read failure (reported); -2 aborted; -3
    // communication error; -4 wrong target. The caller reports -3 and -4,
    // see connectFailureMessage.
    int connect(const std::string& portName, bool allowFastLink);
    // The caller's message for a connect result, or "" when there is none.
    std::string connectFailureMessage(int result) const;

    int readMemory(std::uint32_t address, int length, std::uint8_t* destination);
    int eraseBlock(std::uint32_t address);
    int writeBlock(std::uint32_t address, int length);
    int writeBlockChecked(std::uint32_t address, int length, std::uint32_t addressOffset);
    int commitStaged();
    int leaveBootloader();

    // Erases, programs and verifies every touched byte of [start, end),
    // block by block; erase and 'V' addresses get eraseOffset added. 0, or -1
    // after the block's message.
    int programRange(std::uint32_t start, std::uint32_t end, WriteProgress* progress,
                     std::uint32_t eraseOffset);
    // programRange over the whole touched span of the image.
    int programTouched(WriteProgress* progress);
    // Reads device memory [start, end) into the image at the same addresses,
    // 128 bytes at a time. 0, or -1 after "Error receiving data from device".
    int readRange(std::uint32_t start, std::uint32_t end);
    // Reads device memory into any buffer indexed from `start`, as readRange does.
    int readInto(std::uint32_t start, std::uint32_t end, std::uint8_t* destination);

    // Keeps the interface alive during a wait.
    void pump();

    SerialPort& port() { return port_; }
    LinkState& link() { return link_; }
    const DeviceTarget& target() const { return target_; }
    FlashImage& image() { return image_; }
    UserInterface& ui() { return ui_; }

private:
    bool scalesAddresses() const { return target_.kind == KindJM128; }
    // The two-byte address field for a byte address, or -1 when it does not fit.
    long addressField(std::uint32_t address) const;
    int sendCommand(const std::uint8_t* bytes, int n);
    int sendDataBlock(std::uint8_t commandByte, long field, std::uint32_t address, int length,
                      bool withChecksum);
    int replyWait();
    // Reads and drops up to `surplus` identification records still on their way.
    void dropSurplusRecords(int surplus, int recordSize);
    // Reads and drops what arrives until one whole read brings nothing.
    void drainUntilQuiet();
    int openAt(const std::string& portName, const char* speed);
    void sendResetRequest();
    void report(const char* format, std::uint32_t value);

    SerialPort& port_;
    LinkState& link_;
    const DeviceTarget& target_;
    FlashImage& image_;
    UserInterface& ui_;
    SystemLinkClock systemClock_;
    LinkClock* clock_ = &systemClock_;
};

}  // namespace varnel
