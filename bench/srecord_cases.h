#pragma once

#include <string>
#include <vector>

namespace varnel::bench {

// Loading a 256 KiB image from one S-record flavour, beside srec_cat on the same file.
struct SRecordRun {
    std::string records;  // "S1", "S2", "S3"
    double fileMegabytes = 0;
    double oursSeconds = 0;     // median
    double srecCatSeconds = 0;  // median; 0 when srec_cat is not installed
    std::string failure;
};

// The last row, "start-up", is srec_cat on a file with only a header: the
// part of its times that is starting a process rather than loading.
std::vector<SRecordRun> runSRecordCases(int runs);

}  // namespace varnel::bench
