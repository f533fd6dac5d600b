#include "web/fetch_http_client.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace varnel::web {

namespace {

// Fills *status, *body (malloc'd), *length and *error (malloc'd); a body
// longer than maxBody is cut and *truncated set.
// clang-format off
EM_ASYNC_JS(void, js_fetch, (const char* url, int maxBody, int* status, char** body, int* length, int* truncated,
                             char** error), {
    const put = (text) => {
        const n = lengthBytesUTF8(text) + 1;
        const p = _malloc(n);
        stringToUTF8(text, p, n);
        return p;
    };
    HEAP32[status >> 2] = 0;
    HEAP32[body >> 2] = 0;
    HEAP32[length >> 2] = 0;
    HEAP32[truncated >> 2] = 0;
    HEAP32[error >> 2] = 0;
    try {
        const response = await fetch(UTF8ToString(url), { redirect: 'manual', cache: 'no-store' });
        HEAP32[status >> 2] = response.type === 'opaqueredirect' ? 302 : response.status;
        const bytes = new Uint8Array(await response.arrayBuffer());
        const n = Math.min(bytes.length, maxBody);
        const p = _malloc(n + 1);
        HEAPU8.set(bytes.subarray(0, n), p);
        HEAP32[body >> 2] = p;
        HEAP32[length >> 2] = n;
        HEAP32[truncated >> 2] = bytes.length > maxBody ? 1 : 0;
    } catch (e) {
        HEAP32[error >> 2] = put(String(e && e.message ? e.message : e));
    }
});
// clang-format on

}  // namespace

HttpResponse FetchHttpClient::get(const std::string& server, const std::string& path, std::size_t maxBody) {
    const HttpAddress address = httpAddress(server, path);
    if (!address.error.empty()) return {0, {}, false, address.error};
    HttpResponse r;
    int status = 0, length = 0, truncated = 0;
    char* body = nullptr;
    char* error = nullptr;
    const std::string url = "http://" + server + path;
    js_fetch(url.c_str(), static_cast<int>(maxBody), &status, &body, &length, &truncated, &error);
    std::unique_ptr<char, decltype(&std::free)> ownedBody(body, &std::free), ownedError(error, &std::free);
    r.status = status;
    if (body) r.body.assign(body, static_cast<std::size_t>(length));
    r.truncated = truncated != 0;
    if (error) r.error = error;
    return r;
}

}  // namespace varnel::web
