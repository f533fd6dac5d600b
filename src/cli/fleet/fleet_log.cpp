#include "cli/fleet/fleet_log.h"

#include <cstdio>
#include <ctime>
#include <fstream>

namespace varnel::cli {

namespace {

std::string isoTime(std::chrono::system_clock::time_point t) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count() % 1000;
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    char out[48];
    std::snprintf(out, sizeof out, "%s.%03dZ", text, static_cast<int>(ms));
    return out;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (u < 0x20 || u >= 0x7F) {
            // Bytes of a status text that are not text stay bytes, not broken UTF-8.
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", u);
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string jsonList(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + jsonString(items[i]);
    return out + "]";
}

std::string csvField(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? "\n" : "") + items[i];
    return out;
}

void writeJson(std::ostream& out, const std::vector<UnitRecord>& units) {
    out << "[\n";
    for (std::size_t i = 0; i < units.size(); ++i) {
        const UnitRecord& u = units[i];
        out << "  {\"port\": " << jsonString(u.port) << ", \"chip\": " << jsonString(u.chip)
            << ", \"deviceId\": " << jsonString(u.deviceId) << ", \"callsign\": " << jsonString(u.callsign)
            << ",\n   \"changes\": " << jsonList(u.changes) << ",\n   \"backup\": " << jsonString(u.backup)
            << ", \"output\": " << jsonString(u.output) << ", \"result\": " << jsonString(resultName(u.result))
            << ",\n   \"messages\": " << jsonList(u.messages) << ",\n   \"start\": " << jsonString(isoTime(u.start))
            << ", \"end\": " << jsonString(isoTime(u.end)) << "}" << (i + 1 < units.size() ? "," : "") << "\n";
    }
    out << "]\n";
}

void writeCsv(std::ostream& out, const std::vector<UnitRecord>& units) {
    out << "port,chip,deviceId,callsign,changes,backup,output,result,messages,start,end\n";
    for (const UnitRecord& u : units) {
        out << csvField(u.port) << ',' << csvField(u.chip) << ',' << csvField(u.deviceId) << ',' << csvField(u.callsign)
            << ',' << csvField(joined(u.changes)) << ',' << csvField(u.backup) << ',' << csvField(u.output) << ','
            << csvField(resultName(u.result)) << ',' << csvField(joined(u.messages)) << ','
            << csvField(isoTime(u.start)) << ',' << csvField(isoTime(u.end)) << '\n';
    }
}

}  // namespace

bool writeFleetLog(const std::string& path, const std::vector<UnitRecord>& units) {
    std::ofstream out(path, std::ios::binary);
    if (!out) return false;
    if (path.ends_with(".json")) writeJson(out, units);
    else writeCsv(out, units);
    return static_cast<bool>(out.flush());
}

}  // namespace varnel::cli
