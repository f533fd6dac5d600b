// What a screen reader and a keyboard user meet in every window: each
// control that takes focus is spoken by a name of its own (not its group
// box's caption, not its value, not another control's name), and Tab visits
// every enabled control once, in the order the layout reads.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QAbstractSlider>
#include <QComboBox>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "device/device_info.h"
#include "config/ax25_codec.h"
#include "emulator/emulator_runner.h"
#include "forms/tracker_fixture.h"
#include "link/boot_link.h"
#include "link/connector.h"
#include "link/device_configuration.h"
#include "serial/system_serial_port.h"
#include "ui/backups_dialog.h"
#include "ui/connect_dialog.h"
#include "ui/diagnostics_dialog.h"
#include "ui/qt_user_interface.h"
#include "ui/satellite_dialogs.h"
#include "ui/script_editor_dialog.h"
#include "ui/tracker_config_dialog.h"
#include "ui/weather_config_dialog.h"
#include "ui/write_progress_dialog.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

QString withoutMnemonic(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

bool focusable(const QWidget& w) {
    return (w.focusPolicy() & Qt::TabFocus) && w.isVisible() && w.isEnabled() && !w.focusProxy();
}

// The window's focusable controls in the order of the layout (the widgets'
// order in their Designer file, with run-time widgets where their parent
// is); with `groupsOnce`, an exclusive radio group once, as Tab meets it
// (the arrow keys move within it).
QList<QWidget*> controls(QWidget& window, bool groupsOnce) {
    QList<QWidget*> out;
    QSet<QWidget*> radioParents;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() != &window || !focusable(*w)) continue;
        auto* radio = qobject_cast<QRadioButton*>(w);
        if (groupsOnce && radio && radio->autoExclusive()) {
            if (radioParents.contains(w->parentWidget())) continue;
            radioParents.insert(w->parentWidget());
        }
        out << w;
    }
    return out;
}

// A control as the tab chain is compared: an exclusive radio group is one
// stop, whichever of its buttons takes the focus.
std::string describe(const QWidget* w) {
    if (auto* radio = qobject_cast<const QRadioButton*>(w); radio && radio->autoExclusive())
        return "the radio group in " + w->parentWidget()->objectName().toStdString();
    return w ? (w->objectName() + " (" + w->metaObject()->className() + ")").toStdString() : "none";
}

void expectReadable(QWidget& window, const char* what) {
    SCOPED_TRACE(what);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QList<QWidget*> stops = controls(window, true);
    ASSERT_FALSE(stops.isEmpty());

    QHash<QString, std::string> owner;  // name -> the control it names
    for (QWidget* w : controls(window, false)) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr) << describe(w);
        const QString name = withoutMnemonic(a->text(QAccessible::Name)).trimmed();
        EXPECT_FALSE(name.isEmpty()) << describe(w) << " has no name";
        for (QWidget* p = w->parentWidget(); p && p != &window; p = p->parentWidget())
            if (auto* group = qobject_cast<QGroupBox*>(p)) {
                EXPECT_NE(name, withoutMnemonic(group->title())) << describe(w) << " is named by its group";
            }
        // A radio button is heard with its group's caption, as the reader
        // enters the group: "Power: Low", not "Low".
        if (qobject_cast<QRadioButton*>(w)) {
            bool captioned = false;
            for (QAccessibleInterface* p = a->parent(); p && !captioned; p = p->parent())
                captioned = p->role() == QAccessible::Grouping && !p->text(QAccessible::Name).trimmed().isEmpty();
            EXPECT_TRUE(captioned) << describe(w) << " is in no captioned group";
        }
        const QString value = a->text(QAccessible::Value);
        if (!value.isEmpty() && (qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSlider*>(w))) {
            EXPECT_NE(name, value) << describe(w) << " is named by its value";
        }
        if (owner.contains(name))
            ADD_FAILURE() << describe(w) << " has the name \"" << name.toStdString() << "\" of " << owner[name];
        owner.insert(name, w->objectName().toStdString());
    }

    // Tab from the first control round to it again, as a user would.
    stops.front()->setFocus(Qt::TabFocusReason);
    QList<QWidget*> visited;
    for (int i = 0; i < stops.size(); ++i) {
        visited << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(QApplication::focusWidget(), stops.front()) << "Tab does not come round after every control once";
    for (int i = 0; i < stops.size(); ++i)
        EXPECT_EQ(describe(visited.value(i)), describe(stops[i])) << "tab stop " << i;
    window.hide();
}

