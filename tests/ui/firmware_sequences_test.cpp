#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "config/settings_packing.h"
#include "serial/serial_port.h"
#include "emulator/emulator_runner.h"
#include "firmware/srecord_builder.h"
#include "firmware/vector_remap.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "link/boot_protocol.h"
#include "serial/system_serial_port.h"
#include "link/tracker_backup.h"
#include "shell/firmware_sequences.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

constexpr std::uint32_t kSettings = 0xF400;  // AP64

class FirmwareSequenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        emu = std::make_unique<EmulatorRunner>(EmulatorOptions{});
        emu->start();
        f.session.port = makeSystemSerialPort();
        BootLink link(f.session, f.ui);
        f.session.link.linkAbort = LinkState::kAbortRunning;
        ASSERT_EQ(Connector(link).connect(emu->slavePath(), true), ConnectResult::Connected);
        f.session.link.linkAbort = LinkState::kAbortIdle;
        selectTarget(f.session.target, f.session.link.chipName);
        // The working records the user has been editing.
        f.session.settings.setFamily(0);
        f.session.settings.setType(1);
        f.session.settings.setBuild(100);
        f.session.settings.profile(0)[30] = 0x3C;
    }
    void TearDown() override { f.session.port->closePort(); }

    // New firmware: code at 0x8000 with its reset vector, and a settings
    // header of family 0, type 2, build 0x0203, with its own default profile bytes.
    QString firmwareFile(std::uint32_t codeAddress = 0x8000, bool withResetVector = true) {
        const std::string vector = withResetVector ? test::srecord('1', 0xFFFE, {0x80, 0x00}) + "\n" : "";
        const std::string text = vector + test::srecord('1', codeAddress, {0xA6, 0x01, 0x20, 0xFE}) + "\n" +
                                 test::srecord('1', kSettings, {0x00, 0x02, 0x02, 0x03, 0x00}) + "\n" +
                                 test::srecord('1', kSettings + 5 + 30, {0x11}) + "\nS9030000FC\n";
        const QString path = dir.filePath("fw.s19");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text.c_str());
        return path;
    }
    void clickOkWhenOffered() {
        test::onNextModal([](QWidget* w) {
            auto* ok = w->findChild<QPushButton*>("okButton");
            if (ok == nullptr || !ok->isEnabled()) return false;
            ok->click();
            return true;
        });
    }
    int count(char c) {
        int n = 0;
        for (const auto& e : emu->commandLog()) n += e.command == static_cast<std::uint8_t>(c);
        return n;
    }
    QTemporaryDir dir;
    test::UiFixture f;
    std::unique_ptr<EmulatorRunner> emu;
};

TEST_F(FirmwareSequenceTest, NoKeepsTheProfilesWithTheNewFirmwaresHeader) {
    f.files.answers = {firmwareFile()};
    f.ui.answers = {false};
    int checks = 0;
    clickOkWhenOffered();
    EXPECT_EQ(loadFirmwareFromFile(f.context, ConfigFlavour::Tracker,
                                   [&] {
                                       ++checks;
                                       return 0;
                                   }),
              kResultReconnect);
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(f.ui.questions, std::vector<std::string>{
                                  "Do you want to erase the current configuration and use defaults from this file?"});
    EXPECT_EQ(emu->readFlash(kSettings, 4), (std::vector<std::uint8_t>{0x00, 0x02, 0x02, 0x03}));
    EXPECT_EQ(emu->readFlash(kSettings + 5 + 30, 1)[0], 0x3C);
    EXPECT_EQ(emu->readFlash(0x8000, 2), (std::vector<std::uint8_t>{0xA6, 0x01}));
}

TEST_F(FirmwareSequenceTest, YesTakesTheFilesDefaults) {
    f.files.answers = {firmwareFile()};
    f.ui.answers = {true};
    clickOkWhenOffered();
    EXPECT_EQ(loadFirmwareFromFile(f.context, ConfigFlavour::Tracker, [] { return -1; }), kResultReconnect);
    EXPECT_EQ(f.session.settings.type(), 2);
    EXPECT_EQ(f.session.settings.profile(0)[30], 0x11);
    EXPECT_EQ(emu->readFlash(kSettings + 5 + 30, 1)[0], 0x11);
}

