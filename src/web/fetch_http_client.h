#pragma once

#include "firmware/http_client.h"

namespace varnel::web {

// HttpClient over the browser's fetch: no redirects followed, nothing
// cached, the status must be the server's own. The server must allow the
// page's origin (CORS), or the browser reports no answer at all.
class FetchHttpClient : public HttpClient {
public:
    HttpResponse get(const std::string& server, const std::string& path, std::size_t maxBody) override;
};

}  // namespace varnel::web
