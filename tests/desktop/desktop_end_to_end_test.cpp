// The real varnelcfg.exe under Wine, played at by varnel-desktop-driver.exe
// through its windows as a user would, against an emulated tracker on a COM
// port of the Windows build's prefix. What it leaves in the tracker's flash
// is compared with what the Linux command line leaves for the same edits.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

#include "cli_harness.h"
#include "dialog_ids.h"
#include "forms/diagnostics/diagnostics_form.h"
#include "forms/satellite/digipeater_form.h"
#include "forms/satellite/frequency_form.h"
#include "firmware/firmware_list.h"
#include "forms/tracker/tracker_control_ids.h"
#include "forms/weather/weather_form.h"

using namespace std::chrono_literals;

namespace varnel::test {
namespace {

// The OK button of every dialog (IDOK), and the text of a message box.
constexpr int kOk = 1;
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kWriteStatus = dialog_ids::write_progress_dialog::statusLabel;
constexpr int kReleaseList = dialog_ids::firmware_download_dialog::releaseList;
constexpr const char* kTrackerTitle = "Varnel tracker configuration";
constexpr const char* kWeatherTitle = "Varnel weather station";

// A firmware server on the loopback interface: each request path gets its
// body, anything else a 404. One connection at a time, as WinINet asks.
class LoopbackServer {
public:
    explicit LoopbackServer(std::map<std::string, std::string> bodies) : bodies_(std::move(bodies)) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), size) != 0 || ::listen(fd_, 4) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size) != 0)
            throw std::runtime_error("no loopback socket");
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~LoopbackServer() {
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    void serve() {
        for (int client; (client = ::accept(fd_, nullptr, nullptr)) >= 0; ::close(client)) {
            std::string request;
            char buffer[1024];
            ssize_t n;
            while (request.find("\r\n\r\n") == std::string::npos && (n = ::recv(client, buffer, sizeof buffer, 0)) > 0)
                request.append(buffer, static_cast<std::size_t>(n));
            const std::size_t pathStart = request.find(' ') + 1;
            const auto body = bodies_.find(request.substr(pathStart, request.find(' ', pathStart) - pathStart));
            const std::string content = body == bodies_.end() ? "" : body->second;
            const std::string reply =
                std::string(body == bodies_.end() ? "HTTP/1.0 404 Not Found" : "HTTP/1.0 200 OK") +
                "\r\nContent-Length: " + std::to_string(content.size()) + "\r\nConnection: close\r\n\r\n" + content;
            ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
    }

    std::map<std::string, std::string> bodies_;
    int fd_ = -1;
    int port_ = 0;
    std::thread thread_;
};

class DesktopTest : public CliTest {
protected:
    // Points the prefix's COMn at this tracker.
    static void plugIn(const EmulatorHarness& emu, int com) {
        const fs::path link = fs::path(VARNEL_WINE_DIR) / ("com" + std::to_string(com));
        fs::remove(link);
        fs::create_symlink(emu.slavePath(), link);
    }

    static std::string windowsPath(const fs::path& p) {
        std::string s = "Z:" + p.string();
        std::replace(s.begin(), s.end(), '/', '\\');
        return s;
    }

    static std::string start(const std::string& arguments = "") {
        return "start \"" + windowsPath(VARNEL_DESKTOP_EXE) + "\"" + arguments + "\n";
    }

    // The steps that connect the program to the tracker on COM12, up to its
    // main window.
    static std::string connect(const std::string& mainWindow = kTrackerTitle, const std::string& arguments = "") {
        return start(arguments) +
               "window Connect to tracker\n"
               "click COM12\n"
               "click Connect\n"
               "window " +
               mainWindow + "\n";
    }

    // The write window runs to "Finished!" and is closed.
    static std::string writeFinishes() {
        return "window Writing to tracker\n"
               "text " +
               std::to_string(kWriteStatus) +
               " Finished!\n"
               "click " +
               std::to_string(kOk) + "\n";
    }

    // Exit on the main window ends the program with status 0.
    static std::string exitFrom(const std::string& mainWindow = kTrackerTitle) {
        return "window " + mainWindow + "\nclick Exit\nexit 0\n";
    }

    // Plays the steps at the program; the driver reports a failed step.
    Result drive(const std::string& steps) {
        const fs::path file = dir / "steps.txt";
        std::ofstream(file) << steps;
        const fs::path out = dir / "driver.out";
        const std::string command = std::string(VARNEL_WINE_RUNNER) + " " + VARNEL_DESKTOP_DRIVER + " '" +
                                    windowsPath(file) + "' >" + out.string() + " 2>&1 </dev/null";
        const int rc = std::system(command.c_str());
        return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, readText(out), ""};
    }

    static int erasesIn(const EmulatorHarness& emu) {
        int n = 0;
        for (const auto& e : emu.commandLog()) n += e.command == 'E';
        return n;
    }
};

