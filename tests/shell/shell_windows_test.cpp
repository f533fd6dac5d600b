#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/device_target.h"
#include "link/boot_protocol.h"
#include "link/diagnostics_session.h"
#include "link/fake_bootloader.h"
#include "shell/config_app.h"
#include "shell/connect_window.h"
#include "shell/diagnostics_window.h"
#include "shell/firmware_sequences.h"
#include "shell/port_slots.h"
#include "shell/tracker_window.h"
#include "shell/write_progress_window.h"
#include "forms/tracker_fixture.h"
#include "scripted_front_end.h"

namespace varnel {
namespace {

using test::ShellFixture;

class ScriptedConnectView : public test::RecordingView<ConnectView> {
public:
    std::vector<PortSlot> shown;
    ConnectChoice chosen;
    std::vector<std::string> statuses;
    ConnectControls controls;
    void showSlots(const std::vector<PortSlot>& slots) override { shown = slots; }
    void showChoice(int slot, const std::string& typedPath, bool slowLink) override {
        chosen.slot = slot, chosen.typedPath = typedPath, chosen.slowLink = slowLink;
    }
    ConnectChoice choice() const override { return chosen; }
    void setStatus(const std::string& text) override { statuses.push_back(text); }
    void showControls(const ConnectControls& c) override { controls = c; }
};

struct ConnectBench {
    ShellFixture f;
    test::FakeBootloader device;
    std::vector<PortSlot> present;
    ScriptedConnectView view;
    ConnectWindow window{f.context, view, "", [this] { return present; }};

