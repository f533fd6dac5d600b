#pragma once

#include <string>
#include <vector>

#include "serial/connection_doctor.h"

namespace varnel {

// What the browser shows a page of its serial ports: the page script's
// answers, which a test writes down (the checks run on every platform, the
// page builds the real view in web_connection_doctor).
struct BrowserSerialView {
    bool webSerial = false;     // navigator.serial exists
    bool secureAddress = true;  // https, or this machine (localhost)
    std::string address;        // the page's origin, "http://192.0.2.7:8080"
    // The port asked about ("serial:N"), as the page last saw it.
    bool granted = false;       // the user granted it to this page
    bool pluggedIn = false;     // and it is there now
    std::string openError;      // the name of the browser's error at its last failed open, "" for none
    std::string openErrorText;  // and its message ("Failed to open serial port.")
};

// The page's checks: Web Serial there at all, and about `port` too when it
// is a granted port's name. With wholeReport false only what stands in the
// way (for the connect window's status, hint and messages).
std::vector<DoctorFinding> browserConnectionChecks(const BrowserSerialView& view, const std::string& port,
                                                   bool wholeReport = true);

}  // namespace varnel
