#include "cli/fleet/units_file.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace varnel::cli {

namespace {

constexpr const char* kProfile2Prefix = "profile2.";

// The fields of every record; a quoted field may hold commas and line ends.
std::vector<std::vector<std::string>> splitCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = any = true;
        } else if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (any || !field.empty()) {
                fields.push_back(std::move(field));
                records.push_back(std::move(fields));
            }
            fields.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.empty()) {
        fields.push_back(std::move(field));
        records.push_back(std::move(fields));
    }
    return records;
}

}  // namespace

bool parseUnitsText(const std::string& text, std::vector<UnitRow>& rows, std::string& error) {
    const auto records = splitCsv(text);
    if (records.empty()) {
        error = "the units file is empty";
        return false;
    }
    const std::vector<std::string>& header = records.front();
    for (std::size_t r = 1; r < records.size(); ++r) {
        const std::vector<std::string>& fields = records[r];
        if (fields.size() > header.size()) {
            error = "row " + std::to_string(r + 1) + " has more fields than the header";
            return false;
        }
        UnitRow row;
        row.port = fields.front();
        if (row.port.empty()) {
            error = "row " + std::to_string(r + 1) + " names no port";
            return false;
        }
        for (std::size_t c = 1; c < fields.size(); ++c) {
            if (fields[c].empty()) continue;
            const std::string& key = header[c];
            if (key.starts_with(kProfile2Prefix))
                row.profile2.push_back(key.substr(std::char_traits<char>::length(kProfile2Prefix)) + "=" + fields[c]);
            else row.profile1.push_back(key + "=" + fields[c]);
        }
        rows.push_back(std::move(row));
    }
    return true;
}

bool loadUnitsFile(const std::string& path, std::vector<UnitRow>& rows, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    return parseUnitsText(text, rows, error);
}

}  // namespace varnel::cli