// Connect, read, change the callsign and one more setting (in a satellite
// window of a tracker), Write: the flash then holds exactly what the Linux
// program writes for the same edits.
TEST_F(DesktopTest, WriteLeavesTheFlashTheLinuxProgramLeaves) {
    const auto inWindow = [](int button, const std::string& title, int control, const std::string& value) {
        return "click " + std::to_string(button) + "\nwindow " + title + "\ntype " + std::to_string(control) + " " +
               value + "\nclick " + std::to_string(kOk) + "\n";
    };
    const struct {
        const char* chip;
        bool weather;
        std::string edits, keys;
    } cases[] = {
        {"AP64", false, inWindow(tracker_id::kDigipeaterButton, "Digipeater Settings", digipeater_id::kDupeTime, "17"),
         "digipeater.dupeTime=17"},
        // JL16 has a radio of its own and no digipeater.
        {"JL16", false, inWindow(tracker_id::kFreqButton, "Transmit Frequencies", frequency_id::channel(2), "145.825"),
         "frequencies.channel2=145.825"},
        {"AP64", true, "type " + std::to_string(weather_id::kComment) + " Rooftop\n", "comment=Rooftop"},
    };
    static_assert(tracker_id::kCallsign == weather_id::kCallsign, "one callsign box id in both main windows");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.chip) + (c.weather ? " weather station" : ""));
        EmulatorOptions options;
        options.chip = c.chip;
        options.weather = c.weather;
        EmulatorHarness windows(options), linux(options);
        const Bytes factory = windows.flash();
        ASSERT_EQ(factory, linux.flash());
        plugIn(windows, 12);
        const std::string mainWindow = c.weather ? kWeatherTitle : kTrackerTitle;
        const Result r = drive(connect(mainWindow) + "type " + std::to_string(tracker_id::kCallsign) + " VA3XYZ-7\n" +
                               c.edits + "window " + mainWindow +
                               "\n"
                               "click Write\n" +
                               writeFinishes() + exitFrom(mainWindow));
        ASSERT_EQ(r.status, 0) << r.out << windows.commandLogText();

        const fs::path cfg = dir / "linux.cfg";
        ASSERT_EQ(cli("read --port " + linux.slavePath() + " --output " + cfg.string()).status, 0);
        const Result set = cli("set " + cfg.string() + " callsign=VA3XYZ-7 " + c.keys);
        ASSERT_EQ(set.status, 0) << set.err;
        ASSERT_EQ(cli("write --port " + linux.slavePath() + " " + cfg.string()).status, 0);
        const Bytes written = windows.flash();
        EXPECT_NE(firstDifference(written, factory), -1) << "nothing was written";
        EXPECT_EQ(firstDifference(written, linux.flash()), -1);
    }
}