    ConnectBench() { device.attach(*f.port); }
    // A board in its bootloader that announces itself at 115200 once opened.
    void answerAt115200() {
        device.deviceId = "AW60-H";
        device.inBootloader = true;
        f.port->onOpen = [](test::FakeSerialPort& p) {
            if (p.speed == "115200") p.queue({0xFC});
        };
    }
};

TEST(ConnectWindow, StartsOnTheRememberedDeviceAndWatchesThePorts) {
    ConnectBench b;
    b.f.front.slot = 1;
    b.f.front.portPath = "/dev/b";
    b.f.front.fast = false;
    b.present = {{"/dev/a", "a", ""}, {"/dev/b", "b", ""}};
    b.window.start();
    EXPECT_EQ(b.view.shown.size(), 2u);
    EXPECT_EQ(b.view.chosen.slot, 2);
    EXPECT_TRUE(b.view.chosen.slowLink);
    EXPECT_EQ(b.view.timers, (std::map<int, int>{{ConnectWindow::kPortWatchTimer, 500}}));
    b.view.chosen.typedPath = " /dev/pts/7 ";
    b.window.pathTyped(b.view.chosen.typedPath);
    EXPECT_EQ(b.view.chosen.slot, 0);
    EXPECT_EQ(b.window.chosenPath(), "/dev/pts/7");
    b.view.chosen.slot = 1;  // a slot clicked: the typed path goes
    b.window.slotChosen();
    EXPECT_EQ(b.window.chosenPath(), "/dev/a");
}

TEST(ConnectWindow, ConnectPressedConnectsRemembersThePortAndOffersTheReload) {
    ConnectBench b;
    b.present = {{"/dev/a", "a", ""}, {"/dev/b", "b", ""}};
    b.window.start();
    b.view.chosen = {2, "", false, true};
    b.window.connectPressed();
    EXPECT_EQ(b.view.statuses.back(), "Ready to connect.  Please reset tracker now.");
    EXPECT_TRUE(b.f.ui.messages.empty()) << b.f.ui.messages.front();
    EXPECT_TRUE(b.f.session.link.connected);
    EXPECT_EQ(b.f.session.link.chipName, "AP64");
    EXPECT_EQ(b.f.port->opens.front().name, "/dev/b");
    EXPECT_EQ(b.f.front.slot, 2);
    EXPECT_EQ(b.f.front.portPath, "/dev/b");
    EXPECT_TRUE(b.f.front.fast);
    EXPECT_EQ(b.f.front.opened, std::vector<std::string>{"FirmwareInit"});
    EXPECT_EQ(b.f.session.target.chipName, "AP64");
    EXPECT_EQ(b.view.result, kResultAccepted);
    EXPECT_TRUE(b.view.timers.empty());
}

TEST(ConnectWindow, CancelWhenIdleClosesTheWindow) {
    ConnectBench b;
    b.window.start();
    EXPECT_EQ(
        b.view.statuses,
        std::vector<std::string>{"No serial device was found. Plug the tracker's cable in, or type the device path."});
    b.window.cancelPressed();
    EXPECT_EQ(b.view.result, kResultRejected);
    EXPECT_EQ(b.f.session.link.linkAbort, LinkState::kAbortRequested);
}

// A tracker that never answers: after ten seconds the status says what to
// check, naming the port; Cancel ends the attempt and takes the stale
// status away.
TEST(ConnectWindow, ASilentTrackerGetsAHintAndCancelClearsIt) {
    ConnectBench b;
    b.device.silent = true;
    b.present = {{"/dev/ttyUSB3", "ttyUSB3", ""}};
    b.window.start();
    b.view.chosen = {1, "", false, false};
    std::size_t hintAt = 0;
    b.f.ui.onPump = [&] {
        ASSERT_TRUE(b.view.timers.count(ConnectWindow::kHintTimer));
        EXPECT_EQ(b.view.timers[ConnectWindow::kHintTimer], 10000);
        if (!hintAt && b.f.clock.now >= 10000) {
            b.window.timerTicked(ConnectWindow::kHintTimer);  // the front end's timer
            hintAt = b.view.statuses.size();
            b.window.cancelPressed();
        }
    };
    b.window.connectPressed();
    ASSERT_GT(hintAt, 0u);
    const std::string hint = b.view.statuses[hintAt - 1];
    EXPECT_EQ(hint.rfind("Ready to connect.  Please reset tracker now.\n\nNo answer yet on /dev/ttyUSB3. ", 0), 0u)
        << hint;
    EXPECT_NE(hint.find("power"), std::string::npos);
    EXPECT_EQ(b.view.statuses.back(), "Choose the port the tracker is connected to, then press Connect.");
    EXPECT_FALSE(b.view.timers.count(ConnectWindow::kHintTimer));
    EXPECT_EQ(b.view.result, -1);  // the first Cancel only stops the attempt
    EXPECT_TRUE(b.view.controls.connectEnabled);
    EXPECT_TRUE(b.f.ui.messages.empty());
}

// Each tick compares the present ports with the last tick's: a port that
// appears is tried once by itself at 115200 after its settle time; one that
// goes and comes back is new again.
TEST(ConnectWindow, ThePortWatchTriesEachPortThatAppears) {
    ConnectBench b;
    b.window.start();
    const PortSlot acm{"/dev/ttyACM0", "ttyACM0", ""};
    b.device.silent = true;
    struct Step {
        std::vector<PortSlot> present;
        bool answers;
        std::size_t opens;
        int result;
    } steps[] = {
        {{}, false, 0, -1},                 // nothing there
        {{acm}, false, 1, -1},              // appears, stays silent: tried once
        {{acm}, false, 1, -1},              // still there: not tried again
        {{}, false, 1, -1},                 // unplugged
        {{acm}, true, 2, kResultAccepted},  // back, answering
    };
    for (const Step& s : steps) {
        b.present = s.present;
        if (s.answers) b.answerAt115200();
        b.window.timerTicked(ConnectWindow::kPortWatchTimer);
        EXPECT_EQ(b.f.port->opens.size(), s.opens);
        EXPECT_EQ(b.view.result, s.result);
        EXPECT_TRUE(b.view.controls.offlineEnabled);
        EXPECT_FALSE(b.window.attemptRunning());
    }
    EXPECT_EQ(b.view.pauses, (std::vector<int>{300, 300}));
    EXPECT_EQ(b.f.port->opens.back().speed, "115200");
    EXPECT_EQ(b.f.session.link.chipName, "AW60");
    EXPECT_TRUE(b.f.session.link.connected);
    EXPECT_EQ(b.f.session.link.linkAbort, LinkState::kAbortIdle);
    EXPECT_TRUE(b.f.front.portPath.empty());  // the timer path stores nothing
    EXPECT_TRUE(b.view.timers.empty());
}

// Where the platform grants ports, "Add port..." shows; the port picked in
// its chooser becomes a chosen slot, and the port watch takes it as present,
// not as a tracker just plugged in. A cancelled chooser changes nothing.
TEST(ConnectWindow, AddPortChoosesThePortGrantedAndTheWatchLeavesIt) {
    ConnectBench desktop;
    desktop.window.start();
    EXPECT_FALSE(desktop.view.controls.addPortShown);

    ConnectBench b;
    b.f.front.grantsPorts = true;
    b.present = {{"emulated:AP64", "Emulated", ""}};
    b.window.start();
    EXPECT_TRUE(b.view.controls.addPortShown);
    b.view.chosen = {1, "", true, false};
    b.f.front.granted = {"", "serial:1"};
    b.window.addPortPressed();  // cancelled
    EXPECT_EQ(b.view.chosen.slot, 1);
    EXPECT_EQ(b.view.shown.size(), 1u);
    b.present.insert(b.present.begin(), {"serial:1", "Serial port 1", "USB 0403:6001"});
    b.window.addPortPressed();
    EXPECT_EQ(b.f.front.opened, (std::vector<std::string>{"AddPort", "AddPort"}));
    ASSERT_EQ(b.view.shown.size(), 2u);
    EXPECT_EQ(b.view.shown[0].tooltip, "USB 0403:6001");
    EXPECT_EQ(b.view.chosen.slot, 1);
    EXPECT_TRUE(b.view.chosen.slowLink);
    EXPECT_EQ(b.window.chosenPath(), "serial:1");
    b.window.timerTicked(ConnectWindow::kPortWatchTimer);
    EXPECT_TRUE(b.f.port->opens.empty());
    EXPECT_EQ(b.view.result, -1);
}

// The connection doctor's findings for the port tried go under the hint of
// a silent wait (asked with the port open here) and under "Can't open serial
// port"; what stands in the way of every port (a page without Web Serial)
// is in the status from the start and after a failed attempt; "Connection
// help..." shows the whole report of the chosen port, and not while an
// attempt holds it.
TEST(ConnectWindow, TheDoctorsFindingsReachTheHintTheOpenFailureAndConnectionHelp) {
    const DoctorFinding modemManager{FindingLevel::Problem, "ModemManager", "ModemManager is running", "mask it."};
    const DoctorFinding noWebSerial{FindingLevel::Problem, "Web Serial", "This page has no serial ports",
                                    "use Chrome."};
    const DoctorFinding latency{FindingLevel::Advice, "latency timer", "16 ms", "make it 1 ms."};
    ConnectBench b;
    b.device.silent = true;
    b.present = {{"/dev/ttyUSB3", "ttyUSB3", ""}};
    b.f.front.findings["/dev/ttyUSB3"] = {modemManager, latency};
    b.f.front.findings[""] = {noWebSerial, latency};
    b.window.start();
    const std::string idle = "Choose the port the tracker is connected to, then press Connect.\n\n"
                             "This page has no serial ports; use Chrome.";
    EXPECT_EQ(b.view.statuses.back(), idle);
    EXPECT_TRUE(b.view.controls.helpEnabled);

    b.view.chosen = {1, "", false, false};
    std::string hint;
    b.f.ui.onPump = [&] {
        if (hint.empty() && b.f.clock.now >= 10000) {
            b.window.helpPressed();  // the attempt holds the port: nothing opens
            EXPECT_FALSE(b.view.controls.helpEnabled);
            b.window.timerTicked(ConnectWindow::kHintTimer);
            hint = b.view.statuses.back();
            b.window.cancelPressed();
        }
    };
    b.window.connectPressed();
    EXPECT_NE(hint.find(". Connect keeps trying until Cancel.\n\nThe connection doctor found:\n"
                        "ModemManager is running; mask it.\n16 ms; make it 1 ms."),
              std::string::npos)
        << hint;
    EXPECT_EQ(b.f.front.doctorAsked.back(), std::make_pair(std::string("/dev/ttyUSB3"), true));
    EXPECT_EQ(b.view.statuses.back(), idle);
    EXPECT_TRUE(b.f.front.listings.empty());

    b.f.ui.onPump = nullptr;
    b.f.port->failOpenAtSpeed = true;
    b.f.port->failSpeed = boot_protocol::kProbeSpeeds[0];
    b.window.connectPressed();
    EXPECT_EQ(b.f.ui.messages, std::vector<std::string>{
                                   "Can't open serial port\nModemManager is running; mask it.\n16 ms; make it 1 ms."});
    EXPECT_EQ(b.f.front.doctorAsked.back(), std::make_pair(std::string("/dev/ttyUSB3"), false));

    b.f.front.findings["/dev/ttyUSB3"] = {{FindingLevel::Ok, "port", "/dev/ttyUSB3 is there", ""}, modemManager};
    b.window.helpPressed();
    ASSERT_EQ(b.f.front.listings.size(), 1u);
    EXPECT_EQ(b.f.front.listings[0].first, "Connection help");
    EXPECT_EQ(b.f.front.listings[0].second,
              "[ok]      port: /dev/ttyUSB3 is there.\n[problem] ModemManager: ModemManager is running; mask it.\n"
              "One problem stands in the way: the line marked [problem] says what to do.\n");
    EXPECT_EQ(b.f.front.doctorAsked.back(), std::make_pair(std::string("/dev/ttyUSB3"), false));
}

// The slots each platform's connect window offers, from the same port list.
TEST(PortSlots, EachPlatformNamesItsPortsItsOwnWay) {
    const std::vector<PortDescription> present = {{"/dev/ttyUSB0", "usb-FTDI_FT232R-if00", "0403:6001"},
                                                  {"/dev/ttyS0", "serial port"}};
    const std::vector<PortSlot> own = {{"emulated:AP64", "Emulated tracker (AP64)", "nothing plugged in"}};
    std::vector<PortSlot> paths = makePortSlots(PortNaming::DevicePaths, present, "/dev/pts/4", {});
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0].path, "/dev/pts/4");
    EXPECT_EQ(paths[1].label, "ttyUSB0");
    EXPECT_EQ(paths[1].tooltip, "usb-FTDI_FT232R-if00 (USB 0403:6001)");
    EXPECT_EQ(paths[2].path, "/dev/ttyS0");

