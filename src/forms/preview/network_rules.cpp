#include "forms/preview/network_rules.h"

#include <map>
#include <optional>
#include <utility>

#include "config/settings_record.h"
#include "forms/tracker/tracker_config_edit.h"
#include "session/session.h"

namespace varnel {

namespace {

constexpr const char* kUsualPath = "WIDE1-1,WIDE2-1 (WIDE1-1,WIDE2-2 in open country)";
constexpr int kMostHopsOfAKind = 2;
constexpr int kMostHopsInAll = 3;
constexpr long kShortestFixedInterval = 60;  // seconds

using Values = std::map<std::string, std::string>;

// One path element as a digipeater reads it: "WIDE2-1" is the alias WIDE,
// n = 2 (the hops it asked for at the origin) and N = 1 (the hops left).
struct Element {
    std::string text;
    std::string alias;  // the letters before the digit: WIDE, TRACE, RELAY...
    std::optional<int> n, hopsLeft;
};

Element parseElement(const std::string& text) {
    const std::size_t dash = text.find('-');
    const std::string call = text.substr(0, dash);
    Element e{text, call, {}, {}};
    if (call.size() >= 2 && call.back() >= '1' && call.back() <= '7') {
        const std::string alias = call.substr(0, call.size() - 1);
        if (alias == "WIDE" || alias == "TRACE") {
            e.alias = alias;
            e.n = call.back() - '0';
            e.hopsLeft = dash == std::string::npos ? 0 : std::stoi("0" + text.substr(dash + 1));
        }
    }
    return e;
}

std::vector<Element> parsePath(const std::string& path) {
    std::vector<Element> out;
    std::size_t start = 0;
    while (!path.empty()) {
        const std::size_t comma = path.find(',', start);
        out.push_back(parseElement(path.substr(start, comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

// The hops a path asks for: WIDEn-N and TRACEn-N ask for N, any other alias
// or digipeater callsign for one.
int hopsAskedFor(const std::vector<Element>& path) {
    int hops = 0;
    for (const Element& e : path) hops += e.hopsLeft ? *e.hopsLeft : 1;
    return hops;
}

class Rules {
public:
    Rules(int profile, Values values) : profile_(profile), v_(std::move(values)) {}

    void run(std::vector<NetworkWarning>& out) {
        out_ = &out;
        callsign();
        path();
        interval();
        digipeaterAliases();
    }

private:
    void warn(const std::string& key, std::string why, std::string usual) {
        out_->push_back({profile_, key, value(key), std::move(why), std::move(usual)});
    }
    std::string value(const std::string& key) const {
        const auto it = v_.find(key);
        return it == v_.end() ? std::string() : it->second;
    }

    void callsign() {
        const std::string call = value("callsign").substr(0, value("callsign").find('-'));
        if (call == "N0CALL" || call == "NOCALL" || call == "MYCALL")
            warn("callsign", call + " is a placeholder, and a tracker must transmit its owner's callsign.",
                 "your own callsign, with -9 for a vehicle or -7 for a handheld");
    }

    void path() {
        const std::vector<Element> elements = parsePath(value("path"));
        for (std::size_t i = 0; i < elements.size(); ++i) {
            const Element& e = elements[i];
            if (e.text == "WIDE1-1" && i > 0)
                warn("path",
                     "WIDE1-1 is for the first hop only, where a fill-in digipeater answers it; later in "
                     "the path no digipeater does.",
                     kUsualPath);
            else if (e.alias == "RELAY" || e.alias == "TRACE" || (e.alias == "WIDE" && !e.n))
                warn("path",
                     e.text + " is an alias of the old paradigm that today's digipeaters no longer serve "
                              "the way it asks.",
                     std::string(kUsualPath) + ", in place of RELAY, WIDE or TRACE");
            else if (e.alias == "WIDE" && *e.hopsLeft > kMostHopsOfAKind)
                warn("path",
                     e.text + " asks for " + std::to_string(*e.hopsLeft) +
                         " hops: most digipeaters cut it short, and the rest flood the network with it.",
                     kUsualPath);
            else if (e.alias == "WIDE" && *e.n != *e.hopsLeft && e.text != "WIDE2-1")
                // WIDE2-1 is the paradigm's own second hop of WIDE1-1,WIDE2-1;
                // any other WIDEn-N with n and N apart looks like a packet
                // already on its way, which is not how one leaves its origin.
                warn("path", e.text + " leaves its origin with hops already used up; a packet starts as WIDEn-n.",
                     kUsualPath);
        }
        if (const int hops = hopsAskedFor(elements); hops > kMostHopsInAll)
            warn("path",
                 "the path asks for " + std::to_string(hops) + " hops in all; beyond " +
                     std::to_string(kMostHopsInAll) +
                     " a packet floods the network without reaching "
                     "anyone who could not hear it sooner.",
                 kUsualPath);
    }

    void interval() {
        // A weather station beacons on its transmit interval; a tracker on
        // its beacon interval unless SmartBeaconing paces it.
        const bool weather = v_.count("transmitInterval") != 0;
        const std::string key = weather ? "transmitInterval" : "beaconInterval";
        if (!weather && value("smartBeaconing") == "1") return;
        const std::string text = value(key);
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return;
        const long seconds = std::stol(text);
        if (seconds > 0 && seconds < kShortestFixedInterval)
            warn(key, "a position every " + text + " seconds crowds the channel every station in range shares.",
                 weather ? "600 seconds or more for a fixed station"
                         : "180 seconds or more, or SmartBeaconing for a tracker on the move");
    }

    // A tracker that digipeats should fill in, answering WIDE1-1 only: one
    // that answers WIDE2-N and beyond takes the part of a wide-area
    // digipeater on a hill, and duplicates its work from below.
    void digipeaterAliases() {
        if (value("digipeater.digipeating") != "1") return;
        for (int n = 1; n <= 8; ++n) {
            const std::string alias = "digipeater.alias" + std::to_string(n);
            if (value("digipeater.enabled" + std::to_string(n)) != "1") continue;
            const Element e = parseElement(value(alias));
            if (e.alias == "WIDE" && e.n && *e.n >= 2)
                warn(alias,
                     "answering " + value(alias) +
                         "-N is the part of a wide-area digipeater on a high site; "
                         "a mobile or fill-in digipeater answers WIDE1-1 only.",
                     "the alias WIDE1 with 1 hop, unless this tracker is such a site");
        }
    }

    int profile_;
    Values v_;
    std::vector<NetworkWarning>* out_ = nullptr;
};

}  // namespace

std::vector<NetworkWarning> checkNetworkRules(Session& session) {
    std::vector<NetworkWarning> out;
    const bool weather = session.settings.family() == kFamilyWeather;
    for (int profile = 0; profile < (weather ? 1 : 2); ++profile) {
        const auto values = configKeyValues(session, profile, true);
        Rules(weather ? 0 : profile + 1, Values(values.begin(), values.end())).run(out);
    }
    return out;
}

std::string warningLine(const NetworkWarning& w) {
    const std::string where = w.profile > 0 ? "profile " + std::to_string(w.profile) + " " : "";
    return where + w.key + " " + w.value + ": " + w.why + " Usual choice: " + w.usual + ".";
}

}  // namespace varnel
