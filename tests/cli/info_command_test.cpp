#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_runner.h"
#include "config/ax25_codec.h"
#include "session/config_file.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string& name) {
    return fs::temp_directory_path() / ("varnel-info-" + std::to_string(::getpid()) + "-" + name);
}

TEST(InfoCommand, SummarisesAConfigurationFile) {
    Session session;
    session.link.deviceInfo.deviceId = "JM60-XY";
    selectTarget(session.target, "JM60");
    session.settings.setFamily(2);
    session.settings.setType(3);
    session.settings.setBuild(0x0102);
    AddressField call{};
    ASSERT_TRUE(encodeAddress("W1AW-5", call));
    std::copy(call.begin(), call.end(), session.settings.profile(0) + 5);
    ASSERT_TRUE(encodeAddress("N0CALL", call));
    std::copy(call.begin(), call.end(), session.settings.profile(1) + 5);
    test::RecordingUi ui;
    const fs::path path = scratch("a.cfg");
    ASSERT_EQ(saveConfigFile(path.string(), session, ConfigFlavour::Tracker, ui), 0);

    const auto r = test::runCli("info " + path.string());
    fs::remove(path);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("deviceId: JM60-XY\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("chip: JM60\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("family: 2\ntype: 3\nbuild: 258\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("profile 1 callsign: W1AW-5\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("profile 2 callsign: N0CALL\n"), std::string::npos) << r.out;
}

TEST(InfoCommand, ListsTheRangesOfAFirmwareFile) {
    const auto r = test::runCli(std::string(VARNEL_TEST_DATA_DIR) + "/ap64-demo.s19");
    // Without the subcommand the CLI refuses: a subcommand is required.
    EXPECT_EQ(r.status, 1);

    const auto ok = test::runCli(std::string("info ") + VARNEL_TEST_DATA_DIR + "/ap64-demo.s19");
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_NE(ok.out.find("range: 0x08000-0x0803F (64 bytes)\n"), std::string::npos) << ok.out;
    EXPECT_NE(ok.out.find("bytes: 68\n"), std::string::npos) << ok.out;
}

TEST(InfoCommand, ReportsTheLoadersMessagesAndFails) {
    const fs::path bad = scratch("bad.s19");
    std::ofstream(bad) << "S1050000AABB00\n";  // checksum wrong
    const auto r = test::runCli("info " + bad.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Error reading firmware file"), std::string::npos) << r.err;
    fs::remove(bad);

    const auto missing = test::runCli("info " + scratch("missing.cfg").string());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Error reading configuration file"), std::string::npos) << missing.err;
}

TEST(InfoCommand, AFileWithNeitherSRecordsNorAConfigurationLayoutFails) {
    const fs::path text = scratch("notes.txt");
    std::ofstream(text) << "just some notes\n";
    auto r = test::runCli("info " + text.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(text.string() + " holds neither S-records nor a configuration file's layout"),
              std::string::npos)
        << r.err;

    // A configuration file under another name is still one.
    std::string config(1049, '\0');
    config.replace(0, 4, "AP64");
    std::ofstream(text, std::ios::binary) << config;
    r = test::runCli("info " + text.string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("chip: AP64\n"), std::string::npos) << r.out;
    fs::remove(text);
}

TEST(InfoCommand, ReadsStandardInputForADash) {
    const auto r = test::runCli("info -", "S1050000AABB95\nS9030000FC\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("range: 0x00000-0x00001 (2 bytes)"), std::string::npos) << r.out;
}

TEST(InfoCommand, HelpAndVersionSucceed) {
    EXPECT_EQ(test::runCli("--help").status, 0);
    const auto v = test::runCli("--version");
    EXPECT_EQ(v.status, 0);
    EXPECT_NE(v.out.find("varnelcfg-cli"), std::string::npos);
}

}  // namespace
}  // namespace varnel