    const std::vector<PortDescription> com = {{"COM3", "USB serial adapter (FTDI) (\\Device\\VCP0)"}, {"COM40", "far"}};
    std::vector<PortSlot> numbered = makePortSlots(PortNaming::ComNumbers, com, "/dev/pts/4", own);
    ASSERT_EQ(numbered.size(), static_cast<std::size_t>(kMaxPortSlots));
    EXPECT_EQ(numbered[15].label, "COM16");
    EXPECT_TRUE(numbered[2].present);
    EXPECT_EQ(numbered[2].tooltip, com[0].description);
    EXPECT_EQ(std::count_if(numbered.begin(), numbered.end(), [](const PortSlot& p) { return p.present; }), 1);

    std::vector<PortSlot> granted =
        makePortSlots(PortNaming::GrantedPorts, {{"webserial:1", "Serial port 1", "0403:6001"}}, "", own);
    ASSERT_EQ(granted.size(), 2u);
    EXPECT_EQ(granted[0].label, "Serial port 1 (USB 0403:6001)");
    EXPECT_EQ(granted[0].tooltip, "A serial port this page may use (USB vendor 0403, product 6001)");
    EXPECT_EQ(granted[1].label, own[0].label);

    EXPECT_TRUE(typedPathShown(PortNaming::DevicePaths));
    EXPECT_FALSE(typedPathShown(PortNaming::ComNumbers) || typedPathShown(PortNaming::GrantedPorts));
}

