// varnel-screenshots: a picture of every window of the desktop program, each
// over an emulated tracker that shows it at its most complete, for the guide.
//   QT_QPA_PLATFORM=offscreen varnel-screenshots DIR
// Each picture is checked as it is saved: the window whole (at least its
// minimum size), more than a handful of colours (not blank), and the file
// read back at the same size. Any failure makes the exit status 1.
//
// It opens the dialogs as the offscreen tests do (tests/ui), constructing
// each over a session that has read an emulated tracker.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

#include "emulator/emulator_runner.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "link/device_configuration.h"
#include "serial/system_serial_port.h"
#include "shell/firmware_sequences.h"
#include "ui/backups_dialog.h"
#include "ui/connect_dialog.h"
#include "ui/diagnostics_dialog.h"
#include "ui/firmware_download_dialog.h"
#include "ui/firmware_init_dialog.h"
#include "ui/listing_dialog.h"
#include "ui/satellite_dialogs.h"
#include "ui/script_editor_dialog.h"
#include "ui/tracker_config_dialog.h"
#include "ui/weather_config_dialog.h"
#include "ui/write_progress_dialog.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

// Lets the window lay itself out, paint, and the emulator answer.
void settle(int ms) {
    QElapsedTimer t;
    t.start();
    do QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    while (t.elapsed() < ms);
}

// Why a picture is not fit for the guide, or "" when it is.
QString pictureFault(const QImage& image, const QSize& minimum) {
    if (image.isNull()) return "no picture";
    if (image.width() < minimum.width() || image.height() < minimum.height())
        return QString("cut off: %1x%2, the window needs %3x%4")
            .arg(image.width())
            .arg(image.height())
            .arg(minimum.width())
            .arg(minimum.height());
    // A blank window is one colour; the frame and the background two or three.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() <= 16; y += 2)
        for (int x = 0; x < image.width() && colours.size() <= 16; x += 2) colours.insert(image.pixel(x, y));
    if (colours.size() <= 16) return QString("only %1 colours: nothing drawn").arg(colours.size());
    return {};
}

class Camera {
public:
    explicit Camera(QString dir) : dir_(std::move(dir)) {}

    void shoot(QWidget& window, const char* name) {
        if (!window.isVisible()) window.show();
        window.resize(window.size().expandedTo(window.sizeHint()));
        settle(100);
        // No text cursor: it blinks, and the picture would depend on when.
        if (QWidget* focus = window.focusWidget()) focus->clearFocus();
        settle(20);
        const QImage picture = window.grab().toImage();
        const QString path = dir_ + "/" + name + ".png";
        QString fault = pictureFault(picture, window.minimumSizeHint());
        if (fault.isEmpty() && !picture.save(path)) fault = "cannot write " + path;
        if (fault.isEmpty() && QImage(path).size() != picture.size()) fault = "the file does not read back";
        report(name, fault, picture.size());
    }
    // A step before the picture failed.
    void fail(const char* name, const QString& why) { report(name, why, {}); }
    int failures() const { return failures_; }

private:
    void report(const char* name, const QString& fault, QSize size) {
        if (fault.isEmpty()) {
            std::printf("%s.png %dx%d\n", name, size.width(), size.height());
            return;
        }
        std::fprintf(stderr, "%s.png: %s\n", name, qPrintable(fault));
        ++failures_;
    }
    QString dir_;
    int failures_ = 0;
};

EmulatorOptions emulated(const std::string& chip) {
    EmulatorOptions o;
    o.chip = chip;
    return o;
}

// A session that has connected to an emulated tracker and read it, as the
// connect dialog and the dialog loop leave it.
struct Tracker {
    explicit Tracker(const EmulatorOptions& options) : emu(options) {
        emu.start();
        f.session.port = makeSystemSerialPort();
        f.session.metric = true;
        // The write window names the backup: a fixed folder, not a random one.
        f.context.backupFolder = (QDir::tempPath() + "/varnelcfg/backups").toStdString();
        BootLink link(f.session, f.ui);
        f.session.link.linkAbort = LinkState::kAbortRunning;
        read = Connector(link).connect(emu.slavePath(), true) == ConnectResult::Connected &&
               readDeviceConfiguration(link, f.session) == 0;
        f.session.link.linkAbort = LinkState::kAbortIdle;
    }
    ~Tracker() { f.session.port->closePort(); }

    EmulatorRunner emu;  // first, so it outlives the session's port
    test::UiFixture f;
    bool read = false;
};

// Grabs the next modal window of type W once `ready` says it is complete,
// then closes it.
template <class W>
void shootNextModal(Camera& camera, const char* name, std::function<bool(W&)> ready = {}) {
    test::onNextModal([&camera, name, ready](QWidget* top) {
        auto* w = qobject_cast<W*>(top);
        if (w == nullptr || (ready && !ready(*w))) return false;
        camera.shoot(*w, name);
        w->accept();
        return true;
    });
}

