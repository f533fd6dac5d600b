#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "link/fake_link_bench.h"
#include "link/tracker_backup.h"
#include "session/config_file.h"
#include "session/session.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

struct BackupTest : ::testing::Test {
    std::unique_ptr<test::FakeLinkBench> bench = std::make_unique<test::FakeLinkBench>();
    fs::path folder = fs::temp_directory_path() / ("varnel-backup-" + std::to_string(::getpid())) / "backups";

    void SetUp() override {
        fs::remove_all(folder.parent_path());
        selectTarget(bench->target, "AP64");
        bench->device.deviceId = "AP64-X";
        bench->link.chipName = "AP64";
        for (std::uint32_t i = 0; i < 0x200; ++i) bench->device.flash[0xF400 + i] = static_cast<std::uint8_t>(i * 7);
        for (std::uint32_t i = 0; i < 0x200; ++i) bench->device.flash[0xF600 + i] = static_cast<std::uint8_t>(i ^ 0x5A);
        bench->startInBootloader();
    }
    void TearDown() override { fs::remove_all(folder.parent_path()); }
};

TEST_F(BackupTest, SavesWhatTheTrackerHoldsAndLeavesTheImageAlone) {
    bench->image.bytes[0xF400] = 0x42;  // what is about to be written
    const BackupResult r = backupTracker(bench->boot, folder.string());
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(fs::path(r.path).parent_path(), folder);
    EXPECT_EQ(fs::path(r.path).filename().string().rfind("AP64_", 0), 0u) << r.path;
    EXPECT_EQ(bench->image.bytes[0xF400], 0x42);

    auto back = std::make_unique<Session>();
    test::RecordingUi ui;
    ASSERT_EQ(loadConfigFileOffline(r.path, *back, ui), 0);
    EXPECT_EQ(back->link.deviceInfo.deviceId, "AP64-X");
    EXPECT_EQ(back->settings.bytes[0], bench->device.flash[0xF400]);
    EXPECT_EQ(back->settings.bytes[100], bench->device.flash[0xF400 + 100]);
    EXPECT_TRUE(std::equal(back->script.bytes.begin(), back->script.bytes.end(), bench->device.flash.begin() + 0xF600));
    EXPECT_EQ(listBackups(folder.string()), std::vector<std::string>{r.path});
}

TEST_F(BackupTest, KeepsTheNewestFiftyAndNothingButBackupsIsRemoved) {
    fs::create_directories(folder);
    std::ofstream(folder / "notes.txt") << "mine";
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (int i = 0; i < 55; ++i) {
        const fs::path p = folder / ("old" + std::to_string(i) + ".cfg");
        std::ofstream(p) << i;
        fs::last_write_time(p, old + std::chrono::seconds(i));
    }
    const BackupResult first = backupTracker(bench->boot, folder.string());
    const BackupResult second = backupTracker(bench->boot, folder.string());  // same second: a new name
    ASSERT_TRUE(first.ok() && second.ok());
    EXPECT_NE(first.path, second.path);
    const auto kept = listBackups(folder.string());
    ASSERT_EQ(kept.size(), kBackupsKept);
    EXPECT_EQ(kept[0], second.path);
    EXPECT_EQ(kept[1], first.path);
    EXPECT_EQ(fs::path(kept.back()).filename(), "old7.cfg");  // old0..old6 went
    EXPECT_TRUE(fs::exists(folder / "notes.txt"));
}

TEST_F(BackupTest, AFolderThatCannotBeMadeOrATrackerThatDoesNotAnswerIsAFailure) {
    fs::create_directories(folder.parent_path());
    std::ofstream(folder) << "a file where the folder should be";
    BackupResult r = backupTracker(bench->boot, folder.string());
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find(folder.string()), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("nothing was written"), std::string::npos) << r.error;

    fs::remove(folder);
    bench->link.confirmedReads.clear();  // as after a new connection
    bench->device.truncateRead = true;
    r = backupTracker(bench->boot, folder.string());
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(listBackups(folder.string()).empty());
}

// Sets (or with "" clears) an environment variable on either platform.
void setEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    if (value.empty()) ::unsetenv(name);
    else ::setenv(name, value.c_str(), 1);
#endif
}

TEST(BackupFolder, FollowsXdgDataHomeAndNamesCarryChipDateAndTime) {
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string keep = saved ? saved : "";
    setEnv("XDG_DATA_HOME", "/tmp/somewhere");
    EXPECT_EQ(fs::path(defaultBackupFolder()), fs::path("/tmp/somewhere") / "varnelcfg" / "backups");
    setEnv("XDG_DATA_HOME", "");
#ifdef _WIN32
    const char* local = std::getenv("LOCALAPPDATA");
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(fs::path(defaultBackupFolder()), fs::path(local) / "varnelcfg" / "backups");
#else
    EXPECT_NE(defaultBackupFolder().find("/.local/share/varnelcfg/backups"), std::string::npos);
#endif
    setEnv("XDG_DATA_HOME", keep);

    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 13;
    t.tm_min = 5;
    t.tm_sec = 9;
    t.tm_isdst = -1;
    EXPECT_EQ(backupFileName("JM128", std::mktime(&t)), "JM128_2026-12-08_130509.cfg");
    EXPECT_EQ(backupFileName("../x", std::mktime(&t)), "___x_2026-12-08_130509.cfg");
}

}  // namespace
}  // namespace varnel
