#pragma once

#include <string>
#include <vector>

// The connection doctor: what stands between the user and a tracker on this
// machine. Each check reads the system through a small view (the Linux one
// in linux_connection_checks.h, the Windows one in
// windows_connection_checks.h), so each finding can be tried on a made-up
// system; the platform files (posix_*, win32_*, web_*) build the real view.

namespace varnel {

enum class FindingLevel {
    Ok,       // nothing wrong here
    Advice,   // works, but could be better (a slow adapter setting, a port beyond the list)
    Problem,  // stands, or may stand, in the way of a connection
};

// One line of the report: what was checked, what was found, and what to do
// about it ("" when nothing is wrong).
struct DoctorFinding {
    FindingLevel level = FindingLevel::Ok;
    std::string check;   // "permission on /dev/ttyUSB0"
    std::string found;   // "/dev/ttyUSB0 does not exist"
    std::string remedy;  // "is the tracker's cable plugged in?"

    // found and remedy as one sentence, as a message box under "Can't open
    // serial port" shows it.
    std::string sentence() const;
};

// "[problem] permission on /dev/ttyUSB0: ...": one line of the report.
std::string doctorLine(const DoctorFinding& finding);
// Every finding a line, then a last line that sums them up.
std::string doctorReportText(const std::vector<DoctorFinding>& findings);
bool standsInTheWay(const std::vector<DoctorFinding>& findings);

// What a USB adapter's 16 ms latency timer costs: it holds each short reply
// that long, and a firmware load waits for hundreds of them (the README's
// Speed figures, measured on the emulated tracker behind 1 ms and 16 ms
// adapters).
inline constexpr const char* kSlowLatencyCost =
    "the adapter holds each short reply that long, and a firmware load waits for hundreds of them (at 16 ms an "
    "AP64 load takes about 53 s instead of 19 s, a JM128 load 80 s instead of 39 s)";

// The whole report for this machine: every check its platform has, about
// `port` too when one is given ("" for none; a slot name such as "COM3" or
// "3" means the port that slot stands for).
std::vector<DoctorFinding> connectionReport(const std::string& port);

// What may stand between the user and a tracker on this one port: the
// findings of connectionReport(port) that concern it and are not all right
// (none when nothing is known to be in the way). For the connect window's
// hint after a silent wait and for the message of a port that will not open.
// openedHere: this program has the port open (a Connect waiting for the
// tracker), so it is known to open, and the one holding it is this program.
std::vector<DoctorFinding> portFindings(const std::string& port, bool openedHere = false);

}  // namespace varnel
