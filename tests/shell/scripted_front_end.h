#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "forms/diagnostics/diagnostics_form.h"
#include "firmware/http_client.h"
#include "link/fake_serial_port.h"
#include "link/write_progress.h"
#include "session/session.h"
#include "shell/app_context.h"
#include "shell/front_end.h"
#include "support/recording_ui.h"

namespace varnel::test {

// A front end played from a script: files chosen from a queue ("" cancels),
// windows opened recorded and answered from a table, settings in memory.
class ScriptedFrontEnd : public FileChooser, public AppSettings, public Windows, public HttpClient {
public:
    // FileChooser
    std::deque<std::string> fileAnswers;
    std::vector<std::string> filters;
    std::string openFile(const std::string& filter, const std::string&) override { return nextFile(filter); }
    std::vector<std::string> offeredNames;  // each save's name to start with
    std::string saveFile(const std::string& filter, const std::string&, const std::string& name = {}) override {
        offeredNames.push_back(name);
        return nextFile(filter);
    }

    // AppSettings
    int slot = 1;
    std::string portPath;
    bool fast = true, metricUnits = true;
    int port() const override { return slot; }
    void setPort(int s) override { slot = s; }
    std::string portName() const override { return portPath; }
    void setPortName(const std::string& p) override { portPath = p; }
    bool turbo() const override { return fast; }
    void setTurbo(bool on) override { fast = on; }
    bool metric() const override { return metricUnits; }
    void setMetric(bool on) override { metricUnits = on; }

    // Windows
    std::vector<std::string> opened;     // in order: "FirmwareDownload", "Connect", "Progress"...
    std::map<std::string, int> results;  // what each kind ends with (default 0)
    std::vector<std::string> notes;      // each write window's note
    std::vector<PortDescription> ports;  // the system's list
    int run(WindowKind kind, AppContext&) override { return record(name(kind)); }
    int runConnect(AppContext&, const std::string&) override { return record("Connect"); }
    int runDiagnostics(AppContext&, DiagnosticsSettings&) override { return record("Diagnostics"); }
    std::vector<std::pair<std::string, std::string>> listings;  // each listing's title and text
    void runListing(AppContext&, const std::string& title, const std::string& text) override {
        listings.emplace_back(title, text);
        record("Listing");
    }
    // The write itself is the link's (tested there): the window is recorded,
    // and the write runs only when a test asks for it.
    bool runWrites = false;
    int runProgress(const ProgressTask& task) override {
        NoWriteProgress quiet;
        const int result = runWrites ? (opened.push_back("Progress"), task.run(quiet)) : record("Progress");
        notes.push_back(task.noteFor(result));
        return result;
    }
    std::vector<PortDescription> presentPorts() override { return ports; }
    // The connection doctor: what it finds of each port ("" for no port in
    // particular), and each question asked of it (the port, opened here).
    std::map<std::string, std::vector<DoctorFinding>> findings;
    std::vector<std::pair<std::string, bool>> doctorAsked;
    std::vector<DoctorFinding> connectionReport(const std::string& port) override {
        doctorAsked.emplace_back(port, false);
        return findings[port];
    }
    std::vector<DoctorFinding> portFindings(const std::string& port, bool openedHere) override {
        doctorAsked.emplace_back(port, openedHere);
        return findings[port];
    }
    // A platform that grants ports: each "Add port..." answers the next of
    // these paths ("" is a cancelled chooser).
    bool grantsPorts = false;
    std::deque<std::string> granted;
    bool canAddPorts() const override { return grantsPorts; }
    std::string addPort() override {
        opened.push_back("AddPort");
        if (granted.empty()) return {};
        const std::string path = granted.front();
        granted.pop_front();
        return path;
    }

    // HttpClient: nothing is reachable.
    HttpResponse get(const std::string&, const std::string&, std::size_t) override { return {}; }

    static std::string name(WindowKind kind) {
        static const char* const names[] = {
            "Tracker",    "Weather",    "FirmwareInit", "FirmwareDownload", "ScriptEditor", "SmartBeacon", "Frequency",
            "StatusText", "AccessList", "Digipeater",   "ProfileSwitch",    "About",        "Backups"};
        return names[static_cast<int>(kind)];
    }

private:
    int record(const std::string& what) {
        opened.push_back(what);
        return results[what];
    }
    std::string nextFile(const std::string& filter) {
        filters.push_back(filter);
        if (fileAnswers.empty()) return {};
        std::string a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
};

// A window view that records its timers, pauses and how it ended.
template <class View>
class RecordingView : public View {
public:
    std::map<int, int> timers;  // running: id -> interval
    std::vector<int> pauses;
    int result = -1;  // -1: still open
    void startTimer(int id, int ms) override { timers[id] = ms; }
    void stopTimer(int id) override { timers.erase(id); }
    void pause(int ms) override { pauses.push_back(ms); }
    void end(int r) override { result = r; }
};

// Session, messages, front end and a fake port in one place.
struct ShellFixture {
    FakeClock clock;
    Session session;
    RecordingUi ui;
    ScriptedFrontEnd front;
    FakeSerialPort* port = nullptr;
    AppContext context{session, ui, front, front, front, front, "firmware.test", "mirror.test", ""};

    ShellFixture() {
        auto fake = std::make_unique<FakeSerialPort>(clock);
        port = fake.get();
        session.port = std::move(fake);
    }
};

}  // namespace varnel::test
