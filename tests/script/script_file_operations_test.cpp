#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "script/script_file_operations.h"
#include "session/config_file.h"
#include "session/session.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A program with nesting, an escaped text and a macro.
const Bytes kProgram = {0x81, 0xBC, 0x00, 0x00, 0x0A, 0x5A, 0x04, 'H',  'i',  0x0A,
                        0x00, 0x03, 0xDD, 0x03, 'G',  'O',  0x00, 0x00, 0x00, 0xFF};

class ScriptConfigFiles : public ::testing::Test {
protected:
    fs::path dir;
    test::RecordingUi ui;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("varnel-script-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string saveFor(const std::string& chip) {
        Session s;
        s.link.deviceInfo.deviceId = chip + "-B";
        s.link.chipName = chip;
        selectTarget(s.target, chip);
        s.settings.bytes[0] = 0;
        s.settings.bytes[300] = 0x5C;
        s.script.bytes.fill(0xFF);
        std::copy(kProgram.begin(), kProgram.end(), s.script.bytes.begin());
        const std::string path = (dir / (chip + ".cfg")).string();
        EXPECT_EQ(saveConfigFile(path, s, ConfigFlavour::Tracker, ui), 0);
        return path;
    }

    static Bytes fileBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(ScriptConfigFiles, ListPatchAndCompileOnEveryScriptTarget) {
    const std::vector<std::string> expectedLines = {"On Second",  "  If Counter 1 = 10", "    PrintA \"Hi\\n\"",
                                                    "  Else",     "    Macro GO",        "    End Block",
                                                    "  End Block"};  // a macro opens a block too
    struct Target {
        const char* chip;
        const char* firstPatch;
    };
    for (const Target& t : {Target{"AP64", "PATCH f60014"}, Target{"AW60", "PATCH 087014"},
                            Target{"JM60", "PATCH 10b014"}, Target{"JM128", "PATCH 1f40014"}}) {
        SCOPED_TRACE(t.chip);
        const std::string path = saveFor(t.chip);
        const Bytes before = fileBytes(path);

        std::vector<std::string> lines;
        ASSERT_EQ(configScriptLines(path, lines, ui), 0);
        EXPECT_EQ(lines, expectedLines);

        std::string patch;
        ASSERT_EQ(configScriptPatch(path, patch, ui), 0);
        EXPECT_EQ(patch, std::string(t.firstPatch) + "81bc00000a5a0448690a0003dd03474f000000ff\r\n");

        // The printed lines, read back and stored again, give the same file.
        std::string listing;
        for (const auto& l : lines) listing += l + "\n";
        std::vector<Bytes> statements;
        ASSERT_EQ(readCodeListingStatements(listing, statements, ui), 0);
        EXPECT_EQ(storeScriptInConfig(path, statements, ui), static_cast<int>(kProgram.size()));
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(ScriptConfigFiles, StoringReplacesOnlyTheScript) {
    const std::string path = saveFor("JM60");
    std::vector<Bytes> statements;
    ASSERT_EQ(readCodeListingStatements("On Startup\n  Set Counter 2 = 300\nEnd Block\n", statements, ui), 0);
    EXPECT_EQ(storeScriptInConfig(path, statements, ui), 7);

    Session s;
    ASSERT_EQ(loadConfigFileOffline(path, s, ui), 0);
    EXPECT_EQ(Bytes(s.script.bytes.begin(), s.script.bytes.begin() + 8),
              (Bytes{0x80, 0x3C, 0x01, 0x01, 0x2C, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(s.settings.bytes[300], 0x5C);
    EXPECT_EQ(s.link.chipName, "JM60");
}

TEST_F(ScriptConfigFiles, ProgramThatDoesNotFitLeavesTheFileAlone) {
    const std::string path = saveFor("AP64");
    const Bytes before = fileBytes(path);
    std::vector<Bytes> statements(128, Bytes{0x3C, 0x00, 0x00, 0x01});  // exactly 512 bytes
    EXPECT_EQ(storeScriptInConfig(path, statements, ui), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Out of script storage space!"});
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(ScriptConfigFiles, TargetsWithoutScriptAreRefused) {
    for (const char* chip : {"KX8", "JL16", "AW32"}) {
        SCOPED_TRACE(chip);
        test::RecordingUi chipUi;
        const std::string path = saveFor(chip);
        const Bytes before = fileBytes(path);
        std::vector<std::string> lines;
        std::string patch;
        EXPECT_EQ(configScriptLines(path, lines, chipUi), -1);
        EXPECT_EQ(configScriptPatch(path, patch, chipUi), -1);
        EXPECT_EQ(storeScriptInConfig(path, {{0x04}}, chipUi), -1);
        EXPECT_EQ(chipScriptPatch(chip, {{0x04}}, patch, chipUi), -1);
        EXPECT_EQ(chipUi.messages, std::vector<std::string>(4, std::string("The ") + chip + " target keeps no script"));
        EXPECT_EQ(fileBytes(path), before);
    }
}

TEST_F(ScriptConfigFiles, BadListingNamesTheLine) {
    std::vector<Bytes> statements{{0x04}};
    EXPECT_EQ(readCodeListingStatements("On Second\nIncrement Nothing\n", statements, ui), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Line 2: not a script statement"});
    EXPECT_EQ(statements, std::vector<Bytes>{{0x04}});

    std::string patch;
    ASSERT_EQ(chipScriptPatch("JM128", {{0x81}, {0x15, 0x00}, {0x00}}, patch, ui), 0);
    EXPECT_EQ(patch, "PATCH 1f4000581150000ff\r\n");
}

}  // namespace
}  // namespace varnel
