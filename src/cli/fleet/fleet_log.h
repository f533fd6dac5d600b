#pragma once

#include <string>
#include <vector>

#include "cli/fleet/unit_record.h"

namespace varnel::cli {

// The run's record, one per unit: as a JSON array when the path ends in
// ".json", else as CSV with a header row (the changes and messages one per
// line inside their field). False when the file cannot be written.
bool writeFleetLog(const std::string& path, const std::vector<UnitRecord>& units);

}  // namespace varnel::cli
