#include "win32/wininet_http_client.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <memory>

#include "win32/win32_text.h"

namespace varnel::win32 {

namespace {

struct InternetHandleCloser {
    void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

// WinINet's own words for its last error.
std::string lastErrorText() {
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       GetModuleHandleW(L"wininet.dll"), code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = n && text ? std::wstring(text, n) : L"WinINet error " + std::to_wstring(code);
    if (text) LocalFree(text);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) words.pop_back();
    return utf8FromWide(words);
}

}  // namespace

HttpResponse WinInetHttpClient::get(const std::string& server, const std::string& path, std::size_t maxBody) {
    const HttpAddress address = httpAddress(server, path);
    if (!address.error.empty()) return {0, {}, false, address.error};
    HttpResponse response;

    auto fail = [&] {
        response.status = 0;
        response.body.clear();
        response.error = lastErrorText();
        return response;
    };
    const std::wstring agent = L"varnelcfg/" + wideFromUtf8(VARNEL_VERSION);
    InternetHandle session(InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return fail();
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD ms = timeoutMs_;
        InternetSetOptionW(session.get(), option, &ms, sizeof ms);
    }
    InternetHandle connection(InternetConnectW(session.get(), wideFromUtf8(address.host).c_str(),
                                               static_cast<INTERNET_PORT>(address.port), nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return fail();
    // The path comes from a list on the web and is sent exactly as written.
    const DWORD flags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
    InternetHandle request(
        HttpOpenRequestW(connection.get(), L"GET", wideFromUtf8(path).c_str(), nullptr, nullptr, nullptr, flags, 0));
    if (!request || !HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return fail();

    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return fail();
    response.status = static_cast<int>(status);
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request.get(), chunk, sizeof chunk, &got)) return fail();
        if (got == 0) break;
        const std::size_t room = maxBody - std::min(maxBody, response.body.size());
        if (got > room) {
            response.body.append(chunk, room);
            response.truncated = true;
            break;
        }
        response.body.append(chunk, got);
    }
    return response;
}

}  // namespace varnel::win32
