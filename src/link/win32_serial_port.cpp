#include "link/win32_serial_port.h"

#include <windows.h>

#include <cstdio>

#include "core/user_interface.h"
#include "device/serial_timing.h"
#include "link/port_resolver.h"
#include "link/serial_messages.h"
#include "link/system_serial_port.h"

namespace varnel {

namespace {

// XON/XOFF limits and characters are meaningless with software flow control
// off, but a driver still checks them for consistency.
constexpr WORD kXonLimit = 100;
constexpr WORD kXoffLimit = 100;
constexpr char kXonChar = 0x11;
constexpr char kXoffChar = 0x13;

HANDLE asHandle(void* h) { return static_cast<HANDLE>(h); }

// A raw binary line: 8N1, no flow control of either kind, no character
// replacement. DTR and RTS are switched on here; DTR drops again at the end
// of openPort, because the trackers reset on it.
void fillLineSettings(DCB& dcb, unsigned long baud) {
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = baud;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    dcb.XonLim = kXonLimit;
    dcb.XoffLim = kXoffLimit;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.XonChar = kXonChar;
    dcb.XoffChar = kXoffChar;
    dcb.ErrorChar = 0;
    dcb.EofChar = 0;
    dcb.EvtChar = 0;
}

// The driver keeps the whole time-out rule of a read: all n bytes, a gap
// between two bytes, or the total for n bytes, whichever comes first.
COMMTIMEOUTS lineTimeouts() {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = serial_timing::kReadIntervalMs;
    t.ReadTotalTimeoutMultiplier = serial_timing::kReadTotalPerByteMs;
    t.ReadTotalTimeoutConstant = serial_timing::kReadTotalConstantMs;
    t.WriteTotalTimeoutMultiplier = serial_timing::kWriteTotalPerByteMs;
    t.WriteTotalTimeoutConstant = serial_timing::kWriteTotalConstantMs;
    return t;
}

}  // namespace

Win32SerialPort::~Win32SerialPort() { release(); }

int Win32SerialPort::openPort(const std::string& name, const std::string& speed, UserInterface& ui) {
    path_ = resolvePortName(name);
    // Not shared: a second program holding the port makes this fail.
    const HANDLE h = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ui.message(serial_messages::kCantOpen, MessageKind::Error);
        return -1;
    }
    handle_ = h;
    // Every failure below closes the port again: a handle left open would
    // keep the port taken, and the next attempt could not open it.
    // Stale input goes; output stays (see flushPort): the link reopens the
    // port at a new speed right after writing the speed switch, which an
    // output purge here would discard before the tracker heard it.
    PurgeComm(h, PURGE_RXABORT | PURGE_RXCLEAR);

    unsigned long baud = 0;
    if (!parsePortSpeed(speed, baud)) {
        release();
        ui.message(serial_messages::kInvalidSpeed, MessageKind::Error);
        return -1;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    GetCommState(h, &dcb);  // keeps the driver's own fields; every line setting is ours
    fillLineSettings(dcb, baud);
    if (!SetCommState(h, &dcb)) {
        release();
        ui.message(serial_messages::kUnableToAccess, MessageKind::Error);
        return -1;
    }
    COMMTIMEOUTS timeouts = lineTimeouts();
    if (!SetCommTimeouts(h, &timeouts)) {
        std::fprintf(stderr, serial_messages::kCantSetTimeouts, path_.c_str());
        release();
        return -1;
    }
    if (!SetCommMask(h, EV_TXEMPTY)) {
        std::fprintf(stderr, serial_messages::kCantSetWaitmask, path_.c_str());
        release();
        return -1;
    }
    // Ports without modem lines refuse this; the line then simply has no DTR.
    EscapeCommFunction(h, CLRDTR);
    DWORD errors = 0;
    ClearCommError(h, &errors, nullptr);
    baud_ = baud;
    return 1;
}

void Win32SerialPort::release() {
    if (handle_ == nullptr) return;
    CloseHandle(asHandle(handle_));
    handle_ = nullptr;
}

int Win32SerialPort::closePort() {
    if (handle_ == nullptr) return -1;
    const BOOL ok = CloseHandle(asHandle(handle_));
    handle_ = nullptr;
    return ok ? 0 : -1;
}

// A synchronous read or write is one wait the interface cannot cut into: a
// wait handler gets its turn between calls, not within one (a read lasts at
// most 500 + 2n ms), so this port never hands over.
int Win32SerialPort::writeBytes(const std::uint8_t* data, int n) {
    if (handle_ == nullptr) return -1;
    if (n <= 0) return 0;
    DWORD written = 0;
    if (!WriteFile(asHandle(handle_), data, static_cast<DWORD>(n), &written, nullptr)) return -1;
    return static_cast<int>(written);  // a write time-out shows as a short count
}

int Win32SerialPort::readBytes(std::uint8_t* buffer, int n) {
    if (handle_ == nullptr) return -1;
    if (n <= 0) return 0;
    DWORD got = 0;
    if (!ReadFile(asHandle(handle_), buffer, static_cast<DWORD>(n), &got, nullptr)) return -1;
    return static_cast<int>(got);  // fewer than n, even 0, is a time-out
}

int Win32SerialPort::flushPort(int discardInput) {
    // Output is never discarded. The link calls this right after writing a
    // command it wants heard (the reset request, the speed switch); a write
    // has returned once the driver took the bytes, and a transmit purge could
    // then only eat them before they reach the wire, as it does under Wine,
    // where it empties a pseudo-terminal the tracker has not read yet.
    if (handle_ != nullptr && discardInput) PurgeComm(asHandle(handle_), PURGE_RXCLEAR);
    return 0;
}

int Win32SerialPort::takeLineErrors() {
    // ClearCommError reports (and clears) the error flags raised since the
    // last call; opening cleared them.
    if (handle_ == nullptr) return 0;
    DWORD errors = 0;
    if (!ClearCommError(asHandle(handle_), &errors, nullptr)) return 0;
    const DWORD lineFaults = CE_FRAME | CE_OVERRUN | CE_RXPARITY | CE_BREAK | CE_RXOVER;
    return (errors & lineFaults) != 0 ? 1 : 0;
}

std::unique_ptr<SerialPort> makeSystemSerialPort() { return std::make_unique<Win32SerialPort>(); }

}  // namespace varnel
