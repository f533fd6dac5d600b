#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/device_target.h"
#include "forms/tracker_fixture.h"
#include "link/boot_link.h"
#include "link/fake_bootloader.h"
#include "link/tracker_backup.h"
#include "scripted_front_end.h"
#include "shell/backups_window.h"
#include "shell/firmware_sequences.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

class ScriptedBackupsView : public test::RecordingView<BackupsView> {
public:
    BackupsForm shown;
    void readForm(BackupsForm& form) override { form.backupList.selected = shown.backupList.selected; }
    void showForm(const BackupsForm& form) override { shown = form; }
};

// A connected AP64 (in the test's memory, with real flash rules) whose
// writes run, and a backup folder of its own.
struct BackupsBench {
    test::ShellFixture f;
    test::FakeBootloader device;
    BackupsBench() {
        device.attach(*f.port);
        device.inBootloader = device.acked = true;
        f.port->openPort("fake", "19200", f.ui);
        f.session.restore(test::trackerSession("AP64").snapshot());
        f.session.link.connected = true;
        f.session.link.chipName = "AP64";
        f.session.link.deviceInfo.deviceId = "AP64";
        selectTarget(f.session.target, "AP64");
        EXPECT_EQ(BootLink(f.session, f.ui).identify(), IdentifyResult::Identified);  // the record a connect keeps
        f.front.runWrites = true;
        f.context.backupFolder =
            ::testing::TempDir() + "backups_window_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(f.context.backupFolder);
    }
    // Writes the settings with this interval in profile 1.
    void writeInterval(int interval) {
        ProfileRecord(f.session.settings.profile(0), f.session.target.kind).setBeaconInterval(interval);
        ASSERT_EQ(writeConfiguration(f.context, ConfigFlavour::Tracker), 0) << testing::PrintToString(f.ui.messages);
    }
};

std::vector<std::uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Write back asks first, backs up what the tracker holds now through the
// ordinary write, then the tracker holds the backup's bytes again; the list
// grows by that backup and the window ends accepted, so its opener shows
// the settings written.
TEST(BackupsWindow, WritesABackupBackAfterBackingUpTheTrackerAsItIs) {
    BackupsBench b;
    ScriptedBackupsView view;
    {
        BackupsWindow empty(b.f.context, view);
        empty.start();
        EXPECT_EQ(view.shown.note.text, kNoBackupsNote);
        EXPECT_FALSE(view.shown.writeBackButton.enabled || view.shown.saveCopyButton.enabled);
    }
    b.writeInterval(300);
    const std::vector<std::uint8_t> flashAt300 = b.device.flash;
    const SettingsRecord settingsAt300 = b.f.session.settings;
    b.writeInterval(900);
    const SettingsRecord settingsAt900 = b.f.session.settings;

    BackupsWindow window(b.f.context, view);
    window.start();
    ASSERT_EQ(window.backups().size(), 2u);  // the blank tracker's, then the one at 300
    EXPECT_EQ(view.shown.backupList.selected, 0);
    EXPECT_EQ(view.shown.note.text, "2 backups, newest first.");
    const std::string chosen = window.backups()[0];
    b.f.ui.answers = {true};
    b.f.front.opened.clear();
    window.writeBackPressed();

    EXPECT_EQ(b.f.ui.questions, std::vector<std::string>{"Write the backup " + fs::path(chosen).filename().string() +
                                                         " to the tracker?\n\nThe settings the tracker holds now are "
                                                         "backed up first."});
    EXPECT_EQ(b.f.ui.defaultNoQuestions, b.f.ui.questions);
    EXPECT_EQ(b.f.front.opened, std::vector<std::string>{"Progress"});
    EXPECT_TRUE(b.f.ui.messages.empty());
    EXPECT_TRUE(b.device.flash == flashAt300) << "the tracker does not hold the backup's bytes";
    ASSERT_EQ(window.backups().size(), 3u);
    const std::vector<std::uint8_t> first = fileBytes(window.backups()[0]);
    ASSERT_GE(first.size(), config_file_layout::kShortSize);
    EXPECT_TRUE(std::equal(settingsAt900.bytes.begin(), settingsAt900.bytes.end(),
                           first.begin() + config_file_layout::kSettingsOffset))
        << "the settings the tracker held before were not backed up first";
    EXPECT_EQ(view.shown.backupList.selected, 1) << "the backup written back stays chosen";
    EXPECT_TRUE(b.f.session.settings.bytes == settingsAt300.bytes);
    EXPECT_FALSE(b.f.session.unsaved());
    window.closePressed();
    EXPECT_EQ(view.result, kResultAccepted);

    // Save a copy offers the backup's own name and copies it byte for byte.
    const std::string copy = b.f.context.backupFolder + "-copy.cfg";
    b.f.front.fileAnswers = {copy};
    window.saveCopyPressed();
    EXPECT_EQ(b.f.front.offeredNames.back(), fs::path(window.backups()[1]).filename().string());
    EXPECT_EQ(fileBytes(copy), fileBytes(window.backups()[1]));
}