TEST_F(FirmwareSequenceTest, NoWithAnInvalidFieldWritesNothing) {
    f.files.answers = {firmwareFile()};
    f.ui.answers = {false};
    emu->clearLog();
    EXPECT_EQ(loadFirmwareFromFile(f.context, ConfigFlavour::Tracker, [] { return -1; }), 0);
    EXPECT_EQ(count('E'), 0);
    EXPECT_EQ(count('W'), 0);
}

TEST_F(FirmwareSequenceTest, AnImageWithoutAResetVectorIsWrittenOnlyWhenTheUserSaysSo) {
    f.files.answers = {firmwareFile(0x8000, false)};
    f.ui.answers = {true, false};
    emu->clearLog();
    EXPECT_EQ(loadFirmwareFromFile(f.context, ConfigFlavour::Tracker, {}), 0);
    ASSERT_EQ(f.ui.questions.size(), 2u);
    EXPECT_EQ(f.ui.questions[1], std::string(kNoResetVector) + " Write it anyway?");
    EXPECT_EQ(f.ui.defaultNoQuestions, f.ui.questions);
    EXPECT_EQ(count('E'), 0);

    f.files.answers = {firmwareFile(0x8000, false)};
    f.ui.answers = {true, true};
    clickOkWhenOffered();
    EXPECT_EQ(loadFirmwareFromFile(f.context, ConfigFlavour::Tracker, {}), kResultReconnect);
    EXPECT_EQ(emu->readFlash(0x8000, 2), (std::vector<std::uint8_t>{0xA6, 0x01}));
}

TEST_F(FirmwareSequenceTest, AnAddressOutsideTheChipIsRefusedAndTheDialogStaysOpen) {
    f.files.answers = {firmwareFile(0x0100)};
    f.ui.answers = {true};
    emu->clearLog();
    EXPECT_EQ(loadFirmwareFromFile(f.context, ConfigFlavour::Tracker, {}), 0);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].rfind("Invalid address: 0100 (valid range ", 0), 0u) << f.ui.messages[0];
    EXPECT_EQ(count('E'), 0);
    // The new firmware stays in the image for another try.
    EXPECT_EQ(f.session.image.bytes[0x0100], 0xA6);
}

