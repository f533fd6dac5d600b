#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "config/profile_layout.h"
#include "forms/tracker_fixture.h"
#include "session/config_file.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// A profile whose path fills its 21-byte slot with no address marked last, as
// half-written flash or older firmware may leave it: the bytes after the slot
// (symbol, interval) must not be shown as further addresses, and the profile
// must still take other changes.
TEST(ShowSetCommands, PathWithoutEndMarkShowsItsSlotAndStoresBack) {
    Session s = test::trackerSession("AP64");
    ProfileRecord p(s.settings.profile(0), s.target.kind);
    std::vector<std::uint8_t> path;
    ASSERT_EQ(encodePath("WIDE1-1,WIDE2-2,WIDE3-3", path), 21);
    path[20] &= static_cast<std::uint8_t>(~profile_layout::kSsidLastAddress);
    std::copy(path.begin(), path.end(), p.path());
    p.setPathLength(21);
    test::RecordingUi ui;
    const fs::path file = fs::temp_directory_path() / ("varnel-path-" + std::to_string(::getpid()) + ".cfg");
    ASSERT_EQ(saveConfigFile(file.string(), s, ConfigFlavour::Tracker, ui), 0);

    const auto shown = test::runCli("show " + file.string());
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("\npath=WIDE1-1,WIDE2-2,WIDE3-3\n"), std::string::npos) << shown.out;

    const auto set = test::runCli("set " + file.string() + " text=Hello");
    EXPECT_EQ(set.status, 0) << set.err;
    const auto after = test::runCli("show " + file.string());
    EXPECT_NE(after.out.find("\npath=WIDE1-1,WIDE2-2,WIDE3-3\n"), std::string::npos) << after.out;
    EXPECT_NE(after.out.find("\ntext=Hello\n"), std::string::npos) << after.out;

    // Stored back whole, now with the end mark on the third address.
    Session back;
    ASSERT_EQ(loadConfigFileOffline(file.string(), back, ui), 0);
    ProfileRecord q(back.settings.profile(0), s.target.kind);
    EXPECT_EQ(q.pathLength(), 21);
    EXPECT_EQ(std::vector<std::uint8_t>(q.path(), q.path() + 20),
              std::vector<std::uint8_t>(path.begin(), path.end() - 1));
    EXPECT_EQ(q.path()[20], path[20] | profile_layout::kSsidLastAddress);
    fs::remove(file);
}

}  // namespace
}  // namespace varnel
