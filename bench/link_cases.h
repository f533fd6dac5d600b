#pragma once

#include <string>
#include <vector>

#include "bench_result.h"

namespace varnel::bench {

// The link cases against the emulated tracker in its real-time model, each
// chip behind no adapter or one with the given latency timer. Behind an
// adapter the bound includes what its timer holds back of every answer.
// chips: which firmware loads to run (the settings cases go with "AP64");
// at the latency everyChipAt, every chip's firmware load runs. Then, at the
// first latency, noisyRuns settings reads and writes on a line flipping bits
// at noiseBer (none when 0).
std::vector<CaseRuns> runLinkCases(int runs, const std::vector<int>& adapterLatencies,
                                   const std::vector<std::string>& chips, int everyChipAt, double noiseBer,
                                   int noisyRuns);

}  // namespace varnel::bench