// What a progress view was told, in order.
class ScriptedProgressView : public test::RecordingView<ProgressView> {
public:
    std::vector<std::string> told;
    void showNow() override { told.push_back("shown"); }
    void showBar(int low, int high, int at) override {
        told.push_back("bar " + std::to_string(low) + "-" + std::to_string(high) + " at " + std::to_string(at));
    }
    void showStatus(const std::string& text) override { told.push_back("status " + text); }
    // A close asked for as the note comes, before OK is there.
    WriteProgressWindow* closing = nullptr;
    void showNote(const std::string& text) override {
        told.push_back("note " + text);
        if (closing) closing->closeRequested();
        told.push_back(result == -1 ? "still open" : "closed");
    }
    void showBusy(bool on) override { told.push_back(on ? "busy" : "idle"); }
    void setOkEnabled(bool on) override { told.push_back(on ? "OK on" : "OK off"); }
    void focusOk() override { told.push_back("OK focused"); }
};

// The write window is painted before the first byte and cannot be closed
// while the write runs; then the note goes under the last status, OK is
// enabled and focused, and OK or Escape closes it.
TEST(WriteProgressWindow, PaintedFirstClosedOnlyAfterTheNoteAndOk) {
    for (const bool escape : {false, true}) {
        ScriptedProgressView view;
        WriteProgressWindow* self = nullptr;
        WriteProgressWindow window(view, {[&](WriteProgress& p) {
                                              p.setRange(0, 8);
                                              p.setPosition(3);
                                              p.setStatus("Write failed!");
                                              self->okPressed();
                                              self->closeRequested();
                                              view.told.push_back(view.result == -1 ? "still open" : "closed");
                                              return -1;
                                          },
                                          [](int result) { return "note for " + std::to_string(result); }});
        self = view.closing = &window;
        window.start();
        EXPECT_EQ(view.told,
                  (std::vector<std::string>{"OK off", "shown", "busy", "bar 0-8 at 0", "bar 0-8 at 3",
                                            "status Write failed!", "still open", "idle",
                                            "note Write failed!\nnote for -1", "still open", "OK on", "OK focused"}));
        EXPECT_EQ(window.result(), -1);
        escape ? window.closeRequested() : window.okPressed();
        EXPECT_EQ(view.result, kResultAccepted);
    }
}

