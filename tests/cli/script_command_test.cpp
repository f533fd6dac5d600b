#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/cli_runner.h"
#include "script/script_editor_model.h"
#include "session/config_file.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// One statement of every kind, and stored forms the editor never writes but
// a tracker or file may hold.
const std::vector<Bytes> kStatements = {
    {0x81},
    {0x80},
    {0x82},
    {0x83},
    {0x84},
    {0x85},
    {0x86},
    {0x04},
    {0x14, 0x09},
    {0x15, 0x0C},
    {0x16, 0x81},
    {0x17, 0x02},
    {0x18, 0xFF},
    {0x28, 0x04, 0x07},
    {0x3C, 0x00, 0x03, 0xE8},
    {0x50, 0x12, 0x34, 0xFF, 0x01},
    {0x5A, 0x04, 'A', '\\', 0x0A, 0x00},
    {0x5B, 0x02, '"', 0x00},
    {0x5C, 0x03, 'l', 's', 0x00},
    {0x5E, 0x01, 0x00},
    {0xA8, 0x05, 0x06},
    {0xA9, 0x01, 0x02},
    {0xAA, 0x03, 0x08},
    {0xAB, 0xFC, 0x04},
    {0xBC, 0x00, 0xFF, 0xFF},
    {0xBD, 0x09, 0x00, 0x00},
    {0xBE, 0x02, 0x01, 0x00},
    {0xD0, 0x00, 0x10, 0x80, 0x40},
    {0xDD, 0x03, 'G', 'O', 0x00},
    {0x03},
    {0xAB, 0x23, 0x80},
    {0x5B, 0x00},
    {0x5C, 0x04, 'l', ',', 0x00, 0x81},
    {0x5C, 0x04, 'a', 0x0A, 'b', 0x00},
    {0xDF, 0x11, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
    {0x00},
};

Bytes fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ScriptCommand, ListThenCompileGivesBackTheStoredBytesOnEveryScriptChip) {
    for (const std::string chip : {"AP64", "AW60", "JM60", "JM128"}) {
        SCOPED_TRACE(chip);
        Session s;
        s.link.chipName = chip;
        s.link.deviceInfo.deviceId = chip;
        selectTarget(s.target, chip);
        test::RecordingUi ui;
        ScriptEditorModel editor(s.script, currentProfileFeatureFlags(s), ui);
        // Corners as typed in degrees and minutes: their five-decimal form
        // comes back about a metre away.
        editor.inputs.nwLatDegrees = "39", editor.inputs.nwLatMinutes = "59.5";
        editor.inputs.nwLonDegrees = "105", editor.inputs.nwLonMinutes = "0.25";
        editor.inputs.seLatDegrees = "0", editor.inputs.seLatMinutes = "0.25";
        editor.inputs.seLonDegrees = "0", editor.inputs.seLonMinutes = "59.5";
        editor.press(ScriptButton::IfInArea);
        editor.seLatSouth = true;
        editor.seLonWest = false;
        editor.press(ScriptButton::IfInArea);
        for (const auto& b : kStatements) ASSERT_TRUE(editor.addLine("", b));
        ui.defaultAnswer = true;  // every statement, in no sensible order: store it anyway
        ASSERT_TRUE(editor.ok());
        ASSERT_TRUE(ui.messages.empty()) << ui.messages.front();
        const fs::path file = fs::temp_directory_path() / ("varnel-script-cli-" + std::to_string(::getpid()) + ".cfg");
        ASSERT_EQ(saveConfigFile(file.string(), s, ConfigFlavour::Tracker, ui), 0);
        const Bytes before = fileBytes(file);

        const auto listed = test::runCli("script list " + file.string());
        ASSERT_EQ(listed.status, 0) << listed.err;
        EXPECT_NE(listed.out.find("If In Area (39.9916666,-105.0041666)(0.0041667,-0.9916667)\n"), std::string::npos)
            << listed.out;
        EXPECT_NE(listed.out.find("Bytes ab 23 80\n"), std::string::npos) << listed.out;

        // Store something else first, so that the comparison sees the compile.
        ASSERT_EQ(test::runCli("script compile - --into " + file.string(), "Quick\n").status, 0);
        ASSERT_NE(fileBytes(file), before);
        const auto compiled = test::runCli("script compile - --into " + file.string(), listed.out);
        EXPECT_EQ(compiled.status, 0) << compiled.err;
        EXPECT_EQ(fileBytes(file), before) << listed.out;
        fs::remove(file);
    }
}

}  // namespace
}  // namespace varnel