// The diagnostics window shows what the tracker measures and switches what
// the user ticks; OK leaves only the red LED on, as opening does. On JM60 it
// shows the received audio level and the receive gain too.
TEST_F(DesktopTest, DiagnosticsWindowReadsAndDrivesTheTracker) {
    for (const char* chip : {"AP64", "JM60"}) {
        SCOPED_TRACE(chip);
        EmulatorOptions options;
        options.chip = chip;
        options.volts = 13.8;
        EmulatorHarness emu(options);
        plugIn(emu, 12);
        const fs::path seen = dir / (std::string(chip) + "-green-led-on");
        std::atomic<bool> ledOn = false;
        std::atomic<bool> done = false;
        std::thread watch([&] {
            while (!done && !ledOn) {
                if (emu.outputs().greenLed) {
                    ledOn = true;
                    std::ofstream(seen) << "on";
                }
                std::this_thread::sleep_for(20ms);
            }
        });
        std::string receive;
        if (std::string(chip) == "JM60")
            for (int id : {diagnostics_id::kReceiveLevelLabel, dialog_ids::diagnostics_dialog::receiveLevelBar,
                           diagnostics_id::kReceiveGainLabel, diagnostics_id::kGain1x, diagnostics_id::kGain16x})
                receive += "shown " + std::to_string(id) + "\n";
        const Result r = drive(connect() + "click " + std::to_string(tracker_id::kDiagnosticsButton) +
                               "\n"
                               "window Adjustment and Diagnostics\n"
                               "check " +
                               std::to_string(diagnostics_id::kSensors) +
                               " 1\n"
                               "text " +
                               std::to_string(diagnostics_id::kVoltage) + " 13.8\n" + receive + "check " +
                               std::to_string(diagnostics_id::kGreenLed) +
                               " 1\n"
                               "await " +
                               windowsPath(seen) +
                               "\n"
                               "capture diagnostics_" +
                               chip +
                               "\n"
                               "click " +
                               std::to_string(kOk) + "\n" + exitFrom());
        done = true;
        watch.join();
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_TRUE(ledOn);
        EXPECT_FALSE(emu.outputs().greenLed);
        EXPECT_TRUE(emu.outputs().redLed);
    }
}

