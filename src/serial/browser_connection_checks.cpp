#include "serial/browser_connection_checks.h"

namespace varnel {

namespace {

constexpr const char* kWhereItWorks =
    "Web Serial works in Chrome, Edge and Opera on a desktop computer (not in Firefox or Safari, nor on a phone), on a "
    "page opened from an https:// address or from this machine (http://localhost)";
constexpr const char* kEmulatedStillWork = "The emulated trackers work here all the same.";

DoctorFinding webSerial(const BrowserSerialView& view) {
    const std::string check = "Web Serial";
    if (view.webSerial) return {FindingLevel::Ok, check, "This browser gives the page serial ports", ""};
    if (!view.secureAddress)
        return {FindingLevel::Problem, check,
                "This page has no serial ports: it was opened from " +
                    (view.address.empty() ? std::string("an address") : view.address) +
                    ", which is not a secure address, and browsers give serial ports only to pages on one",
                std::string(kWhereItWorks) + ". " + kEmulatedStillWork};
    return {FindingLevel::Problem, check, "This page has no serial ports: this browser has no Web Serial",
            std::string(kWhereItWorks) + ". " + kEmulatedStillWork};
}

DoctorFinding grantedPort(const BrowserSerialView& view, const std::string& port) {
    const std::string check = "port";
    if (!view.granted)
        return {FindingLevel::Problem, check, port + " is not granted to this page",
                "press \"Add port...\" and choose the tracker's port in the browser's list."};
    if (!view.pluggedIn)
        return {FindingLevel::Problem, check, port + " is granted to this page but not plugged in",
                "plug the tracker's cable in; the connect window tries it by itself once it is there."};
    if (!view.openError.empty()) {
        const std::string said = view.openErrorText.empty() ? view.openError : view.openErrorText;
        return {FindingLevel::Problem, check, port + " would not open (the browser said \"" + said + "\")",
                "another program or another tab may hold it: close it (a terminal program, another page of this "
                "program) and try again; on Linux the system may refuse it to your user, who must then join the "
                "port's group (sudo usermod -aG dialout $USER) and log out and in again."};
    }
    return {FindingLevel::Ok, check, port + " is granted to this page and plugged in", ""};
}

}  // namespace

std::vector<DoctorFinding> browserConnectionChecks(const BrowserSerialView& view, const std::string& port,
                                                   bool wholeReport) {
    std::vector<DoctorFinding> findings{webSerial(view)};
    // The page's own ports (the emulated trackers) have nothing to check.
    if (view.webSerial && port.rfind("serial:", 0) == 0) findings.push_back(grantedPort(view, port));
    if (!wholeReport) std::erase_if(findings, [](const DoctorFinding& f) { return f.level == FindingLevel::Ok; });
    return findings;
}

}  // namespace varnel
