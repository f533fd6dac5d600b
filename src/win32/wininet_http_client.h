#pragma once

#include "firmware/http_client.h"

namespace varnel {
class UserInterface;
}

namespace varnel::win32 {

// HttpClient over WinINet, as the firmware list and downloads have always
// been fetched on Windows: one GET, redirects not followed, nothing taken
// from or put in the cache, the body bounded. A server that cannot be
// reached is reported to the user in WinINet's words.
class WinInetHttpClient : public HttpClient {
public:
    explicit WinInetHttpClient(UserInterface& ui, unsigned timeoutMs = 15000) : ui_(ui), timeoutMs_(timeoutMs) {}
    HttpResponse get(const std::string& server, const std::string& path, std::size_t maxBody) override;

private:
    UserInterface& ui_;
    unsigned timeoutMs_;
};

}  // namespace varnel::win32
