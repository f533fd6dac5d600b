#include "serial/connection_doctor.h"

#include <algorithm>

namespace varnel {

std::string DoctorFinding::sentence() const {
    if (remedy.empty()) return found + ".";
    return found + "; " + remedy;
}

std::string doctorLine(const DoctorFinding& finding) {
    static constexpr const char* kTags[] = {"[ok]      ", "[advice]  ", "[problem] "};
    return kTags[static_cast<int>(finding.level)] + finding.check + ": " + finding.sentence();
}

bool standsInTheWay(const std::vector<DoctorFinding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const DoctorFinding& f) { return f.level == FindingLevel::Problem; });
}

std::string doctorReportText(const std::vector<DoctorFinding>& findings) {
    std::string text;
    for (const DoctorFinding& f : findings) text += doctorLine(f) + "\n";
    const auto problems = std::count_if(findings.begin(), findings.end(),
                                        [](const DoctorFinding& f) { return f.level == FindingLevel::Problem; });
    if (problems == 0) text += "Nothing stands in the way of a connection.\n";
    else if (problems == 1) text += "One problem stands in the way: the line marked [problem] says what to do.\n";
    else text += std::to_string(problems) + " problems stand in the way: each line marked [problem] says what to do.\n";
    return text;
}

}  // namespace varnel
