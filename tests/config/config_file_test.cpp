#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <unistd.h>

#include "session/config_file.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

struct ConfigFiles : ::testing::Test {
    Session s;
    test::RecordingUi ui;
    fs::path dir;

    void SetUp() override {
        dir = fs::temp_directory_path() / ("varnel-cfg-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (std::size_t i = 0; i < s.settings.bytes.size(); ++i) s.settings.bytes[i] = static_cast<std::uint8_t>(i);
        for (std::size_t i = 0; i < s.script.bytes.size(); ++i) s.script.bytes[i] = static_cast<std::uint8_t>(0xFF - i);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const char* name) const { return (dir / name).string(); }
    static Bytes readAll(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void writeAll(const std::string& p, const Bytes& b) {
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
    }
    // A file as another tracker would have saved it.
    static Bytes fileOf(const std::string& id, std::size_t size, std::uint8_t fill) {
        Bytes b(size, fill);
        std::fill_n(b.begin(), 32, 0);
        std::copy(id.begin(), id.end(), b.begin());
        return b;
    }
};

TEST_F(ConfigFiles, SavedSizeAndLayoutFollowTheKindAndFlavour) {
    struct Row {
        const char* chip;
        ConfigFlavour flavour;
        std::size_t size;
    };
    const Row rows[] = {
        {"KX8", ConfigFlavour::Tracker, 537},   {"JL16", ConfigFlavour::Tracker, 691},
        {"AW32", ConfigFlavour::Weather, 537},  {"AP64", ConfigFlavour::Tracker, 1049},
        {"JM60", ConfigFlavour::Tracker, 1049}, {"JM128", ConfigFlavour::Tracker, 1049},
        {"JM128", ConfigFlavour::Weather, 537},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.chip);
        selectTarget(s.target, r.chip);
        s.link.deviceInfo.deviceId = std::string(r.chip) + "-B";
        ASSERT_EQ(saveConfigFile(path("a.cfg"), s, r.flavour, ui), 0);
        const Bytes b = readAll(path("a.cfg"));
        ASSERT_EQ(b.size(), r.size);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), s.link.deviceInfo.deviceId);
        EXPECT_TRUE(
            std::all_of(b.begin() + s.link.deviceInfo.deviceId.size(), b.begin() + 32, [](auto c) { return c == 0; }));
        EXPECT_TRUE(std::equal(s.settings.bytes.begin(), s.settings.bytes.end(), b.begin() + 32));
        if (r.size == 1049) {
            EXPECT_TRUE(std::equal(s.script.bytes.begin(), s.script.bytes.end(), b.begin() + 537));
        }
        if (r.size == 691) {
            EXPECT_TRUE(std::equal(s.radio.bytes.begin(), s.radio.bytes.end(), b.begin() + 537));
        }
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(fs::exists(path("a.cfg.part")));
}

TEST_F(ConfigFiles, LongDeviceIdFillsTheWholeHeader) {
    s.link.deviceInfo.deviceId = std::string(39, 'J');
    ASSERT_EQ(saveConfigFile(path("a.cfg"), s, ConfigFlavour::Weather, ui), 0);
    const Bytes b = readAll(path("a.cfg"));
    EXPECT_TRUE(std::all_of(b.begin(), b.begin() + 32, [](auto c) { return c == 'J'; }));
    EXPECT_EQ(b[32], s.settings.bytes[0]);
}

TEST_F(ConfigFiles, FailedSaveReportsAndKeepsThePreviousFile) {
    EXPECT_EQ(saveConfigFile(path("missing/a.cfg"), s, ConfigFlavour::Tracker, ui), -1);

    // The temporary file cannot be created: the old file stays as it was.
    writeAll(path("old.cfg"), Bytes{1, 2, 3});
    fs::create_directory(path("old.cfg.part"));
    EXPECT_EQ(saveConfigFile(path("old.cfg"), s, ConfigFlavour::Tracker, ui), -1);
    EXPECT_EQ(readAll(path("old.cfg")), (Bytes{1, 2, 3}));

    // Everything written but the rename into place fails.
    fs::create_directory(path("dir.cfg"));
    EXPECT_EQ(saveConfigFile(path("dir.cfg"), s, ConfigFlavour::Tracker, ui), -1);
    EXPECT_TRUE(fs::is_directory(path("dir.cfg")));
    EXPECT_FALSE(fs::exists(path("dir.cfg.part")));

    EXPECT_EQ(ui.messages, std::vector<std::string>(3, "Error writing to configuration file"));
}

