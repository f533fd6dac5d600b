#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace varnel {

class UserInterface;

// The one serial port every byte to and from a tracker passes through:
// 8 data bits, no parity, one stop bit, no flow control. Results are plain
// integers, negative on failure; a read that returns fewer bytes than asked
// (even 0) is a time-out, not an error. A platform backend implements it.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // name: a device path, or "COMn"/a number meaning slot n. speed: decimal
    // text, 9600 when empty. 1 on success, -1 after telling the user.
    virtual int openPort(const std::string& name, const std::string& speed, UserInterface& ui) = 0;
    virtual int closePort() = 0;
    virtual bool isOpen() const = 0;

    virtual int writeBytes(const std::uint8_t* data, int n) = 0;
    // Ends when n bytes arrived, after a 100 ms gap between bytes, or after
    // 500 + 2n ms in all. Positions not received are left as they were.
    virtual int readBytes(std::uint8_t* buffer, int n) = 0;
    // Discards received bytes not yet read when discardInput is non-zero;
    // always 0. Both backends leave output alone, here and when opening: the
    // link calls this right after writing commands the tracker must hear, and
    // a write has handed its bytes on before it returns.
    virtual int flushPort(int discardInput) = 0;
    // Framing, overrun, parity and break errors the driver counted on the
    // received side since the last call (or since opening). A bit the line
    // mangled may be one of these rather than a wrong byte, so the link takes
    // any count as a failed exchange. 0 where the driver keeps no counters,
    // as a pseudo-terminal does.
    virtual int takeLineErrors() { return 0; }

    // The one-byte helpers the diagnostics use.
    int sendByte(std::uint8_t b);
    int exchangeByte(std::uint8_t b);
    int receiveByte();

    // Hands the interface a turn (its pump()) at least every kWaitSliceMs
    // while a read or write waits, so a window stays responsive through the
    // half-second reads of the announce wait. The time-outs above are kept
    // as they are: only how the wait is cut up changes. nullptr (the
    // default) waits in one piece.
    void setWaitHandler(UserInterface* ui) { waitUi_ = ui; }
    // True while a wait has handed the interface its turn. The command that
    // wait belongs to is still on the line, so reads, writes and discards
    // from an event handler fail at once (-1) instead of taking its reply;
    // a view that talks to the tracker on a click does it once this is false.
    bool handingOver() const { return handingOver_; }

protected:
    static constexpr int kWaitSliceMs = 10;
    // How long a backend may wait in one go when `leftMs` remain.
    int waitSlice(int leftMs) const;
    // Called by a backend between two slices of one wait.
    void handOver();

private:
    UserInterface* waitUi_ = nullptr;
    bool handingOver_ = false;
};

// The rules both platform backends follow, kept here so they cannot drift.

// The speed text of openPort: an unsigned decimal number and nothing else;
// empty means 9600. False for anything else (the caller reports "Invalid port
// speed specified").
bool parsePortSpeed(const std::string& text, unsigned long& baud);

}  // namespace varnel