// A connected AP64 in its bootloader, for the write sequences.
struct WriteBench {
    ShellFixture f;
    test::FakeBootloader device;
    WriteBench() {
        device.attach(*f.port);
        device.inBootloader = true;
        device.acked = true;
        f.port->openPort("fake", "19200", f.ui);
        f.session.link.connected = true;
        f.session.link.chipName = "AP64";
        f.session.link.deviceInfo.deviceId = "AP64";
        f.session.link.deviceInfo.eraseBlockSize = device.eraseSize;
        f.session.link.deviceInfo.writeBlockSize = device.writeSize;
        selectTarget(f.session.target, "AP64");
        f.context.backupFolder = ::testing::TempDir() + "shell_backups";
    }
};

TEST(WriteSequence, ARefusedBackupWritesNothing) {
    WriteBench b;
    b.f.context.backupFolder = "/proc/version/backups";  // a file where a folder should be
    EXPECT_EQ(writeConfiguration(b.f.context, ConfigFlavour::Tracker), kBackupRefused);
    ASSERT_EQ(b.f.ui.messages.size(), 1u);
    EXPECT_TRUE(b.f.front.opened.empty());
}

class ScriptedTrackerView : public test::RecordingView<TrackerView> {
public:
    std::function<void(TrackerForm&)> edit;  // what the user typed into the boxes
    void readForm(TrackerForm& form) override {
        if (edit) edit(form);
    }
    void showForm(const TrackerForm&) override {}
    std::string title;
    void showTitle(const std::string& t) override { title = t; }
};