// Only the newest backups are kept, and the write-back's own backup is one
// more: the oldest, written back, stays in its place all the same.
TEST(BackupsWindow, TheOldestBackupWrittenBackIsNotLost) {
    BackupsBench b;
    b.writeInterval(300);
    b.writeInterval(900);
    fs::remove(listBackups(b.f.context.backupFolder).at(1));  // the blank tracker's
    const std::string oldest = listBackups(b.f.context.backupFolder).at(0);
    fs::last_write_time(oldest, fs::last_write_time(oldest) - std::chrono::hours(1));
    for (std::size_t i = 1; i < kBackupsKept; ++i)
        std::ofstream(fs::path(b.f.context.backupFolder) / ("AP64_later_" + std::to_string(i) + ".cfg"),
                      std::ios::binary)
            << std::ifstream(oldest, std::ios::binary).rdbuf();
    ScriptedBackupsView view;
    BackupsWindow window(b.f.context, view);
    window.start();
    ASSERT_EQ(window.backups().back(), oldest);
    view.shown.backupList.selected = static_cast<int>(kBackupsKept) - 1;
    b.f.ui.answers = {true};
    window.writeBackPressed();
    ASSERT_EQ(window.backups().size(), kBackupsKept + 1) << testing::PrintToString(b.f.ui.messages);
    EXPECT_EQ(window.backups().back(), oldest);
}

// A backup made on another chip, or by firmware of another family, is
// refused with the reason before anything is backed up or written; offline,
// nothing can be written back at all.
TEST(BackupsWindow, RefusesABackupOfAnotherChipOrFamilyAndOfflineOnlyLists) {
    struct Case {
        const char* what;
        std::size_t offset;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"another chip", 0, std::string("JM60-X\0", 7),
         "The backup is for JM60 but the tracker is AP64; it was not written."},
        {"another family", config_file_layout::kSettingsOffset + settings_layout::kFamily,
         std::string(1, kFamilyWeather),
         "The backup holds settings of another firmware family (weather station) than the tracker's (tracker); it "
         "was not written."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BackupsBench b;
        b.writeInterval(300);
        b.writeInterval(900);
        const std::vector<std::uint8_t> flash = b.device.flash;
        const std::string path = listBackups(b.f.context.backupFolder)[0];
        {
            std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
            f.seekp(static_cast<std::streamoff>(c.offset));
            f.write(c.bytes.data(), static_cast<std::streamsize>(c.bytes.size()));
        }
        ScriptedBackupsView view;
        BackupsWindow window(b.f.context, view);
        window.start();
        b.f.ui.answers = {true};
        b.f.front.opened.clear();
        window.writeBackPressed();
        EXPECT_EQ(b.f.ui.messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(b.f.ui.questions.empty());
        EXPECT_TRUE(b.f.front.opened.empty());
        EXPECT_TRUE(b.device.flash == flash);
        EXPECT_EQ(listBackups(b.f.context.backupFolder).size(), 2u);
        window.closePressed();
        EXPECT_EQ(view.result, kResultRejected);
    }
    BackupsBench b;
    b.writeInterval(300);
    b.f.session.link.connected = false;
    ScriptedBackupsView view;
    BackupsWindow window(b.f.context, view);
    window.start();
    EXPECT_EQ(view.shown.note.text, "1 backup, newest first. Connect a tracker to write one back.");
    EXPECT_FALSE(view.shown.writeBackButton.enabled);
    EXPECT_TRUE(view.shown.saveCopyButton.enabled);
    window.writeBackPressed();
    EXPECT_TRUE(b.f.ui.questions.empty());
}

// The rows read as chip, date and time where the name is the backup step's.
TEST(BackupsWindow, RowsReadAsChipDateAndTime) {
    const std::pair<const char*, const char*> rows[] = {
        {"AP64_2026-12-08_121530.cfg", "AP64, 2026-12-08 12:15:30"},
        {"JM128_2026-12-08_121530-2.cfg", "JM128, 2026-12-08 12:15:30 (2)"},
        {"A_B_2026-01-02_030405.cfg", "A_B, 2026-01-02 03:04:05"},
        {"my settings.cfg", "my settings.cfg"},
        {"AP64_2026-12-08_1215.cfg", "AP64_2026-12-08_1215.cfg"},
    };
    for (const auto& [name, text] : rows) EXPECT_EQ(backupRowText(name), text) << name;
}

}  // namespace
}  // namespace varnel
