#include <gtest/gtest.h>

#include <QPushButton>
#include <QTreeWidget>

#include "firmware/srecord_builder.h"
#include "ui/firmware_download_dialog.h"
#include "ui/firmware_init_dialog.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

TEST(FirmwareInitDialog, ShowsBlankTextForTypeZeroAndTheHardwareDetails) {
    struct Case {
        std::uint8_t family, type;
        std::uint16_t build;
        std::string deviceId;
        bool blank;
        QString hardware;
    } cases[] = {
        {0, 0, 0, "AP64", true, "Type:0 Build:0 Target:AP64"},
        // Erased flash reads 0xFF everywhere.
        {0xFF, 0xFF, 0xFFFF, "AP64-H", false, "Type:255 Build:65535 Target:AP64-H"},
        {0, 7, 0x0102, "JM128-HT", false, "Type:7 Build:258 Target:JM128-HT"},
    };
    for (const auto& c : cases) {
        test::UiFixture f;
        f.session.settings.setFamily(c.family);
        f.session.settings.setType(c.type);
        f.session.settings.setBuild(c.build);
        f.session.link.deviceInfo.deviceId = c.deviceId;
        CFirmwareInitDialog dialog(f.context);
        EXPECT_EQ(dialog.hardwareText(), c.hardware);
        EXPECT_EQ(
            dialog.messageText() == "Blank firmware detected, or reload selected.  Please select firmware source.",
            c.blank)
            << dialog.messageText().toStdString();
        EXPECT_FALSE(dialog.messageText().isEmpty());
    }
}

TEST(FirmwareInitDialog, FileThatFailsToLoadIsReportedAndNothingIsWritten) {
    test::UiFixture f;
    f.session.link.deviceInfo.deviceId = "AP64";
    f.files.answers = {"/nonexistent/firmware.s19", ""};
    CFirmwareInitDialog dialog(f.context);
    dialog.findChild<QPushButton*>("fileButton")->click();
    EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Error loading firmware file"});
    EXPECT_EQ(f.files.filters, QStringList{"Firmware Files (*.s19)"});
    // Cancelling the chooser does nothing more.
    dialog.findChild<QPushButton*>("fileButton")->click();
    EXPECT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(dialog.result(), 0);
}

class DownloadDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        f.context.firmwareServer = server.address();
        f.context.mirrorServer = server.address();
        f.session.link.chipName = "AP64";
        f.session.image.bytes[0x9000] = 0x77;
    }
    QTreeWidget* list(CFirmwareDownloadDialog& d) { return d.findChild<QTreeWidget*>("releaseList"); }
    void select(CFirmwareDownloadDialog& d, int row) { list(d)->setCurrentItem(list(d)->topLevelItem(row)); }
    test::LoopbackHttpServer server;
    test::UiFixture f;
};

TEST_F(DownloadDialogTest, ShowsTheChipsReleasesInThreeColumns) {
    server.replies["/support/firmware/AP64/list.txt"] = {
        200, "/fw/ap64-2.s19\tTracker 2.0\t2024-05-01\r\n/fw/ap64-1.s19\tTracker 1.9\t2023-01-02\r\n"};
    CFirmwareDownloadDialog dialog(f.context);
    ASSERT_EQ(list(dialog)->topLevelItemCount(), 2);
    EXPECT_EQ(list(dialog)->headerItem()->text(0), "Description");
    EXPECT_EQ(list(dialog)->headerItem()->text(1), "Date");
    EXPECT_EQ(list(dialog)->headerItem()->text(2), "File");
    EXPECT_EQ(list(dialog)->columnWidth(0), 390);
    const QTreeWidgetItem* second = list(dialog)->topLevelItem(1);
    EXPECT_EQ(second->text(0), "Tracker 1.9");
    EXPECT_EQ(second->text(1), "2023-01-02");
    EXPECT_EQ(second->text(2), "/fw/ap64-1.s19");  // no line feed carried over from CR LF
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST_F(DownloadDialogTest, MissingListStillOpensEmpty) {
    CFirmwareDownloadDialog dialog(f.context);
    EXPECT_EQ(server.requests, QStringList{"/support/firmware/AP64/list.txt"});
    EXPECT_EQ(list(dialog)->topLevelItemCount(), 0);
    EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Error retrieving firmware list"});
}

TEST_F(DownloadDialogTest, OkWithoutARowDoesNothing) {
    server.replies["/support/firmware/AP64/list.txt"] = {200, "/fw/a.s19\tA\t2024\n"};
    CFirmwareDownloadDialog dialog(f.context);
    dialog.findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(server.requests.size(), 1);
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST_F(DownloadDialogTest, FailedDownloadsStayOpenWithBothMessages) {
    server.replies["/support/firmware/AP64/list.txt"] = {
        200, "/fw/missing.s19\tMissing\t2024\n/fw/bad.s19\tBad\t2024\n/fw/moved.s19\tMoved\t2024\n"};
    server.replies["/fw/bad.s19"] = {
        200, QByteArray::fromStdString(test::srecord('1', 0x8000, {1, 2}) + "\nS1058000ZZ00\n")};
    server.replies["/fw/moved.s19"] = {301, ""};
    CFirmwareDownloadDialog dialog(f.context);
    const char* expected[][2] = {{"Unable to download firmware file", "Firmware download unsuccessful"},
                                 {"Error reading firmware file", "Firmware download unsuccessful"},
                                 {"Unable to download firmware file", "Firmware download unsuccessful"}};
    for (int row = 0; row < 3; ++row) {
        f.ui.messages.clear();
        select(dialog, row);
        dialog.findChild<QPushButton*>("okButton")->click();
        EXPECT_EQ(f.ui.messages, (std::vector<std::string>{expected[row][0], expected[row][1]})) << row;
        EXPECT_EQ(dialog.result(), 0) << row;
    }
    EXPECT_EQ(server.requests.mid(1), (QStringList{"/fw/missing.s19", "/fw/bad.s19", "/fw/moved.s19"}));
    // The bad file's good first record was stored before the failure.
    EXPECT_EQ(f.session.image.bytes[0x8000], 1);
}

TEST_F(DownloadDialogTest, GoodDownloadFillsTheImageAndAccepts) {
    f.session.link.chipName = "KX8";
    server.replies["/support/firmware.txt"] = {200, "/fw/kx8.s19\tKX8 tracker\t2022\n"};
    server.replies["/fw/kx8.s19"] = {
        200, QByteArray::fromStdString(test::srecord('1', 0xE000, {0xA6, 0x55}) + "\r\nS9030000FC\r\n")};
    CFirmwareDownloadDialog dialog(f.context);
    select(dialog, 0);
    dialog.findChild<QPushButton*>("okButton")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(f.session.image.bytes[0xE001], 0x55);
    EXPECT_EQ(f.session.image.bytes[0x9000], kErasedByte);
}

}  // namespace
}  // namespace varnel