// Leaving the main window asks only when the records with the boxes' edits
// differ from what was last read, written, loaded or saved; the answer
// writes (and leaves once written), discards, or stays.
TEST(TrackerWindow, LeavingWithEditsAsksWriteDiscardOrCancel) {
    using A = UserInterface::Answer;
    struct Case {
        const char* what;
        const char* typed;  // into the callsign box (the quiet time, last case), or nullptr
        bool connected;
        A answer;
        int result;  // how the window ends, -1 still open
        std::vector<std::string> opened;
        bool editStored;
    } cases[] = {
        {"no edit", nullptr, true, A::Cancel, kResultRejected, {}, false},
        {"discarded", "N0CALL", true, A::Second, kResultRejected, {}, false},
        {"cancelled", "N0CALL", true, A::Cancel, -1, {}, false},
        {"written", "N0CALL", true, A::First, kResultRejected, {"Progress"}, true},
        {"written offline: connect first", "N0CALL", false, A::First, kResultReconnect, {"Connect"}, true},
        {"a refused box stays open", "300", true, A::First, -1, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBench b;
        b.f.session.restore(test::trackerSession("AP64").snapshot());
        b.f.session.link.connected = c.connected;
        {
            // The records as this window stores them (the source callsign's
            // end bit follows the path), as after a Write.
            test::RecordingUi quiet;
            TrackerForm shown;
            startTrackerForm(shown, b.f.session);
            ASSERT_EQ(checkAndStore(shown, b.f.session, quiet), 0);
        }
        b.f.session.markSaved();
        b.f.front.results["Connect"] = kResultAccepted;
        ScriptedTrackerView view;
        TrackerWindow window(b.f.context, view);
        window.start();
        const RecordsSnapshot before = b.f.session.snapshot();
        const bool refused = std::string(c.what) == "a refused box stays open";
        if (c.typed) view.edit = [&](TrackerForm& f) { (refused ? f.quietTime : f.callsign).text = c.typed; };
        b.f.ui.choiceAnswers = {c.answer};
        window.exitRequested();
        EXPECT_EQ(view.result, c.result);
        EXPECT_EQ(b.f.ui.choices.size(), c.typed ? 1u : 0u);
        EXPECT_EQ(b.f.front.opened, c.opened);
        EXPECT_EQ(!(b.f.session.snapshot() == before), c.editStored);
        EXPECT_EQ(b.f.ui.messages, refused ? std::vector<std::string>{"Quiet time must be in the range of 0 to 255"}
                                           : std::vector<std::string>{});
    }
}

// An offline run names the file it edits in the window's title.
TEST(TrackerWindow, TheOfflineTitleNamesTheFile) {
    ShellFixture f;
    f.session.restore(test::trackerSession("AP64").snapshot());
    selectTarget(f.session.target, "AP64");
    f.session.offlineFile = "/home/ham/field.cfg";
    ScriptedTrackerView view;
    TrackerWindow window(f.context, view);
    window.start();
    EXPECT_EQ(view.title, "Varnel tracker configuration - field.cfg (offline)");
}

// Copying the other profile over the one shown asks first.
TEST(TrackerWindow, CopyFromTheOtherProfileAsksFirst) {
    for (const bool yes : {false, true}) {
        ShellFixture f;
        f.session.restore(test::trackerSession("AP64").snapshot());
        selectTarget(f.session.target, "AP64");
        ProfileRecord(f.session.settings.profile(1), f.session.target.kind).setBeaconInterval(1234);
        ScriptedTrackerView view;
        TrackerWindow window(f.context, view);
        window.start();
        f.ui.answers = {yes};
        window.clicked(tracker_id::kCopyButton);
        EXPECT_EQ(f.ui.questions, std::vector<std::string>{"Replace Profile 1 with a copy of Profile 2?"});
        EXPECT_EQ(f.ui.defaultNoQuestions, f.ui.questions);  // Enter keeps the profile
        EXPECT_EQ(ConstProfileRecord(f.session.settings.profile(0), f.session.target.kind).beaconInterval(),
                  yes ? 1234 : 600);
    }
}

// After a good firmware load the user is asked whether the file's defaults
// replace the current configuration; No checks the window's controls first.
TEST(WriteSequence, TheKeepSettingsQuestionBothWays) {
    for (const bool useDefaults : {true, false}) {
        WriteBench b;
        b.f.front.fileAnswers = {VARNEL_TEST_DATA_DIR "/ap64-demo.s19"};
        b.f.ui.answers = {useDefaults};
        int checks = 0;
        b.f.front.results["Progress"] = 0;
        const int result = loadFirmwareFromFile(b.f.context, ConfigFlavour::Tracker, [&] { return ++checks, 0; });
        EXPECT_EQ(result, kResultReconnect);
        EXPECT_EQ(b.f.ui.questions,
                  std::vector<std::string>{
                      "Do you want to erase the current configuration and use defaults from this file?"});
        EXPECT_EQ(b.f.ui.defaultNoQuestions, b.f.ui.questions);
        EXPECT_EQ(checks, useDefaults ? 0 : 1);
        EXPECT_EQ(b.f.front.filters, std::vector<std::string>{"Firmware Files (*.s19)"});
        ASSERT_EQ(b.f.front.opened, std::vector<std::string>{"Progress"});
        EXPECT_EQ(b.f.front.notes[0].rfind("Backup of the previous settings: " + b.f.context.backupFolder, 0), 0u);
    }
    // A refused check writes nothing.
    WriteBench b;
    b.f.front.fileAnswers = {VARNEL_TEST_DATA_DIR "/ap64-demo.s19"};
    b.f.ui.answers = {false};
    EXPECT_EQ(loadFirmwareFromFile(b.f.context, ConfigFlavour::Tracker, [] { return -1; }), 0);
    EXPECT_TRUE(b.f.front.opened.empty());
}

// A text file with no S-records in it is refused with one message, before
// any question: answering one would have erased the firmware for nothing.
TEST(WriteSequence, AFileWithoutFirmwareRecordsIsRefusedBeforeAnyQuestion) {
    const std::string text = (std::filesystem::temp_directory_path() / "varnel-no-records.s19").string();
    std::ofstream(text) << "These are release notes, not firmware.\n";
    WriteBench b;
    b.f.front.fileAnswers = {text};
    b.f.ui.answers = {true, true};
    EXPECT_EQ(loadFirmwareFromFile(b.f.context, ConfigFlavour::Tracker, [] { return 0; }), 0);
    EXPECT_EQ(b.f.ui.messages, std::vector<std::string>{"The file holds no firmware records."});
    EXPECT_TRUE(b.f.ui.questions.empty());
    EXPECT_TRUE(b.f.front.opened.empty());
    std::filesystem::remove(text);
}

// Both ends of a write name the backup. A write that failed before it
// erased anything (this window never runs the write) left the tracker as
// the backup holds it: the note does not ask to put it back, and nothing is
// offered.
TEST(WriteSequence, EveryWriteNamesItsBackup) {
    for (const int result : {0, -1}) {
        WriteBench b;
        b.f.front.results["Progress"] = result;
        EXPECT_EQ(writeConfiguration(b.f.context, ConfigFlavour::Tracker), result);
        ASSERT_EQ(b.f.front.notes.size(), 1u);
        const std::string& note = b.f.front.notes[0];
        EXPECT_NE(note.find("Backup of the previous settings: " + b.f.context.backupFolder), std::string::npos) << note;
        EXPECT_EQ(note.find("To put the previous settings back"), std::string::npos) << note;
        EXPECT_TRUE(b.f.ui.questions.empty());
    }
}

TEST(ConfigApp, TheLegacyPortIsASlotOfTheConnectWindowAndAShortLineOpensIt) {
    ShellFixture f;
    f.front.ports = {{"/dev/ttyUSB0", "ttyUSB0", ""}, {"/dev/ttyUSB1", "ttyUSB1", ""}};
    CConfigApp app(f.context, parseAppOptions({"2", "1", "f"}));  // "2 1 f": below 8 characters
#ifdef _WIN32
    // On Windows slot n is COMn, whatever the list holds.
    EXPECT_EQ(app.resolveLegacyPort('2'), "\\\\.\\COM2");
#else
    EXPECT_EQ(app.resolveLegacyPort('2'), "/dev/ttyUSB1");
#endif
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(f.front.opened, std::vector<std::string>{"Connect"});
}

class ScriptedDiagnosticsView : public test::RecordingView<DiagnosticsView> {
public:
    int shows = 0;
    void readForm(DiagnosticsForm&) override {}
    void showForm(const DiagnosticsForm&) override { ++shows; }
};

// The 250 ms poll asks a silent tracker only every kSilentPollInterval-th
// tick; closing stops the poll and sends the closing sequence once.
TEST(DiagnosticsWindow, PollPacingWithASilentTracker) {
    ShellFixture f;
    f.port->openPort("fake", "19200", f.ui);
    selectTarget(f.session.target, "AP64");
    bool answering = true;
    f.port->onWrite = [&](test::FakeSerialPort& p, const std::vector<std::uint8_t>&) {
        if (answering) p.queue({0});
    };
    ScriptedDiagnosticsView view;
    DiagnosticsWindow window(f.context, view, {0, 2});
    window.start();
    EXPECT_EQ(view.timers, (std::map<int, int>{{DiagnosticsWindow::kPollTimer, 250}}));
    answering = false;
    std::vector<std::size_t> writesPerTick;
    for (int i = 0; i < 2 * DiagnosticsSession::kSilentPollInterval; ++i) {
        const std::size_t before = f.port->written.size();
        window.timerTicked(DiagnosticsWindow::kPollTimer);
        writesPerTick.push_back(f.port->written.size() - before);
    }
    int asked = 0;
    for (std::size_t n : writesPerTick) asked += n > 0;
    EXPECT_EQ(asked, 2);  // the first silent poll and one of the next kSilentPollInterval
    EXPECT_GT(writesPerTick[0], 0u);

    window.closeRequested(kResultAccepted);
    EXPECT_EQ(view.result, kResultAccepted);
    EXPECT_TRUE(view.timers.empty());
    const std::size_t closed = f.port->written.size();
    window.timerTicked(DiagnosticsWindow::kPollTimer);
    window.closeRequested(kResultRejected);
    EXPECT_EQ(f.port->written.size(), closed);  // nothing after the close
    EXPECT_EQ(view.result, kResultAccepted);
}

}  // namespace
}  // namespace varnel

