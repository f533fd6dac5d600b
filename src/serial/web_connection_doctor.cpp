#include "serial/connection_doctor.h"

// The page has no system of its own to look at: what stands between it and
// a port (Web Serial missing, an address that is not secure, a port another
// tab holds) is the page's to say, and these checks have nothing yet.

namespace varnel {

std::vector<DoctorFinding> connectionReport(const std::string&) { return {}; }

std::vector<DoctorFinding> portFindings(const std::string&) { return {}; }

}  // namespace varnel
