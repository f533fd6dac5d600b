#pragma once

#include <cstddef>
#include <string>

namespace varnel {

// What one HTTP GET brought back. status is 0 when no server answered at all;
// then error says why, in the platform client's words.
struct HttpResponse {
    int status = 0;
    std::string body;
    bool truncated = false;  // the body went on beyond the bound asked for
    std::string error;
};

// The little the firmware download needs from an HTTP client: one plain GET,
// no redirects followed, nothing cached. server is "host" or "host:port"
// (port 80 when none is given). At most maxBody bytes of the body are kept.
// A client reports and never speaks to the user: what went wrong goes back
// in the response, and the list or the download says it, once.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse get(const std::string& server, const std::string& path, std::size_t maxBody) = 0;
};

// Where a GET goes: server split into host and port. error says why the
// request cannot be made ("" when it can), in the same words for every client.
struct HttpAddress {
    std::string host;
    int port = 80;
    std::string error;
};
HttpAddress httpAddress(const std::string& server, const std::string& path);

// What the list and the download say when no server answered at all (status
// 0): which host, and the client's reason, rather than a file or list error
// that sends the user looking at the wrong thing.
inline std::string unreachableServerMessage(const std::string& server, const std::string& error) {
    return "Cannot reach the server " + server + (error.empty() ? std::string() : ": " + error);
}

}  // namespace varnel
