#include "firmware/http_client.h"

#include <algorithm>
#include <cctype>

namespace varnel {

HttpAddress httpAddress(const std::string& server, const std::string& path) {
    HttpAddress a;
    a.host = server;
    const std::size_t colon = server.rfind(':');
    // "[::1]" has colons of its own.
    if (colon != std::string::npos && server.find(']') == std::string::npos) {
        a.host = server.substr(0, colon);
        const std::string digits = server.substr(colon + 1);
        const bool number = !digits.empty() && digits.size() <= 5 &&
                            std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); });
        a.port = number ? std::stoi(digits) : 0;
        if (a.port > 65535) a.port = 0;
    }
    if (a.host.empty() || a.port < 1 || a.port > 65535 || path.empty() || path[0] != '/')
        a.error = "Invalid server or path: " + server + path;
    return a;
}

}  // namespace varnel
