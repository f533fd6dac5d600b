#include <emscripten.h>

#include <cstdlib>

#include "serial/browser_connection_checks.h"
#include "serial/connection_doctor.h"

// The connection doctor in the page: what the browser shows of Web Serial
// and of the ports granted to the page, read from its script (site/serial.js).

namespace varnel {

namespace {

// clang-format off
EM_JS(char*, js_doctorView, (int n), {
    const text = window.varnel.serial.doctorView(n);
    const size = lengthBytesUTF8(text) + 1;
    const p = _malloc(size);
    stringToUTF8(text, p, size);
    return p;
});
// clang-format on

BrowserSerialView browserView(const std::string& port) {
    const int number = port.rfind("serial:", 0) == 0 ? std::atoi(port.c_str() + 7) : 0;
    char* raw = js_doctorView(number);
    std::string text(raw);
    std::free(raw);
    std::vector<std::string> fields;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find('\x1f', at);
        fields.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    fields.resize(7);
    BrowserSerialView view;
    view.webSerial = fields[0] == "1";
    view.secureAddress = fields[1] == "1";
    view.address = fields[2];
    view.granted = fields[3] == "1";
    view.pluggedIn = fields[4] == "1";
    view.openError = fields[5];
    view.openErrorText = fields[6];
    return view;
}

}  // namespace

std::vector<DoctorFinding> connectionReport(const std::string& port) {
    return browserConnectionChecks(browserView(port), port, true);
}

// The browser opens a port for one page alone, so an open of ours cannot
// read as another's: openedHere changes nothing here.
std::vector<DoctorFinding> portFindings(const std::string& port, bool) {
    return browserConnectionChecks(browserView(port), port, false);
}

}  // namespace varnel
