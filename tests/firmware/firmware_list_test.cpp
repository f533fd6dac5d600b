#include <gtest/gtest.h>

#include "firmware/firmware_list.h"
#include "firmware/http_client.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

TEST(FirmwareListPath, KX8KeepsItsOldListAndOthersHaveAFolder) {
    EXPECT_EQ(firmwareListPath("KX8"), "/support/firmware.txt");
    EXPECT_EQ(firmwareListPath("AP64"), "/support/firmware/AP64/list.txt");
    EXPECT_EQ(firmwareListPath("JM128"), "/support/firmware/JM128/list.txt");
}

struct ListCase {
    const char* name;
    std::string body;
    std::vector<FirmwareRelease> rows;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

class ParseFirmwareList : public ::testing::TestWithParam<ListCase> {};

TEST_P(ParseFirmwareList, SplitsRows) {
    const auto rows = parseFirmwareList(GetParam().body);
    ASSERT_EQ(rows.size(), GetParam().rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].file, GetParam().rows[i].file) << "row " << i;
        EXPECT_EQ(rows[i].description, GetParam().rows[i].description) << "row " << i;
        EXPECT_EQ(rows[i].date, GetParam().rows[i].date) << "row " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, ParseFirmwareList,
    ::testing::Values(
        ListCase{"LfLineEnds",
                 "/fw/a.s19\tRelease A\t2024-01-02\n/fw/b.s19\tRelease B\t2024-03-04\n",
                 {{"/fw/a.s19", "Release A", "2024-01-02"}, {"/fw/b.s19", "Release B", "2024-03-04"}}},
        // The second path must not start with the LF of the first line's CR LF.
        ListCase{"CrLfLineEnds",
                 "/fw/a.s19\tRelease A\t2024-01-02\r\n/fw/b.s19\tRelease B\t2024-03-04\r\n",
                 {{"/fw/a.s19", "Release A", "2024-01-02"}, {"/fw/b.s19", "Release B", "2024-03-04"}}},
        ListCase{"NoFinalLineEndAndBlankLines",
                 "\n\n/fw/a.s19\tA\t2024\n\r\n/fw/b.s19\tB\t2025",
                 {{"/fw/a.s19", "A", "2024"}, {"/fw/b.s19", "B", "2025"}}},
        // A row with only two fields is not noticed: its description runs on
        // into the next line up to the next TAB.
        ListCase{"TwoFieldRowRunsOn", "/fw/a.s19\tA\n/fw/b.s19\tB\t2025\n", {{"/fw/a.s19", "A\n/fw/b.s19", "B"}}},
        ListCase{"IncompleteLastRowDropped", "/fw/a.s19\tA\t2024\n/fw/b.s19\tB", {{"/fw/a.s19", "A", "2024"}}},
        ListCase{"Empty", "", {}},
        ListCase{"LongFieldsCut",
                 std::string(100, 'f') + "\t" + std::string(200, 'd') + "\t" + std::string(20, '9') + "\n",
                 {{std::string(79, 'f'), std::string(159, 'd'), std::string(15, '9')}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseFirmwareList, StopsAtTwoHundredRowsAndReadsPastTheOldCut) {
    std::string body;
    for (int i = 0; i < 250; ++i)
        body += "/fw/release" + std::to_string(i) + ".s19\tRelease number " + std::to_string(i) + "\t2024-01-01\r\n";
    ASSERT_GT(body.size(), 3999u);
    const auto rows = parseFirmwareList(body);
    ASSERT_EQ(rows.size(), 200u);
    EXPECT_EQ(rows[199].file, "/fw/release199.s19");
    EXPECT_EQ(rows[199].date, "2024-01-01");
}

class CannedHttp : public HttpClient {
public:
    HttpResponse answer;
    std::string server, path;
    std::size_t maxBody = 0;
    HttpResponse get(const std::string& s, const std::string& p, std::size_t m) override {
        server = s;
        path = p;
        maxBody = m;
        return answer;
    }
};

TEST(FetchFirmwareList, AsksTheChipsListAndSplitsIt) {
    CannedHttp http;
    http.answer = {200, "/fw/a.s19\tA\t2024\n", false, {}};
    test::RecordingUi ui;
    std::vector<FirmwareRelease> rows;
    EXPECT_EQ(fetchFirmwareList(http, "fw.example:8080", "AP64", rows, ui), 0);
    EXPECT_EQ(http.server, "fw.example:8080");
    EXPECT_EQ(http.path, "/support/firmware/AP64/list.txt");
    EXPECT_GE(http.maxBody, 64u * 1024);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(ui.messages.empty());
}

// A server that answered with anything but 200 has no list; one that never
// answered is named, with the client's reason.
TEST(FetchFirmwareList, AnyStatusButOkLeavesTheListEmpty) {
    for (int status : {0, 301, 404, 500}) {
        CannedHttp http;
        http.answer = {status, "/fw/a.s19\tA\t2024\n", false, status == 0 ? "Connection refused" : ""};
        test::RecordingUi ui;
        std::vector<FirmwareRelease> rows{{"old", "old", "old"}};
        EXPECT_EQ(fetchFirmwareList(http, "fw.example:8080", "KX8", rows, ui), -1) << status;
        EXPECT_TRUE(rows.empty()) << status;
        EXPECT_EQ(ui.messages,
                  std::vector<std::string>{status == 0 ? "Cannot reach the server fw.example:8080: Connection refused"
                                                       : "Error retrieving firmware list"})
            << status;
    }
}

// Every HTTP client asks the same host and port, and refuses the same
// requests in the same words.
TEST(HttpAddress, SplitsTheServerAndRefusesWhatCannotBeAsked) {
    struct Case {
        const char* server;
        const char* path;
        const char* host;
        int port;
        bool refused;
    };
    const Case cases[] = {
        {"fw.example", "/a", "fw.example", 80, false},
        {"127.0.0.1:8080", "/a", "127.0.0.1", 8080, false},
        {"[::1]", "/a", "[::1]", 80, false},
        {"", "/a", "", 80, true},
        {"fw.example:", "/a", "fw.example", 0, true},
        {"fw.example:99999", "/a", "fw.example", 0, true},
        {"fw.example:80x", "/a", "fw.example", 0, true},
        {"fw.example", "a", "fw.example", 80, true},
    };
    for (const Case& c : cases) {
        const HttpAddress a = httpAddress(c.server, c.path);
        EXPECT_EQ(a.host, c.host) << c.server;
        EXPECT_EQ(a.port, c.port) << c.server;
        EXPECT_EQ(a.error, c.refused ? std::string("Invalid server or path: ") + c.server + c.path : "") << c.server;
    }
}

}  // namespace
}  // namespace varnel