struct Bench {
    test::UiFixture f;
    explicit Bench(const std::string& chip, std::uint8_t family = kFamilyTracker) {
        f.session = test::trackerSession(chip, family);
    }
};

TEST(Accessibility, EveryWindowNamesEachControlAndTabsInLayoutOrder) {
    // Each window on every kind of tracker that shows it differently.
    struct Case {
        const char* what;
        std::string chip;
        std::uint8_t family;
        std::function<std::unique_ptr<QWidget>(AppContext&)> open;
    };
    auto dialog = []<class D>(D*) {
        return [](AppContext& c) -> std::unique_ptr<QWidget> { return std::make_unique<D>(c); };
    };
    const Case cases[] = {
        {"tracker JM128", "JM128", kFamilyTracker, dialog(static_cast<CTrackerConfigDialog*>(nullptr))},
        {"tracker AP64", "AP64", kFamilyTracker, dialog(static_cast<CTrackerConfigDialog*>(nullptr))},
        {"tracker JM60", "JM60", kFamilyTracker, dialog(static_cast<CTrackerConfigDialog*>(nullptr))},
        {"tracker JL16", "JL16", kFamilyTracker, dialog(static_cast<CTrackerConfigDialog*>(nullptr))},
        {"tracker KX8", "KX8", kFamilyTracker, dialog(static_cast<CTrackerConfigDialog*>(nullptr))},
        {"weather AP64", "AP64", kFamilyWeather, dialog(static_cast<CWeatherConfigDialog*>(nullptr))},
        {"smart beaconing", "JM128", kFamilyTracker, dialog(static_cast<CSmartBeaconDialog*>(nullptr))},
        {"access list", "JM128", kFamilyTracker, dialog(static_cast<CAccessListDialog*>(nullptr))},
        {"digipeater", "JM128", kFamilyTracker, dialog(static_cast<CDigipeaterDialog*>(nullptr))},
        {"profile switching", "JM128", kFamilyTracker, dialog(static_cast<CProfileSwitchDialog*>(nullptr))},
        {"frequencies", "JL16", kFamilyTracker, dialog(static_cast<CFrequencyDialog*>(nullptr))},
        {"status texts", "JL16", kFamilyTracker, dialog(static_cast<CStatusTextDialog*>(nullptr))},
        {"script editor", "JM128", kFamilyTracker, dialog(static_cast<CScriptEditorDialog*>(nullptr))},
        {"backups", "JM128", kFamilyTracker, dialog(static_cast<CBackupsDialog*>(nullptr))},
        {"connect", "JM128", kFamilyTracker,
         [](AppContext& c) -> std::unique_ptr<QWidget> {
             return std::make_unique<CConnectDialog>(c, QString(), [] {
                 return std::vector<PortSlot>{
                     {"/dev/ttyUSB0", "ttyUSB0", {}}, {"/dev/ttyUSB1", "ttyUSB1", {}}, {"/dev/ttyS0", "ttyS0", {}}};
             });
         }},
    };
    for (const Case& c : cases) {
        Bench b(c.chip, c.family);
        std::unique_ptr<QWidget> window = c.open(b.f.context);
        expectReadable(*window, c.what);
    }
}

// The diagnostics window asks the tracker for readings as it opens, so it
// is walked on an emulated one: JM60 shows the receive level, AP64 not.
TEST(Accessibility, TheDiagnosticsWindowNamesEachControlOnEachBoard) {
    for (const char* chip : {"JM60", "AP64"}) {
        EmulatorOptions options;
        options.chip = chip;
        EmulatorRunner emu(options);
        emu.start();
        Bench b(chip);
        b.f.session.port = makeSystemSerialPort();
        BootLink link(b.f.session, b.f.ui);
        b.f.session.link.linkAbort = LinkState::kAbortRunning;
        ASSERT_EQ(Connector(link).connect(emu.slavePath(), true), ConnectResult::Connected);
        b.f.session.link.linkAbort = LinkState::kAbortIdle;
        {
            CDiagnosticsDialog d(b.f.context, {0, 2});
            expectReadable(d, chip);
        }
        b.f.session.port->closePort();
    }
}

