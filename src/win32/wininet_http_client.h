#pragma once

#include "firmware/http_client.h"

namespace varnel::win32 {

// HttpClient over WinINet, as the firmware list and downloads have always
// been fetched on Windows: one GET, redirects not followed, nothing taken
// from or put in the cache, the body bounded. A server that cannot be
// reached comes back as status 0 with WinINet's words as the error.
class WinInetHttpClient : public HttpClient {
public:
    explicit WinInetHttpClient(unsigned timeoutMs = 15000) : timeoutMs_(timeoutMs) {}
    HttpResponse get(const std::string& server, const std::string& path, std::size_t maxBody) override;

private:
    unsigned timeoutMs_;
};

}  // namespace varnel::win32