TEST_F(FirmwareSequenceTest, EveryWriteKeepsTheTrackersSettingsFirstOrWritesNothing) {
    const std::vector<std::uint8_t> before = emu->readFlash(kSettings, 5 + 100);
    QString shown;
    test::onNextModal([&](QWidget* w) {
        auto* ok = w->findChild<QPushButton*>("okButton");
        if (ok == nullptr || !ok->isEnabled()) return false;
        shown = w->findChild<QLabel*>("statusLabel")->text();
        ok->click();
        return true;
    });
    f.files.answers = {firmwareFile()};
    f.ui.answers = {true};
    ASSERT_EQ(loadFirmwareFromFile(f.context, ConfigFlavour::Tracker, {}), kResultReconnect);
    const auto backups = listBackups(f.context.backupFolder);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(shown.toStdString(), "Finished!\nBackup of the previous settings: " + backups[0]);
    QFile file(QString::fromStdString(backups[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll().mid(32, static_cast<int>(before.size()));
    EXPECT_EQ(std::vector<std::uint8_t>(saved.begin(), saved.end()), before);

    // A dialog's settings Write (either flavour) takes the same path.
    clickOkWhenOffered();
    EXPECT_EQ(writeConfiguration(f.context, ConfigFlavour::Weather), 0);
    EXPECT_EQ(listBackups(f.context.backupFolder).size(), 2u);

    // A folder that cannot be made: told, and the tracker is not touched.
    f.context.backupFolder = dir.filePath("fw.s19").toStdString() + "/backups";
    f.files.answers = {firmwareFile()};
    f.ui.answers = {true};
    f.ui.messages.clear();
    emu->clearLog();
    EXPECT_EQ(loadFirmwareFromFile(f.context, ConfigFlavour::Tracker, {}), 0);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].rfind("Could not save a backup of the tracker's settings in ", 0), 0u);
    EXPECT_EQ(count('E'), 0);
}

// A write that fails on every try of a block is offered back as it was: one
// Yes writes the backup in a second write window, and the tracker holds what
// it held before. The user's edits stay in the window, for another Write.
TEST_F(FirmwareSequenceTest, AFailedWriteOffersTheBackupBack) {
    const TargetTableEntry& ap64 = *findTarget("AP64");
    const std::vector<std::uint8_t> before = emu->readFlash(kSettings, ap64.settingsSize);
    for (std::uint32_t n = 1; n <= boot_protocol::kBlockTries; ++n)
        emu->addAimedFault({AimedFaultKind::CorruptReplyByte, boot_protocol::kWrite, n, 0, 0xFF});
    std::vector<std::string> statuses;
    test::onNextModal([&](QWidget* w) {
        auto* ok = w->findChild<QPushButton*>("okButton");
        if (ok == nullptr || !ok->isEnabled() || w->property("seen").toBool()) return false;
        w->setProperty("seen", true);
        statuses.push_back(w->findChild<QLabel*>("statusLabel")->text().toStdString());
        ok->click();
        return statuses.size() == 2;
    });
    f.ui.answers = {true};
    const RecordsSnapshot edited = f.session.snapshot();
    EXPECT_EQ(writeConfiguration(f.context, ConfigFlavour::Tracker), -1);

    ASSERT_EQ(statuses.size(), 2u);
    EXPECT_EQ(statuses[0].rfind("Write failed!", 0), 0u) << statuses[0];
    EXPECT_EQ(f.ui.questions, std::vector<std::string>{"The write failed. Write the settings the tracker held "
                                                       "before (the backup) back to it now?"});
    const std::string backup = listBackups(f.context.backupFolder).at(0);
    EXPECT_EQ(statuses[1], "Finished!\nThe tracker holds its previous settings again, from the backup: " + backup);
    EXPECT_EQ(emu->readFlash(kSettings, ap64.settingsSize), before);
    EXPECT_TRUE(f.session.snapshot() == edited);
}

TEST_F(FirmwareSequenceTest, WeatherFlavourMovesAFlat255ByteBlockUnderTheNewHeader) {
    f.files.answers = {firmwareFile()};
    f.ui.answers = {false};
    f.session.settings.bytes[254] = 0x77;
    clickOkWhenOffered();
    EXPECT_EQ(loadFirmwareFromFile(f.context, ConfigFlavour::Weather, [] { return 0; }), kResultReconnect);
    // The new firmware's family, type and build stay, as for a tracker.
    EXPECT_EQ(emu->readFlash(kSettings, 4), (std::vector<std::uint8_t>{0x00, 0x02, 0x02, 0x03}));
    EXPECT_EQ(emu->readFlash(kSettings + 254, 1)[0], 0x77);
}

TEST_F(FirmwareSequenceTest, ExportWritesTheWholeFileOrSaysItCannotCreateIt) {
    f.files.answers = {dir.filePath("no/such/dir/out.bin"), dir.filePath("out.bin")};
    EXPECT_FALSE(exportFirmware(f.context));
    EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Error creating file."});
    f.ui.messages.clear();
    EXPECT_TRUE(exportFirmware(f.context));
    EXPECT_EQ(f.ui.messages,
              std::vector<std::string>{"Done.\nThe tracker's memory is in " + dir.filePath("out.bin").toStdString()});
    EXPECT_EQ(QFile(dir.filePath("out.bin")).size(), 61952);
    EXPECT_EQ(f.files.filters.value(0), "Firmware Files (*.bin)");
}

}  // namespace
}  // namespace varnel
