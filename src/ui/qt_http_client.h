#pragma once

#include "firmware/http_client.h"

namespace varnel {

// HttpClient over Qt Network: a fresh access manager per fetch, redirects not
// followed, nothing cached or taken from a cache. When no server can be
// reached, the platform's reason goes back in the response's error.
class QtHttpClient : public HttpClient {
public:
    explicit QtHttpClient(int timeoutMs = 30000) : timeoutMs_(timeoutMs) {}
    HttpResponse get(const std::string& server, const std::string& path, std::size_t maxBody) override;

private:
    int timeoutMs_;
};

}  // namespace varnel
