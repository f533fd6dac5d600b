#pragma once

#include <string>
#include <vector>

namespace varnel {

struct Session;

// A setting that goes against how today's APRS network works (the "New-N"
// paradigm the network adopted in 2005). Warnings never block a write: a
// tracker at a club's event or on a mountain may want what a car does not.
struct NetworkWarning {
    int profile = 0;    // 1 or 2; 0 for a weather station's one record
    std::string key;    // as show and set name it
    std::string value;  // as the window shows it
    std::string why;    // one sentence
    std::string usual;  // the usual choice
};

// Every warning for the settings the session holds, profile 1 first, in
// the order of the rules; none for a clean configuration.
std::vector<NetworkWarning> checkNetworkRules(Session& session);

// "profile 1 path WIDE1-1,WIDE3-3: WIDE3-3 asks for 3 hops; .... Usual
// choice: ...".
std::string warningLine(const NetworkWarning& w);

}  // namespace varnel
