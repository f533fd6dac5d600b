#pragma once

#include <cstdint>
#include <string>

#include "config/device_target.h"
#include "device/device_info.h"
#include "device/flash_image.h"
#include "link/address_rules.h"
#include "link/link_clock.h"
#include "serial/serial_port.h"

namespace varnel {

class UserInterface;
class WriteProgress;
struct Session;

// How an identification request ended. Silent: nothing came but announces,
// zeros or time-outs, as from a device that is not answering at all.
enum class IdentifyResult { Identified, Silent, Failed };

// The resident bootloader's commands over the serial port, each framed as
// its byte protocol has it: identification, read, erase, write, checked
// write, commit and leave. Getting in and staying in step is the
// Connector's (connector.h), reads that count are confirmed_reads.h's, and
// writing a range is the RangeWriter's (range_writer.h). Links share
// nothing: links on several ports can run at once, one per port.
// Results: negative is failure; the layer that fails tells the user itself.
class BootLink {
public:
    BootLink(SerialPort& port, LinkState& link, const DeviceTarget& target, FlashImage& image, UserInterface& ui);
    // The parts of a session the link works on (its port must exist).
    BootLink(Session& session, UserInterface& ui);
    BootLink(const BootLink&) = delete;
    BootLink& operator=(const BootLink&) = delete;

    void setClock(LinkClock& clock) { clock_ = &clock; }
    LinkClock& clock() { return *clock_; }

    // Asks for one identification record and fills the link's DeviceInfo and
    // bootloaderVersion from it.
    IdentifyResult identify();
    // length, or -1.
    int readMemory(std::uint32_t address, int length, std::uint8_t* destination);
    // readMemory that tells how many bytes came: -1 refused or failed.
    int readCount(std::uint32_t address, int length, std::uint8_t* destination);
    // 1 acknowledged, -1 refused or failed, -2 no reply in time.
    int eraseBlock(std::uint32_t address);
    // The image's bytes [address, address + length) with 'W' at their own
    // address; 1, -1 or -2 as eraseBlock.
    int writeBlock(std::uint32_t address, int length);
    // The same bytes with 'V' and their checksum, at address + addressOffset.
    int writeBlockChecked(std::uint32_t address, int length, std::uint32_t addressOffset);
    // The reply byte to 'U', or -1, -2 as eraseBlock.
    int commitStaged();
    int leaveBootloader();

    // The port's line errors since the last call; any of them marks the
    // line as garbling (LinkState::lineGarbled).
    int takeLineErrors();
    void noteLineGarbled() { link_.lineGarbled = true; }
    // A remark on how the work goes on, said once: in the running write's
    // status (see showNotesIn), else as an information message.
    void note(const std::string& text);
    // Notes go to `progress` while a write shows it; nullptr: to the interface.
    void showNotesIn(WriteProgress* progress) { notes_ = progress; }

    // Reads and drops what arrives until one whole read brings nothing.
    void drainUntilQuiet();
    // Reads confirmed before no longer say what the tracker holds.
    void forgetConfirmedReads() { link_.confirmedReads.clear(); }

    // False while no erase request has gone out whole on this link: the
    // tracker's flash is then as it was, whatever failed.
    bool flashMayHaveChanged() const { return flashMayHaveChanged_; }
    // How the current target's bootloader addresses its flash.
    AddressRules addressRules() const { return AddressRules(target_.kind); }

    // Keeps the interface alive during a wait.
    void pump();

    SerialPort& port() { return port_; }
    LinkState& link() { return link_; }
    const DeviceTarget& target() const { return target_; }
    FlashImage& image() { return image_; }
    UserInterface& ui() { return ui_; }

private:
    int sendCommand(const std::uint8_t* bytes, int n);
    int sendDataBlock(std::uint8_t commandByte, long field, std::uint32_t address, int length, bool withChecksum);
    int replyWait();
    // Reads and drops up to `surplus` identification records still on their way.
    void dropSurplusRecords(int surplus, int recordSize);

    SerialPort& port_;
    LinkState& link_;
    const DeviceTarget& target_;
    FlashImage& image_;
    UserInterface& ui_;
    SystemLinkClock systemClock_;
    LinkClock* clock_ = &systemClock_;
    bool flashMayHaveChanged_ = false;
    WriteProgress* notes_ = nullptr;
};

}  // namespace varnel