// "PORT KEEP FIRMWARE" on the command line, as a shortcut gives it: the
// firmware is written with only the progress window to see, and the exit
// status says how it went. A firmware the tracker could not start is refused
// before anything is erased.
TEST_F(DesktopTest, LegacyCommandLineLoadsFirmwareUnattended) {
    EmulatorHarness emu("AP64");
    plugIn(emu, 3);
    const std::uint32_t code = codeAddress(emu);
    const Bytes program{0x45, 0x01, 0x00, 0x9D};

    const fs::path noVector = writeS19({{code, program}});
    fs::rename(noVector, dir / "no-vector.s19");
    Result r = drive(start(" 3 0 " + windowsPath(dir / "no-vector.s19")) +
                     "window varnelcfg\n"
                     "text " +
                     std::to_string(kMessageBoxText) +
                     " no reset vector\n"
                     "click OK\n"
                     "exit 1\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(erasesIn(emu), 0) << emu.commandLogText();

    const fs::path firmware = writeS19({{code, program}, resetVector(emu)});
    emu.clearLog();
    r = drive(start(" 3 1 " + windowsPath(firmware)) + writeFinishes() + "exit 0\n");
    EXPECT_EQ(r.status, 0) << r.out << emu.commandLogText();
    EXPECT_EQ(emu.readFlash(code, program.size()), program);
    EXPECT_TRUE(emu.waitForState(DeviceState::Firmware, 2s));
    // The same as the Linux program's load, keeping the settings too.
    EmulatorHarness linux("AP64");
    ASSERT_EQ(cli("flash --keep-settings --port " + linux.slavePath() + " " + firmware.string()).status, 0);
    EXPECT_EQ(firstDifference(emu.flash(), linux.flash()), -1);
}

// Load firmware from network: the release list comes from the firmware
// server, the chosen file from the mirror, the tracker keeps its settings
// ("No" to erasing them), and after the write the program reconnects and
// shows the main window again.
TEST_F(DesktopTest, FirmwareFromTheNetworkIsWrittenKeepingTheProfiles) {
    EmulatorHarness emu("AP64");
    plugIn(emu, 12);
    const Bytes program{0x45, 0x02, 0x00, 0x9D};
    // A release carries its own default settings, and its build in their header.
    const TargetTableEntry& ap64 = *findTarget("AP64");
    Bytes defaults = emu.readFlash(ap64.settingsAddress, ap64.settingsSize);
    defaults[settings_layout::kBuild + 1] ^= 0x01;
    const fs::path firmware =
        writeS19({{codeAddress(emu), program}, {ap64.settingsAddress, defaults}, resetVector(emu)});
    LoopbackServer server({{firmwareListPath("AP64"), "/fw/ap64-test.s19\tTest release\t2026-12-08\r\n"},
                           {"/fw/ap64-test.s19", readText(firmware)}});
    const std::string servers = " --firmware-server " + server.address() + " --mirror-server " + server.address();
    const Result r =
        drive(connect(kTrackerTitle, servers) + "click " + std::to_string(tracker_id::kFirmwareNetworkButton) +
              "\n"
              "window Download firmware\n"
              "first " +
              std::to_string(kReleaseList) +
              "\n"
              "click " +
              std::to_string(kOk) +
              "\n"
              "window varnelcfg\n"
              "text " +
              std::to_string(kMessageBoxText) +
              " erase the current configuration\n"
              "click No\n" +
              writeFinishes() + exitFrom());
    EXPECT_EQ(r.status, 0) << r.out << emu.commandLogText();
    EXPECT_EQ(emu.readFlash(codeAddress(emu), program.size()), program);

    // The command line's load keeps the tracker's settings whole; the
    // window's keeps the profiles but takes the new firmware's family, type
    // and build.
    EmulatorHarness linux("AP64");
    ASSERT_EQ(cli("flash --keep-settings --port " + linux.slavePath() + " " + firmware.string()).status, 0);
    Bytes expected = linux.flash();
    std::copy_n(defaults.begin(), settings_layout::kFlags, expected.begin() + ap64.settingsAddress);
    EXPECT_EQ(firstDifference(emu.flash(), expected), -1);
}

// Over a slow line (the slow connection's 19200 baud, in real time, through
// an adapter that holds each reply 60 ms) the write window is up while the
// write runs, its bar part of the way along, and it and the window behind it
// keep answering while the link waits, on the settings Write and on a
// firmware load keeping the settings. A file with no settings block of its
// own leaves the tracker's header, so the program reads the tracker again
// and shows its window; the flash is what the command line's kept-settings
// load leaves.
TEST_F(DesktopTest, TheWriteWindowIsLiveDuringASlowWrite) {
    EmulatorOptions options;
    options.realtime = true;
    options.adapterLatencyMs = 60;
    EmulatorHarness emu(options);
    plugIn(emu, 12);
    const TargetTableEntry& ap64 = *findTarget("AP64");
    const Bytes header = emu.readFlash(ap64.settingsAddress, 4);
    const Bytes program(8192, 0x9D);
    const fs::path firmware = writeS19({{codeAddress(emu), program}, resetVector(emu)});
    const std::string bar = std::to_string(dialog_ids::write_progress_dialog::progressBar);
    // The program hands its windows a turn every 10 ms of a wait. Asked from
    // another process under Wine on a busy machine, an answer has taken up
    // to 75 ms; a program that turns only between the link's commands, as
    // a synchronous port would have it, takes 200 ms and more.
    constexpr int kAnswerMs = 120;
    const Result r = drive(start() +
                           "window Connect to tracker\n"
                           "click COM12\n"
                           "check " +
                           std::to_string(dialog_ids::connect_dialog::slowLinkBox) +
                           " 1\n"
                           "click Connect\n"
                           "window " +
                           kTrackerTitle +
                           "\n"
                           "type " +
                           std::to_string(tracker_id::kCallsign) +
                           " VA3XYZ-7\n"
                           "click Write\n"
                           "window Writing to tracker\n"
                           "partial " +
                           bar +
                           "\n"
                           "capture write_under_way\n"
                           "live " +
                           bar + " " + std::to_string(kAnswerMs) + "\n" + writeFinishes() + "window " + kTrackerTitle +
                           "\n"
                           "click " +
                           std::to_string(tracker_id::kFirmwareFileButton) +
                           "\n"
                           "window Open\n"
                           // The file name box of the open dialog (cmb13).
                           "type 1148 " +
                           windowsPath(firmware) +
                           "\n"
                           "click " +
                           std::to_string(kOk) +
                           "\n"
                           "window varnelcfg\n"
                           "text " +
                           std::to_string(kMessageBoxText) +
                           " erase the current configuration\n"
                           "click No\n"
                           "window Writing to tracker\n"
                           "partial " +
                           bar +
                           "\n"
                           "live " +
                           bar + " " + std::to_string(kAnswerMs) + "\n" + writeFinishes() + exitFrom());
    ASSERT_EQ(r.status, 0) << r.out << emu.commandLogText();
    EXPECT_EQ(emu.readFlash(ap64.settingsAddress, 4), header);
    EXPECT_EQ(emu.readFlash(codeAddress(emu), program.size()), program);

    EmulatorHarness linux("AP64");
    const fs::path cfg = dir / "linux.cfg";
    ASSERT_EQ(cli("read --port " + linux.slavePath() + " --output " + cfg.string()).status, 0);
    ASSERT_EQ(cli("set " + cfg.string() + " callsign=VA3XYZ-7").status, 0);
    ASSERT_EQ(cli("write --port " + linux.slavePath() + " " + cfg.string()).status, 0);
    ASSERT_EQ(cli("flash --keep-settings --port " + linux.slavePath() + " " + firmware.string()).status, 0);
    EXPECT_EQ(firstDifference(emu.flash(), linux.flash()), -1);
}

// Leaving with unsaved edits asks over the middle of the main window, where
// the user is looking; Discard leaves without writing.
TEST_F(DesktopTest, TheUnsavedEditsQuestionOpensCentredOverTheWindow) {
    EmulatorHarness emu("AP64");
    plugIn(emu, 12);
    const Bytes before = emu.flash();
    const Result r = drive(connect() + "type " + std::to_string(tracker_id::kCallsign) +
                           " VA3XYZ-7\n"
                           "click Exit\n"
                           "window varnelcfg\n"
                           "centred\n"
                           "capture unsaved_question\n"
                           "click Discard\n"
                           "exit 0\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(firstDifference(emu.flash(), before), -1);
}

// Written once, then its newest backup (what it held before that write)
// written back from the Backups window: the tracker holds its factory
// flash again, and the settings shown are saved, so Exit asks nothing.
TEST_F(DesktopTest, WriteBackFromTheBackupsWindowPutsTheTrackerBack) {
    EmulatorHarness emu("AP64");
    plugIn(emu, 12);
    const Bytes factory = emu.flash();
    const Result r = drive(connect() + "type " + std::to_string(tracker_id::kCallsign) +
                           " VA3XYZ-7\n"
                           "click Write\n" +
                           writeFinishes() + "window " + kTrackerTitle +
                           "\n"
                           "click Backups\n"
                           "window Backups\n"
                           "capture backups_desktop\n"
                           "click Write back\n"
                           "window varnelcfg\n"
                           "text " +
                           std::to_string(kMessageBoxText) +
                           " Write the backup AP64_\n"
                           "click Yes\n" +
                           writeFinishes() +
                           "window Backups\n"
                           "click Close\n" +
                           exitFrom());
    ASSERT_EQ(r.status, 0) << r.out << emu.commandLogText();
    EXPECT_EQ(firstDifference(emu.flash(), factory), -1);
}

// A tracker that never answers: after ten seconds the connect window says
// what to check, on the port as the user knows it.
TEST_F(DesktopTest, ASilentTrackerGetsTheHint) {
    EmulatorOptions options;
    options.faults.silent = true;
    EmulatorHarness emu(options);
    plugIn(emu, 12);
    const std::string status = std::to_string(dialog_ids::connect_dialog::statusLabel);
    const Result r = drive(start() +
                           "window Connect to tracker\n"
                           "click COM12\n"
                           "click Connect\n"
                           "text " +
                           status +
                           " Please reset tracker now.\n"
                           "text " +
                           status +
                           " No answer yet on COM12. Check that the tracker has power\n"
                           "capture connect_hint\n"
                           "click Cancel\n"
                           "text " +
                           status +
                           " Choose the port\n"
                           "click Cancel\n"
                           "exit 0\n");
    EXPECT_EQ(r.status, 0) << r.out;
}

// Settings that do not arrive after a good connect (an adapter whose latency
// timer outlasts the read's gap) bring the user back to the connect window,
// the port closed, to try again.
TEST_F(DesktopTest, AFailedReadGoesBackToTheConnectWindow) {
    EmulatorOptions options;
    options.adapterLatencyMs = 200;
    EmulatorHarness slow(options);
    plugIn(slow, 12);
    const Result r = drive(start() +
                           "window Connect to tracker\n"
                           "click COM12\n"
                           "click Connect\n"
                           "window varnelcfg\n"
                           "text " +
                           std::to_string(kMessageBoxText) +
                           " Error receiving data from device\n"
                           "click OK\n"
                           "window Connect to tracker\n"
                           "click Cancel\n"
                           "exit 0\n");
    EXPECT_EQ(r.status, 0) << r.out << slow.commandLogText();
}

}  // namespace
}  // namespace varnel::test