namespace varnel {
namespace {

// A tracker that connects but whose settings never arrive brings the user
// back to the connect window with the port closed; Cancel there ends.
TEST(ConfigApp, AFailedReadAfterConnectingGoesBackToTheConnectWindow) {
    struct Front : test::ScriptedFrontEnd {
        test::ShellFixture* f = nullptr;
        std::vector<bool> portOpenAtConnect;
        int runConnect(AppContext&, const std::string&) override {
            portOpenAtConnect.push_back(f->session.port->isOpen());
            if (portOpenAtConnect.size() > 1) return kResultRejected;
            // Connected to a device that then goes silent.
            f->port->openPort("fake", "19200", f->ui);
            f->session.link.connected = true;
            f->session.link.chipName = "AP64";
            return kResultAccepted;
        }
    };
    test::ShellFixture f;
    Front front;
    front.f = &f;
    AppContext context{f.session, f.ui, front, front, front, front, "", "", ""};
    CConfigApp app(context, parseAppOptions({}));
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(front.portOpenAtConnect, (std::vector<bool>{false, false}));
    EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Error receiving data from device"});
    EXPECT_TRUE(front.opened.empty());  // no configuration window on settings never read
    EXPECT_FALSE(f.session.link.connected);
    EXPECT_TRUE(f.session.link.chipName.empty());  // the next connect is a fresh one
}

// The firmware-initialisation window ends with 99 once it has written new
// firmware: the loop goes round and shows the window the new firmware's
// settings ask for. Closed without a write, unknown firmware ends the loop.
TEST(DialogLoop, NewFirmwareFromTheInitialisationWindowGoesRoundAgain) {
    struct Case {
        std::uint8_t family, type;
        int initResult;
        std::string shown;
        LoopEnd end;
    } cases[] = {
        {0xFF, 0xFF, kResultReconnect, "init,tracker", LoopEnd::LeaveBootloader},
        {0, 4, kResultReconnect, "init,tracker", LoopEnd::LeaveBootloader},
        {0, 4, 0, "init", LoopEnd::Abandon},
        {0xFF, 0xFF, 0, "init", LoopEnd::LeaveBootloader},
    };
    for (const Case& c : cases) {
        test::ShellFixture f;
        f.session.link.deviceInfo.deviceId = "AP64";
        f.session.settings.setFamily(c.family);
        f.session.settings.setType(c.type);
        std::string shown;
        ConfigDialogs dialogs{[&] {
                                  shown += ",tracker";
                                  return 0;
                              },
                              {},
                              [&] {
                                  shown += shown.empty() ? "init" : ",init";
                                  // What the next read finds: the firmware just written.
                                  f.session.settings.setFamily(0);
                                  f.session.settings.setType(1);
                                  return c.initResult;
                              }};
        EXPECT_EQ(runDialogLoop(f.session, f.ui, dialogs), c.end) << int(c.family) << " " << c.initResult;
        EXPECT_EQ(shown, c.shown) << int(c.family) << " " << c.initResult;
    }
}

}  // namespace
}  // namespace varnel