void clickButton(QWidget& window, const char* name) {
    if (auto* b = window.findChild<QPushButton*>(name)) b->click();
}

template <class Dialog>
void shootDialog(Camera& camera, Tracker& t, const char* name) {
    Dialog d(t.f.context);
    camera.shoot(d, name);
}

// The main dialog, its satellite windows, the script editor with its
// listings and a settings write: a JM128 offers all but the JL16's two.
void shootJm128(Camera& camera) {
    Tracker t(emulated("JM128"));
    if (!t.read) return camera.fail("tracker_config", "the emulated JM128 was not read");
    shootDialog<CTrackerConfigDialog>(camera, t, "tracker_config");
    shootDialog<CSmartBeaconDialog>(camera, t, "smart_beacon");
    shootDialog<CAccessListDialog>(camera, t, "access_list");
    shootDialog<CDigipeaterDialog>(camera, t, "digipeater");
    shootDialog<CProfileSwitchDialog>(camera, t, "profile_switch");
    {
        CScriptEditorDialog editor(t.f.context);
        camera.shoot(editor, "script_editor");
        shootNextModal<CListingDialog>(camera, "code_listing");
        clickButton(editor, "codeListButton");
        shootNextModal<CListingDialog>(camera, "patch_listing");
        clickButton(editor, "patchListButton");
    }
    shootNextModal<CWriteProgressDialog>(camera, "write_progress",
                                         [](CWriteProgressDialog& d) { return d.okEnabled(); });
    if (writeConfiguration(t.f.context, ConfigFlavour::Tracker) != 0) camera.fail("write_progress", "the write failed");
    // The write's backup is in the list now.
    shootDialog<CBackupsDialog>(camera, t, "backups");
}

void shootJl16(Camera& camera) {
    Tracker t(emulated("JL16"));
    if (!t.read) return camera.fail("frequencies", "the emulated JL16 was not read");
    shootDialog<CFrequencyDialog>(camera, t, "frequencies");
    shootDialog<CStatusTextDialog>(camera, t, "status_texts");
}

// The JM60 reports the receive level, with its gain choice.
void shootJm60(Camera& camera) {
    Tracker t(emulated("JM60"));
    if (!t.read) return camera.fail("diagnostics", "the emulated JM60 was not read");
    DiagnosticsSettings settings;
    settings.audioLevel = 140;
    settings.gain = 1;
    CDiagnosticsDialog d(t.f.context, settings);
    d.show();
    settle(800);  // a few of the 250 ms sensor polls
    camera.shoot(d, "diagnostics");
    d.reject();
}

void shootWeather(Camera& camera) {
    EmulatorOptions station = emulated("AP64");
    station.weather = true;
    Tracker t(station);
    if (!t.read) return camera.fail("weather_config", "the emulated weather station was not read");
    shootDialog<CWeatherConfigDialog>(camera, t, "weather_config");
}

// The connect dialog offering the emulator's port and its Connection help;
// the firmware windows:
// the one a blank tracker opens, and the download with a release list
// served from here.
void shootConnectAndFirmware(Camera& camera) {
    EmulatorOptions blank = emulated("AP64");
    blank.defaultSettings = false;
    Tracker t(blank);
    {
        const std::string path = t.emu.slavePath();
        CConnectDialog d(t.f.context, QString::fromStdString(path), [path] {
            return std::vector<PortSlot>{{path, path, {}}};
        });
        camera.shoot(d, "connect");
        // The connection doctor's report on this machine, for that port.
        shootNextModal<CListingDialog>(camera, "connection_help");
        clickButton(d, "helpButton");
    }
    shootDialog<CFirmwareInitDialog>(camera, t, "firmware_init");
    test::LoopbackHttpServer server;
    server.replies["/support/firmware/AP64/list.txt"] = {
        200, "/fw/ap64-3.2.s19\tTracker 3.2, SmartBeaconing and script\t2026-09-14\r\n"
             "/fw/ap64-3.1.s19\tTracker 3.1\t2026-03-02\r\n"
             "/fw/ap64-digi-1.4.s19\tDigipeater 1.4\t2025-11-20\r\n"};
    t.f.context.firmwareServer = server.address();
    shootDialog<CFirmwareDownloadDialog>(camera, t, "firmware_download");
}

}  // namespace
}  // namespace varnel

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: varnel-screenshots DIR\n");
        return 2;
    }
    // The user's own settings are neither read nor changed.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());

    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    varnel::Camera camera(dir);
    varnel::shootConnectAndFirmware(camera);
    varnel::shootJm128(camera);
    varnel::shootJl16(camera);
    varnel::shootJm60(camera);
    varnel::shootWeather(camera);
    return camera.failures() == 0 ? 0 : 1;
}