TEST_F(ConfigFiles, LoadKeepsTheDevicesFirmwareHeader) {
    selectTarget(s.target, "AP64");
    Bytes file = fileOf("AP64", 1049, 0x5A);
    file[32 + 0] = 2;     // family of a newer firmware
    file[32 + 2] = 0x09;  // build
    file[32 + 4] = 0x80;  // flags: show the Freq button
    writeAll(path("new.cfg"), file);
    const SettingsHeader before = SettingsHeader::of(s.settings);

    ASSERT_EQ(loadConfigFile(path("new.cfg"), s, ConfigFlavour::Tracker, ui), 0);
    const SettingsHeader after = SettingsHeader::of(s.settings);
    EXPECT_EQ(after.family, before.family);
    EXPECT_EQ(after.type, before.type);
    EXPECT_EQ(after.build, before.build);
    EXPECT_EQ(after.flags, 0x80);
    EXPECT_TRUE(std::all_of(s.settings.bytes.begin() + 5, s.settings.bytes.end(), [](auto c) { return c == 0x5A; }));
    EXPECT_TRUE(std::all_of(s.script.bytes.begin(), s.script.bytes.end(), [](auto c) { return c == 0x5A; }));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ConfigFiles, LoadTakesTheScriptOnlyWhereItBelongs) {
    struct Row {
        const char* chip;
        ConfigFlavour flavour;
        std::size_t size;
        bool scriptTaken;
    };
    const Row rows[] = {
        {"AP64", ConfigFlavour::Tracker, 537, false},    // a file without script part
        {"JM128", ConfigFlavour::Weather, 1049, false},  // the weather dialog never loads one
        {"KX8", ConfigFlavour::Tracker, 1049, false},
        {"JM60", ConfigFlavour::Tracker, 1100, true},  // extra bytes are ignored
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.chip);
        selectTarget(s.target, r.chip);
        writeAll(path("f.cfg"), fileOf(r.chip, r.size, 0x77));
        const auto scriptBefore = s.script.bytes;
        ASSERT_EQ(loadConfigFile(path("f.cfg"), s, r.flavour, ui), 0);
        EXPECT_EQ(s.settings.bytes[504], 0x77);
        if (r.scriptTaken) {
            EXPECT_TRUE(std::all_of(s.script.bytes.begin(), s.script.bytes.end(), [](auto c) { return c == 0x77; }));
        } else {
            EXPECT_EQ(s.script.bytes, scriptBefore);
        }
    }
}

TEST_F(ConfigFiles, Jl16FilesCarryTheRadioBlockAndOldOnesLeaveIt) {
    // Both loads: a 691-byte file brings the frequencies and status texts;
    // a 537-byte one (written before the block was saved) keeps the
    // session's, and its settings load exactly as before.
    struct Row {
        std::size_t size;
        bool offline;
        bool radioTaken;
    };
    const Row rows[] = {
        {691, false, true}, {691, true, true}, {537, false, false}, {537, true, false}, {690, true, false}};
    for (const auto& r : rows) {
        SCOPED_TRACE(std::to_string(r.size) + (r.offline ? " offline" : ""));
        selectTarget(s.target, "JL16");
        s.radio.bytes.fill(0x11);
        s.script.bytes.fill(0x22);
        writeAll(path("j.cfg"), fileOf("JL16", r.size, 0x77));
        ASSERT_EQ(r.offline ? loadConfigFileOffline(path("j.cfg"), s, ui)
                            : loadConfigFile(path("j.cfg"), s, ConfigFlavour::Tracker, ui),
                  0);
        EXPECT_EQ(s.settings.bytes[504], 0x77);
        EXPECT_TRUE(std::all_of(s.radio.bytes.begin(), s.radio.bytes.end(),
                                [&](auto c) { return c == (r.radioTaken ? 0x77 : 0x11); }));
        EXPECT_TRUE(std::all_of(s.script.bytes.begin(), s.script.bytes.end(), [](auto c) { return c == 0x22; }));
    }
}