// A session without a mouse: Enter connects, Alt+C reaches the callsign,
// Alt+D opens the digipeater window and Enter OKs it, Tab and Space press
// Write, Enter closes the write window, Alt+X ends. The new callsign is on
// the tracker. Keys go where the user's would: to the focus of the window
// on top.
TEST(Accessibility, AKeyboardAloneConnectsEditsAndWrites) {
    EmulatorRunner emu({});
    emu.start();
    test::UiFixture f;
    f.session.port = makeSystemSerialPort();
    AddressField callsign{};
    ASSERT_TRUE(encodeAddress("KB1ONE", callsign));
    const auto holdsCallsign = [&] {
        const std::vector<std::uint8_t> flash = emu.flash();
        return std::search(flash.begin(), flash.end(), callsign.begin(), callsign.begin() + 6) != flash.end();
    };
    ASSERT_FALSE(holdsCallsign());
    auto press = [](int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), mods);
    };
    {
        CConnectDialog connect(f.context, QString(), [p = emu.slavePath()] {
            return std::vector<PortSlot>{{p, p, {}}};
        });
        connect.show();
        QApplication::setActiveWindow(&connect);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&connect));
        press(Qt::Key_Return);
        ASSERT_EQ(connect.result(), QDialog::Accepted);
    }
    {
        BootLink link(f.session, f.ui);
        ASSERT_EQ(readDeviceConfiguration(link, f.session), 0);
    }
    CTrackerConfigDialog main(f.context);
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_C, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "callsign");
    press(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "KB1ONE");

    bool digipeaterOked = false;
    test::onNextModal([&](QWidget* top) {
        if (!dynamic_cast<CDigipeaterDialog*>(top)) return false;
        QApplication::setActiveWindow(top);  // as the window manager activates a new window
        if (!QTest::qWaitForWindowActive(top) || !top->isAncestorOf(QApplication::focusWidget())) return true;
        press(Qt::Key_Return);
        digipeaterOked = !top->isVisible() && static_cast<QDialog*>(top)->result() == QDialog::Accepted;
        return true;
    });
    press(Qt::Key_D, Qt::AltModifier);
    QTest::qWait(300);  // a mnemonic presses its button as a click does, after a moment
    EXPECT_TRUE(digipeaterOked);
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));

    for (int i = 0; i < 200 && QApplication::focusWidget()->objectName() != "writeButton"; ++i) press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "writeButton");
    bool written = false;
    test::onNextModal([&](QWidget* top) {
        auto* progress = qobject_cast<CWriteProgressDialog*>(top);
        if (!progress || !progress->okEnabled()) return false;
        written = progress->statusText().startsWith("Finished!");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        return true;
    });
    press(Qt::Key_Space);
    EXPECT_TRUE(written);
    EXPECT_TRUE(holdsCallsign());

    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    press(Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !main.isVisible(); }, 2000));

    EXPECT_TRUE(f.ui.messages.empty()) << f.ui.messages.front();
    f.session.port->closePort();
}

// A message box carries its kind's icon, so that a screen reader speaks the
// kind before the text; a caller that gives none warns, as before.
TEST(Accessibility, MessageBoxesShowTheirKind) {
    LinkState link;
    QtUserInterface ui(link);
    struct Case {
        std::optional<MessageKind> kind;
        QMessageBox::Icon icon;
    } cases[] = {{std::nullopt, QMessageBox::Warning},
                 {MessageKind::Information, QMessageBox::Information},
                 {MessageKind::Warning, QMessageBox::Warning},
                 {MessageKind::Error, QMessageBox::Critical}};
    for (const Case& c : cases) {
        QMessageBox::Icon shown = QMessageBox::NoIcon;
        test::onNextModal([&shown](QWidget* top) {
            auto* box = qobject_cast<QMessageBox*>(top);
            if (!box) return false;
            shown = box->icon();
            box->accept();
            return true;
        });
        if (c.kind) ui.message("Done.", *c.kind);
        else ui.message("Done.");
        EXPECT_EQ(shown, c.icon);
    }
}

// Enter pressed out of habit answers a question's default: Yes where Yes
// only goes on, No where Yes would overwrite or throw something away.
TEST(Accessibility, EnterOnAQuestionPressesItsDefault) {
    LinkState link;
    QtUserInterface ui(link);
    const auto pressEnter = [] {
        test::onNextModal([](QWidget* top) {
            if (!qobject_cast<QMessageBox*>(top)) return false;
            QTest::keyClick(top, Qt::Key_Return);
            return true;
        });
    };
    pressEnter();
    EXPECT_TRUE(ui.askYesNo("Go on?"));
    pressEnter();
    EXPECT_FALSE(ui.askYesNoDefaultNo("Write it anyway?"));
}

}  // namespace
}  // namespace varnel
