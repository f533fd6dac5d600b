#pragma once

#include <string>
#include <vector>

namespace varnel::cli {

// One row of a fleet's units file: the port, then the settings that unit
// gets on top of the shared configuration, as `set` takes them.
struct UnitRow {
    std::string port;
    std::vector<std::string> profile1;  // KEY=VALUE for profile 1
    std::vector<std::string> profile2;  // from the columns named "profile2.KEY"
};

// Reads a units file: a header row (the first column the port, the others
// keys as `set` takes them, "profile2." for the second profile), then one
// row per unit. Fields may be quoted ("...", with "" for a quote) to hold
// commas. An empty field leaves that key as the file has it. False with
// the reason in `error`.
bool parseUnitsText(const std::string& text, std::vector<UnitRow>& rows, std::string& error);
bool loadUnitsFile(const std::string& path, std::vector<UnitRow>& rows, std::string& error);

}  // namespace varnel::cli
