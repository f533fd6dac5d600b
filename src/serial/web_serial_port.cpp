#include "serial/web_serial_port.h"

#include <emscripten.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/user_interface.h"
#include "serial/serial_timing.h"
#include "serial/port_resolver.h"
#include "serial/serial_messages.h"

namespace varnel::web {

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kPrefix = "serial:";

// Rounded up: a wait never ends before its deadline.
int msUntil(Clock::time_point t) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(t - Clock::now()).count();
    return left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
}

// clang-format off
EM_JS(int, js_hasPort, (int n), { return window.varnel.serial.has(n) ? 1 : 0; });
EM_ASYNC_JS(int, js_openPort, (int n, double baud), { return await window.varnel.serial.openPort(n, baud); });
EM_ASYNC_JS(int, js_closePort, (int n, int writeMs), { return await window.varnel.serial.closePort(n, writeMs); });
EM_JS(int, js_take, (int n, std::uint8_t* buffer, int max), {
    const bytes = window.varnel.serial.take(n, max);
    if (bytes === null) return -1;
    HEAPU8.set(bytes, buffer);
    return bytes.length;
});
EM_ASYNC_JS(void, js_waitData, (int n, int ms), { await window.varnel.serial.waitData(n, ms); });
EM_JS(int, js_startWrite, (int n, const std::uint8_t* data, int count), {
    return window.varnel.serial.startWrite(n, HEAPU8.slice(data, data + count));
});
EM_ASYNC_JS(int, js_waitWrite, (int n, int ms), { return await window.varnel.serial.waitWrite(n, ms); });
EM_JS(void, js_purge, (int n), { window.varnel.serial.purge(n); });
EM_JS(int, js_takeLineErrors, (int n), { return window.varnel.serial.takeLineErrors(n); });

EM_JS(int, js_serialAvailable, (), { return window.varnel.serial.available() ? 1 : 0; });
EM_ASYNC_JS(void, js_serialReady, (), { await window.varnel.serial.ready; });
EM_ASYNC_JS(int, js_requestPort, (), { return await window.varnel.serial.request(); });
EM_JS(char*, js_listPorts, (), {
    const text = window.varnel.serial.list();
    const n = lengthBytesUTF8(text) + 1;
    const p = _malloc(n);
    stringToUTF8(text, p, n);
    return p;
});
// clang-format on

// The page's number in "serial:N", 0 for any other name.
int portNumber(const std::string& name) {
    if (!WebSerialPort::opens(name)) return 0;
    const std::string digits = name.substr(std::string(kPrefix).size());
    if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::atoi(digits.c_str());
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    std::string part;
    for (char c : text) {
        if (c == separator) parts.push_back(std::move(part)), part.clear();
        else part += c;
    }
    parts.push_back(part);
    return parts;
}

std::string hex4(const std::string& decimal) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(std::atoi(decimal.c_str())) & 0xFFFFu);
    return text;
}

}  // namespace

WebSerialPort::~WebSerialPort() {
    // The page outlives the program's sessions: a port left open would
    // refuse the next session's open.
    if (number_) closePort();
}

bool WebSerialPort::opens(const std::string& name) { return name.rfind(kPrefix, 0) == 0; }

int WebSerialPort::openPort(const std::string& name, const std::string& speed, UserInterface& ui) {
    const int number = portNumber(name);
    if (number == 0 || !js_hasPort(number)) {
        ui.message(serial_messages::kCantOpen, MessageKind::Error);
        return -1;
    }
    unsigned long baud = 0;
    if (!parsePortSpeed(speed, baud)) {
        ui.message(serial_messages::kInvalidSpeed, MessageKind::Error);
        return -1;
    }
    // The browser opens the port for this page alone, with the line
    // settings given; it purges nothing, but its reader starts empty.
    const int opened = js_openPort(number, static_cast<double>(baud));
    if (opened == -2) {
        ui.message(serial_messages::kUnableToAccess, MessageKind::Error);
        return -1;
    }
    if (opened != 1) {
        ui.message(serial_messages::kCantOpen, MessageKind::Error);
        return -1;
    }
    number_ = number;
    return 1;
}

int WebSerialPort::closePort() {
    if (!number_) return -1;
    const int number = number_;
    number_ = 0;
    return js_closePort(number, serial_timing::kWriteTotalConstantMs);
}

int WebSerialPort::writeBytes(const std::uint8_t* data, int n) {
    if (!number_ || handingOver()) return -1;
    if (n <= 0) return 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(serial_timing::writeTotalMs(n));
    if (js_startWrite(number_, data, n) != 1) return -1;
    for (;;) {
        const int left = msUntil(deadline);
        const int state = js_waitWrite(number_, waitSlice(left));
        if (state == 1) return n;
        if (state < 0) return -1;
        // Still under way at the time-out: the browser says nothing of a
        // part written, so none counts.
        if (left == 0) return 0;
        handOver();
    }
}

int WebSerialPort::readBytes(std::uint8_t* buffer, int n) {
    if (!number_ || handingOver()) return -1;
    if (n <= 0) return 0;
    const auto total = Clock::now() + std::chrono::milliseconds(serial_timing::readTotalMs(n));
    Clock::time_point gapEnd{};
    int got = 0;
    for (;;) {
        // Once the time is up, this last look still takes bytes that arrived
        // in time while the interface had its turn.
        const int taken = js_take(number_, buffer + got, n - got);
        if (taken < 0) return got > 0 ? got : -1;  // the port is gone (unplugged)
        got += taken;
        if (got == n) break;
        if (taken > 0) gapEnd = Clock::now() + std::chrono::milliseconds(serial_timing::kReadIntervalMs);
        int left = msUntil(total);
        if (got > 0) left = std::min(left, msUntil(gapEnd));
        if (left == 0) break;
        js_waitData(number_, waitSlice(left));
        handOver();
    }
    return got;
}

int WebSerialPort::flushPort(int discardInput) {
    if (number_ && discardInput && !handingOver()) js_purge(number_);
    return 0;
}

int WebSerialPort::takeLineErrors() { return number_ ? js_takeLineErrors(number_) : 0; }

namespace granted_ports {

void awaitKnown() {
    if (js_serialAvailable()) js_serialReady();
}

bool canAdd() { return js_serialAvailable() != 0; }

std::string add() {
    const int number = js_requestPort();
    return number > 0 ? kPrefix + std::to_string(number) : std::string();
}

}  // namespace granted_ports

}  // namespace varnel::web

namespace varnel {

std::vector<PortDescription> listSerialPorts() {
    std::vector<PortDescription> out;
    if (!web::js_serialAvailable()) return out;
    std::unique_ptr<char, decltype(&std::free)> text(web::js_listPorts(), &std::free);
    for (const std::string& row : web::split(text ? text.get() : "", '\x1e')) {
        const std::vector<std::string> f = web::split(row, '\x1f');
        if (f.size() != 3) continue;
        PortDescription port{web::kPrefix + f[0], "Serial port " + f[0], ""};
        if (!f[1].empty() && !f[2].empty()) port.usbId = web::hex4(f[1]) + ":" + web::hex4(f[2]);
        out.push_back(std::move(port));
    }
    return out;
}

}  // namespace varnel
