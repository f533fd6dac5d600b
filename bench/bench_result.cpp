#include "bench_result.h"

#include <algorithm>

namespace varnel::bench {

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

double medianRatio(const CaseRuns& c) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < c.seconds.size() && i < c.boundSeconds.size(); ++i)
        if (c.boundSeconds[i] > 0) ratios.push_back(c.seconds[i] / c.boundSeconds[i]);
    return median(ratios);
}

}  // namespace varnel::bench
