#include <gtest/gtest.h>

#include "firmware/firmware_download.h"
#include "firmware/http_client.h"
#include "firmware/srecord_builder.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

class CannedHttp : public HttpClient {
public:
    HttpResponse answer;
    std::string path;
    HttpResponse get(const std::string&, const std::string& p, std::size_t) override {
        path = p;
        return answer;
    }
};

struct DownloadRun {
    int result;
    FlashImage image;
    test::RecordingUi ui;
};

void run(DownloadRun& r, const HttpResponse& answer) {
    CannedHttp http;
    http.answer = answer;
    r.image.bytes[0x9000] = 0x55;  // left from an earlier load
    r.image.touched[0x9000] = kTouchedData;
    r.result = downloadFirmware(http, "mirror", "/fw/a.s19", r.image, r.ui);
    EXPECT_EQ(http.path, "/fw/a.s19");
}

TEST(DownloadFirmware, LoadsRecordsFromACrLfBodyUntilTheEndRecord) {
    DownloadRun r;
    const std::string body = test::srecord('0', 0, {'d', 'e', 'm', 'o'}) + "\r\n" +
                             test::srecord('1', 0x8000, {0xA6, 0x01, 0x20}) + "\r\n" +
                             test::srecord('3', 0xFFFE, {0x80, 0x00}) + "\r\n" + "S9030000FC\r\n" +
                             test::srecord('1', 0x8100, {0x11}) + "\r\n";
    run(r, {200, body, false, {}});
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.ui.messages.empty());
    EXPECT_EQ(r.image.bytes[0x8000], 0xA6);
    EXPECT_EQ(r.image.bytes[0x8002], 0x20);
    EXPECT_EQ(r.image.touched[0x8002], kTouchedData);
    EXPECT_EQ(r.image.bytes[0xFFFE], 0x80);
    // The image was reset, and nothing after the end record was read.
    EXPECT_EQ(r.image.bytes[0x9000], kErasedByte);
    EXPECT_EQ(r.image.touched[0x9000], kUntouched);
    EXPECT_EQ(r.image.touched[0x8100], kUntouched);
}

TEST(DownloadFirmware, RefusedOrCutDownloadsLeaveTheImageAlone) {
    for (HttpResponse answer : {HttpResponse{404, "", false, {}}, HttpResponse{0, "", false, "refused"},
                                HttpResponse{200, test::srecord('1', 0x8000, {1}) + "\n", true, {}}}) {
        DownloadRun r;
        run(r, answer);
        EXPECT_EQ(r.result, -1);
        EXPECT_EQ(r.ui.messages,
                  std::vector<std::string>{answer.status == 0 ? std::string("Cannot reach the server mirror: refused")
                                                              : "Unable to download firmware file"});
        EXPECT_EQ(r.image.bytes[0x9000], 0x55);
        EXPECT_EQ(r.image.touched[0x8000], kUntouched);
    }
}

TEST(DownloadFirmware, BadRecordsFailWithTheParsersMessageKeepingEarlierBytes) {
    struct Case {
        std::string badLine;
        const char* message;
    } cases[] = {
        {"S1058100A6", "Error reading firmware file"},
        {test::srecord('1', 0x8010, {0x01, 0x02}).substr(0, 12) + "00", "Error reading firmware file"},
        // The mirror serves 64 KiB parts only: a JM128 image cannot come this way.
        {test::srecord('2', 0x10000, {0x01}), "Address out of range in firmware file"},
        {test::srecord('3', 0x20000, {0x01}), "Address out of range in firmware file"},
    };
    for (const auto& c : cases) {
        DownloadRun r;
        run(r,
            {200,
             test::srecord('1', 0x8000, {0xAA}) + "\n" + c.badLine + "\n" + test::srecord('1', 0x8200, {0xBB}) + "\n",
             false,
             {}});
        EXPECT_EQ(r.result, -1) << c.badLine;
        EXPECT_EQ(r.ui.messages, std::vector<std::string>{c.message}) << c.badLine;
        EXPECT_EQ(r.image.bytes[0x8000], 0xAA) << c.badLine;
        EXPECT_EQ(r.image.touched[0x8200], kUntouched) << c.badLine;
    }
}

TEST(DownloadFirmware, BodyWithoutEndRecordSucceeds) {
    DownloadRun r;
    run(r, {200, test::srecord('1', 0x8000, {0x42}), false, {}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.image.bytes[0x8000], 0x42);
}

}  // namespace
}  // namespace varnel