TEST_F(ConfigFiles, UnreadableOrTruncatedFilesChangeNothing) {
    writeAll(path("short.cfg"), fileOf("AP64", 536, 0x77));
    selectTarget(s.target, "AP64");
    s.link.deviceInfo.deviceId = "JM60";
    const auto settingsBefore = s.settings.bytes;
    const auto scriptBefore = s.script.bytes;

    EXPECT_EQ(loadConfigFile(path("none.cfg"), s, ConfigFlavour::Tracker, ui), -1);
    EXPECT_EQ(loadConfigFile(path("short.cfg"), s, ConfigFlavour::Tracker, ui), -1);
    EXPECT_EQ(loadConfigFileOffline(path("none.cfg"), s, ui), -1);
    EXPECT_EQ(loadConfigFileOffline(path("short.cfg"), s, ui), -1);

    // A file that is there but too short says what it holds.
    const std::string unreadable = "Error reading configuration file";
    const std::string tooShort = unreadable + ": it holds 536 bytes, a configuration file at least 537";
    EXPECT_EQ(ui.messages, (std::vector<std::string>{unreadable, tooShort, unreadable, tooShort}));
    EXPECT_EQ(s.settings.bytes, settingsBefore);
    EXPECT_EQ(s.script.bytes, scriptBefore);
    EXPECT_EQ(s.link.deviceInfo.deviceId, "JM60");
    EXPECT_EQ(s.target.chipName, "AP64");
}

TEST_F(ConfigFiles, OfflineLoadTakesEverythingAndSelectsTheTarget) {
    Bytes file = fileOf("JM128-XY", 1049, 0x44);
    file[32] = kFamilyWeather;
    file[32 + 1] = 9;
    writeAll(path("f.cfg"), file);
    ASSERT_EQ(loadConfigFileOffline(path("f.cfg"), s, ui), 0);
    EXPECT_EQ(s.link.deviceInfo.deviceId, "JM128-XY");
    EXPECT_EQ(s.link.chipName, "JM128");
    EXPECT_EQ(s.link.targetSuffix, "XY");
    EXPECT_EQ(s.target.kind, KindJM128);
    EXPECT_EQ(s.target.scriptAddress, 0x1F400u);
    EXPECT_EQ(s.settings.family(), kFamilyWeather);
    EXPECT_EQ(s.settings.type(), 9);
    EXPECT_EQ(s.script.bytes[511], 0x44);

    // A 537-byte file from a KX8 leaves the script as it was, whatever the target.
    writeAll(path("kx8.cfg"), fileOf("KX8", 537, 0x55));
    ASSERT_EQ(loadConfigFileOffline(path("kx8.cfg"), s, ui), 0);
    EXPECT_EQ(s.target.kind, KindKX8);
    EXPECT_EQ(s.settings.bytes[5], 0x55);
    EXPECT_EQ(s.script.bytes[511], 0x44);
}

TEST_F(ConfigFiles, OfflineDeviceIdStopsAtNulOr32Characters) {
    Bytes file = fileOf("", 537, 0);
    std::fill_n(file.begin(), 32, 'A');
    file[32] = 'Z';  // first settings byte, not part of the id
    writeAll(path("f.cfg"), file);
    ASSERT_EQ(loadConfigFileOffline(path("f.cfg"), s, ui), 0);
    EXPECT_EQ(s.link.deviceInfo.deviceId, std::string(32, 'A'));

    // Letter case matters: "ap64" is no chip, so the previous kind stays and
    // the script address is dropped.
    writeAll(path("lower.cfg"), fileOf("ap64", 1049, 0));
    selectTarget(s.target, "AP64");
    ASSERT_EQ(loadConfigFileOffline(path("lower.cfg"), s, ui), 0);
    EXPECT_EQ(s.link.chipName, "ap64");
    EXPECT_EQ(s.target.kind, KindAP64);
    EXPECT_FALSE(s.target.hasScript());
}

// The settings dialogs name the file an offline run edits; a connected
// tracker (after an offline Write connected one) drops it again.
TEST_F(ConfigFiles, TheOfflineTitleNamesTheFile) {
    writeAll(path("field.cfg"), fileOf("AP64", 537, 0x00));
    EXPECT_EQ(settingsDialogTitle("Varnel tracker configuration", s), "Varnel tracker configuration");
    ASSERT_EQ(loadConfigFileOffline(path("field.cfg"), s, ui), 0);
    EXPECT_EQ(settingsDialogTitle("Varnel tracker configuration", s),
              "Varnel tracker configuration - field.cfg (offline)");
    s.link.connected = true;
    EXPECT_EQ(settingsDialogTitle("Varnel tracker configuration", s), "Varnel tracker configuration");
}

}  // namespace
}  // namespace varnel
