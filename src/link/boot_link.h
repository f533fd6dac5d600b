#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/device_target.h"
#include "device/device_info.h"
#include "device/flash_image.h"
#include "serial/serial_port.h"
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
    // Identifies until two records agree and make sense (at most
    // kIdentifyAttempts records); the link's DeviceInfo then holds it. 0, or -1.
    int identifyConfirmed();
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

    // A chunk of device memory that counts only when two reads of it agree
    // with no line error (or it was confirmed since the last change):
    // length, -1 when no read brought it whole, -2 when whole reads never
    // agreed or the line flagged them (the line garbles).
    int readConfirmed(std::uint32_t address, int length, std::uint8_t* destination);
    // Whether the device holds the image's bytes [address, address + length)
    // at address + offset: each chunk counts when one read brings exactly
    // those bytes (noise does not make wrong bytes right).
    bool deviceMatchesImage(std::uint32_t address, std::uint32_t length, std::uint32_t offset);
    // Gets back in step after a missed reply or a refusal: completes a frame
    // the bootloader may still be waiting for with harmless bytes, drains the
    // line, and asks for the identification, which must be the connect's;
    // failing that, reconnects (bounded). 0, or -1.
    int resynchronise();

    // Erases, programs and verifies every touched byte of [start, end),
    // block by block; erase and 'V' addresses get eraseOffset added. A block
    // that fails is tried again after a resynchronisation (kBlockTries a
    // block, kRangeRetries in all); before it ends, the range is checked for
    // blocks changed since they were verified. 0, or -1 after the block's message.
    int programRange(std::uint32_t start, std::uint32_t end, WriteProgress* progress,
                     std::uint32_t eraseOffset);
    // programRange over the whole touched span of the image.
    int programTouched(WriteProgress* progress);
    // Whether the touched erase blocks of [start, end) still hold the image,
    // read at its own addresses: one programmed unit of each (a stray erase
    // empties a whole block), every byte once the last range met a fault.
    // JM128's low part, committed before the last stage, is checked so.
    bool rangeStillHolds(std::uint32_t start, std::uint32_t end);
    // Reads device memory [start, end) into the image at the same addresses,
    // 128 bytes at a time. 0, or -1 after "Error receiving data from device".
    int readRange(std::uint32_t start, std::uint32_t end);
    // Reads device memory into any buffer indexed from `start`, as readRange does.
    int readInto(std::uint32_t start, std::uint32_t end, std::uint8_t* destination);

    // The image address where the last failed write stopped.
    std::uint32_t failedAddress() const { return failedAddress_; }
    // False while no erase request has gone out whole on this link: the
    // tracker's flash is then as it was, whatever failed.
    bool flashMayHaveChanged() const { return flashMayHaveChanged_; }
    // Whether the identification records of the last connect disagreed.
    bool identificationUnreliable() const { return identificationUnreliable_; }

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
    // readMemory that tells how many bytes came: -1 refused or failed.
    int readCount(std::uint32_t address, int length, std::uint8_t* destination);
    void forgetConfirmedReads() { link_.confirmedReads.clear(); }
    int connectWithin(const std::string& portName, bool allowFastLink, int maxWindows);
    // One try of one erase block; on failure `why` and failedAddress_ say what.
    int programBlock(std::uint32_t first, std::uint32_t last, std::uint32_t eraseOffset,
                     WriteProgress& bar, std::uint32_t& done, std::uint32_t total, const char*& why);
    // Tries a block until it verifies, within the block's and the range's tries.
    int programBlockWithRetries(std::uint32_t first, std::uint32_t last, std::uint32_t eraseOffset,
                                WriteProgress& bar, std::uint32_t& done, std::uint32_t total);
    // Where a write that did not land in its own place went, when that is
    // one flipped address bit away and reaches outside what the image writes.
    std::optional<std::uint32_t> findStrayWrite(std::uint32_t span, std::uint32_t length,
                                                std::uint32_t offset);
    // A unit of [first, last) the image does not hold erased, or last when none.
    std::uint32_t sampleUnit(std::uint32_t first, std::uint32_t last) const;
    // The touched part [first, last) of each erase block of [start, end).
    std::vector<std::pair<std::uint32_t, std::uint32_t>> touchedBlocks(std::uint32_t start,
                                                                       std::uint32_t end) const;
    // One block of the image still where it was verified: its sample unit,
    // or all of it when `full`, read at readOffset.
    bool blockStillHolds(std::uint32_t first, std::uint32_t last, std::uint32_t readOffset, bool full);
    // Checks that blocks verified earlier in the range still hold their bytes.
    int finalCheck(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& blocks,
                   std::uint32_t eraseOffset, WriteProgress& bar, std::uint32_t total);
    // Reads and drops up to `surplus` identification records still on their way.
    void dropSurplusRecords(int surplus, int recordSize);
    // Reads and drops what arrives until one whole read brings nothing.
    void drainUntilQuiet();
    int openAt(const std::string& portName, const char* speed);
    void sendResetRequest();
    // An error whose text takes one or two addresses.
    void report(const char* format, std::uint32_t value, std::uint32_t second = 0);

    SerialPort& port_;
    LinkState& link_;
    const DeviceTarget& target_;
    FlashImage& image_;
    UserInterface& ui_;
    SystemLinkClock systemClock_;
    LinkClock* clock_ = &systemClock_;
    std::uint32_t failedAddress_ = 0;
    bool flashMayHaveChanged_ = false;
    bool identificationUnreliable_ = false;
    bool identifyHeardNothing_ = false;
    bool verifyCameShort_ = false;  // no read of the last failed verify came back whole
    bool strayFound_ = false;        // a write landed outside the image: retrying cannot help
    bool faultSeen_ = false;           // a retry happened in the running range
    int retriesLeft_ = 0;
};

}  // namespace varnel
