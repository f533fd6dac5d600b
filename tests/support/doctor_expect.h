#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "serial/connection_doctor.h"

namespace varnel::test {

// One case of a findings table: a made-up system, the port asked about,
// and what one check must say of them.
template <class System>
struct DoctorCase {
    const char* name;
    std::function<void(System&)> setUp;
    const char* port;
    const char* check;
    FindingLevel level;
    std::vector<std::string> says;  // each must be in the finding's sentence
};

// The first finding of a check, at the level given, whose sentence says
// each of the parts.
inline void expectFinding(const std::vector<DoctorFinding>& findings, const std::string& check, FindingLevel level,
                          const std::vector<std::string>& says) {
    const DoctorFinding* f = nullptr;
    for (const DoctorFinding& each : findings)
        if (each.check == check && !f) f = &each;
    ASSERT_NE(f, nullptr) << "no " << check << " line in\n" << doctorReportText(findings);
    EXPECT_EQ(f->level, level) << doctorLine(*f);
    for (const std::string& part : says)
        EXPECT_NE(f->sentence().find(part), std::string::npos) << part << "\n" << doctorLine(*f);
}

}  // namespace varnel::test
