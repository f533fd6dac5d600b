#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>
#include <thread>

#include "firmware/firmware_list.h"
#include "support/recording_ui.h"
#include "win32/wininet_http_client.h"

namespace varnel::test {
namespace {

constexpr const char* kList =
    "/fw/ap64-2.s19\tAP64 tracker 2.0\t2024-05-01\r\n/fw/ap64-1.s19\tAP64 tracker 1.0\t2023-01-10\r\n";

// A web server on the loopback interface that answers `requests` requests,
// one per connection: the firmware list, a 302 redirect, or 404.
class LoopbackServer {
public:
    explicit LoopbackServer(int requests) {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        listen(listener_, 4);
        thread_ = std::thread([this, requests] {
            for (int i = 0; i < requests; ++i) serveOne();
        });
    }
    ~LoopbackServer() {
        thread_.join();
        closesocket(listener_);
        WSACleanup();
    }
    std::string server() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    void serveOne() {
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        const std::string path = request.substr(4, request.find(' ', 4) - 4);
        std::string reply;
        if (path == firmwareListPath("AP64"))
            reply =
                "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(std::string(kList).size()) + "\r\n\r\n" + kList;
        else if (path == "/moved")
            reply = "HTTP/1.0 302 Found\r\nLocation: " + firmwareListPath("AP64") + "\r\nContent-Length: 0\r\n\r\n";
        else reply = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
        send(client, reply.data(), static_cast<int>(reply.size()), 0);
        shutdown(client, SD_SEND);
        closesocket(client);
    }

    SOCKET listener_;
    int port_ = 0;
    std::thread thread_;
};

// The firmware list comes through WinINet from a loopback server; a
// redirect is not followed, a body is cut at its bound, and a server
// nobody answers for comes back in WinINet's words, which the list says
// once: the client itself shows nothing.
TEST(WinInetHttpClient, FetchesTheListAndKeepsToItsRules) {
    RecordingUi ui;
    win32::WinInetHttpClient http(5000);
    {
        LoopbackServer server(4);
        std::vector<FirmwareRelease> rows;
        ASSERT_EQ(fetchFirmwareList(http, server.server(), "AP64", rows, ui), 0);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].file, "/fw/ap64-2.s19");
        EXPECT_EQ(rows[1].description, "AP64 tracker 1.0");

        EXPECT_EQ(http.get(server.server(), "/moved", 1024).status, 302);
        EXPECT_EQ(http.get(server.server(), "/none", 1024).status, 404);
        const HttpResponse cut = http.get(server.server(), firmwareListPath("AP64"), 10);
        EXPECT_EQ(cut.status, 200);
        EXPECT_TRUE(cut.truncated);
        EXPECT_EQ(cut.body, std::string(kList).substr(0, 10));
    }
    EXPECT_TRUE(ui.messages.empty());

    std::string closedPort;
    {
        LoopbackServer server(0);  // gone once this block ends
        closedPort = server.server();
    }
    const HttpResponse none = http.get(closedPort, "/list.txt", 1024);
    EXPECT_EQ(none.status, 0);
    EXPECT_FALSE(none.error.empty());
    EXPECT_TRUE(ui.messages.empty());
    std::vector<FirmwareRelease> rows;
    EXPECT_EQ(fetchFirmwareList(http, closedPort, "AP64", rows, ui), -1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind(unreachableServerMessage(closedPort, ""), 0), 0u) << ui.messages[0];
    EXPECT_NE(ui.messages[0].find(none.error), std::string::npos) << ui.messages[0];
}

}  // namespace
}  // namespace varnel::test
