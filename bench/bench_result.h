#pragma once

#include <string>
#include <vector>

namespace varnel::bench {

// One row of the benchmark: the measured runs of one case, each beside the
// shortest time the same traffic can take on the wire.
struct CaseRuns {
    std::string name;  // "firmware load", "settings read", ...
    std::string chip;
    int adapterLatencyMs = 0;  // 0: no USB adapter between tracker and host
    std::vector<double> seconds;
    std::vector<double> boundSeconds;
    std::vector<double> trafficBytes;  // bytes on the wire, both ways, of each run that succeeded
    std::vector<double> commands;      // commands the tracker answered in each run, failed ones too
    std::string failure;               // why the case did not run to the end (or the first run that failed)
    // On a noisy line (bit error rate > 0) every run is tried and its
    // outcome counted; a failure there is the line's, not the bench's.
    double noiseBer = 0;
    int failed = 0;       // runs that ended in a failure
    int wrong = 0;        // runs that ended in success with bytes that differ from the tracker's
    double retries = -1;  // median extra commands over the clean line's; -1: not known
};

double median(std::vector<double> values);
// The median of the per-run ratios measured / bound.
double medianRatio(const CaseRuns& c);

}  // namespace varnel::bench
