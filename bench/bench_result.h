#pragma once

#include <string>
#include <vector>

namespace varnel::bench {

// One row of the benchmark: the measured runs of one case, each beside the
// shortest time the same traffic can take on the wire.
struct CaseRuns {
    std::string name;          // "firmware load", "settings read", ...
    std::string chip;
    int adapterLatencyMs = 0;  // 0: no USB adapter between tracker and host
    std::vector<double> seconds;
    std::vector<double> boundSeconds;
    std::string failure;       // why the case did not run to the end, if it did not
};

double median(std::vector<double> values);
// The median of the per-run ratios measured / bound.
double medianRatio(const CaseRuns& c);

}  // namespace varnel::bench
