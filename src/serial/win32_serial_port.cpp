#include "serial/win32_serial_port.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "core/user_interface.h"
#include "serial/serial_timing.h"
#include "serial/port_resolver.h"
#include "serial/serial_messages.h"
#include "serial/system_serial_port.h"

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

// The write time-outs; readBytes keeps the read's rule itself and sets the
// read fields for each wait (setReadWait).
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
    readWaitMs_ = -1;
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

namespace {

using Clock = std::chrono::steady_clock;

int msUntil(Clock::time_point t) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(t - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

bool Win32SerialPort::setReadWait(int waitMs) {
    if (waitMs == readWaitMs_) return true;
    // MAXDWORD/MAXDWORD/c: ReadFile returns as soon as any byte is there, or
    // after c ms with none; MAXDWORD/0/0: at once with what is there. Either
    // way no reply waits on the slice, and the read's own rule is kept in
    // readBytes.
    COMMTIMEOUTS t = lineTimeouts();
    t.ReadIntervalTimeout = MAXDWORD;
    t.ReadTotalTimeoutMultiplier = waitMs > 0 ? MAXDWORD : 0;
    t.ReadTotalTimeoutConstant = static_cast<DWORD>(waitMs);
    if (!SetCommTimeouts(asHandle(handle_), &t)) return false;
    readWaitMs_ = waitMs;
    return true;
}

// A write goes out in pieces the line carries within one slice, so a wait
// handler gets its turn between them even at 9600 baud; with none, in one.
int Win32SerialPort::writeBytes(const std::uint8_t* data, int n) {
    if (handle_ == nullptr || handingOver()) return -1;
    if (n <= 0) return 0;
    // Ten bits a byte on the line.
    const long perSlice = static_cast<long>(baud_) * waitSlice(serial_timing::writeTotalMs(n)) / 10000;
    const int piece = static_cast<int>(std::clamp<long>(perSlice, 1, n));
    int written = 0;
    while (written < n) {
        const DWORD ask = static_cast<DWORD>(std::min(piece, n - written));
        DWORD done = 0;
        if (!WriteFile(asHandle(handle_), data + written, ask, &done, nullptr)) return written > 0 ? written : -1;
        written += static_cast<int>(done);
        if (done < ask) break;  // a write time-out shows as a short count
        if (written < n) handOver();
    }
    return written;
}

// Ends when n bytes arrived, after the gap between bytes, or after the total
// for n bytes, waiting a slice at a time and giving the interface its turn
// between slices, also while a long reply is still coming in.
int Win32SerialPort::readBytes(std::uint8_t* buffer, int n) {
    if (handle_ == nullptr || handingOver()) return -1;
    if (n <= 0) return 0;
    const auto total = Clock::now() + std::chrono::milliseconds(serial_timing::readTotalMs(n));
    const auto slice = std::chrono::milliseconds(waitSlice(serial_timing::readTotalMs(n)));
    auto nextTurn = Clock::now() + slice;
    int got = 0;
    Clock::time_point gapEnd{};
    for (;;) {
        int left = msUntil(total);
        if (got > 0) left = std::min(left, msUntil(gapEnd));
        // Once the time is up, one last look without waiting still takes
        // bytes that arrived while the interface had its turn.
        if (!setReadWait(waitSlice(left))) return -1;
        DWORD r = 0;
        if (!ReadFile(asHandle(handle_), buffer + got, static_cast<DWORD>(n - got), &r, nullptr))
            return got > 0 ? got : -1;
        if (r > 0) {
            got += static_cast<int>(r);
            if (got == n) break;
            gapEnd = Clock::now() + std::chrono::milliseconds(serial_timing::kReadIntervalMs);
        }
        if (left == 0) break;
        if (Clock::now() >= nextTurn) {
            handOver();
            nextTurn = Clock::now() + slice;
        }
    }
    return got;  // fewer than n, even 0, is a time-out
}

int Win32SerialPort::flushPort(int discardInput) {
    // Output is never discarded. The link calls this right after writing a
    // command it wants heard (the reset request, the speed switch); a write
    // has returned once the driver took the bytes, and a transmit purge could
    // then only eat them before they reach the wire, as it does under Wine,
    // where it empties a pseudo-terminal the tracker has not read yet.
    if (handle_ != nullptr && discardInput && !handingOver()) PurgeComm(asHandle(handle_), PURGE_RXCLEAR);
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
