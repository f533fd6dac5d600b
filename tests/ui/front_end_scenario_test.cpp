#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "support/factory_session.h"
#include "support/front_end_scenario.h"
#include "ui/tracker_config_dialog.h"
#include "ui/weather_config_dialog.h"
#include "ui_test_support.h"

namespace varnel {
namespace {

// The scenario through the Qt widgets: real clicks and typing, the windows
// they open really opened (and closed again), the messages recorded.
template <class Dialog>
class QtPlayer : public test::ScenarioPlayer {
public:
    QtPlayer(test::UiFixture& f, const Session& factory) : f_(f) {
        f.session.restore(factory.snapshot());
        f.session.target = factory.target;
        f.session.link.connected = true;
        f.session.link.chipName = "AP64";
        f.session.markSaved();
        dialog_ = std::make_unique<Dialog>(f.context);
        dialog_->show();
        QApplication::processEvents();
    }
    ~QtPlayer() override { dialog_->done(QDialog::Rejected); }

    void click(const std::string& name) override {
        // A user cannot click a button that is not there.
        auto* button = widget<QAbstractButton>(name);
        if (button && button->isVisible()) act([&] { QTest::mouseClick(button, Qt::LeftButton); });
    }
    void type(const std::string& name, const std::string& text) override {
        if (auto* edit = widget<QLineEdit>(name)) {
            edit->clear();
            act([&] { QTest::keyClicks(edit, QString::fromStdString(text)); });
        }
    }
    // Held down, not let go.
    void slide(const std::string& name, int position) override {
        if (auto* slider = widget<QSlider>(name)) {
            slider->setSliderDown(true);
            act([&] { slider->setValue(position); });
        }
    }
    std::vector<std::string> brought() override { return std::exchange(brought_, {}); }
    std::string shown(const std::string& name) override {
        QWidget* w = widget<QWidget>(name);
        if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
        return "(nothing to read in " + name + ")";
    }

private:
    template <class W>
    W* widget(const std::string& name) {
        W* w = dialog_->template findChild<W*>(QString::fromStdString(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Runs what the user did: each window it opens is noted and closed with
    // Escape; questions are answered Cancel.
    template <class Action>
    void act(Action action) {
        test::RecordingUi& ui = f_.ui;
        const std::size_t said = ui.messages.size(), asked = ui.questions.size(), chose = ui.choices.size();
        ui.choiceAnswers = {UserInterface::Answer::Cancel, UserInterface::Answer::Cancel};
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [this] {
            auto* top = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!top || top == dialog_.get() || !top->isVisible()) return;
            brought_.push_back("opens " + top->objectName().toStdString());
            QTest::keyClick(top, Qt::Key_Escape);
        });
        closer.start(20);
        action();
        for (std::size_t i = said; i < ui.messages.size(); ++i) brought_.push_back("says " + ui.messages[i]);
        for (std::size_t i = asked; i < ui.questions.size(); ++i) brought_.push_back("asks " + ui.questions[i]);
        for (std::size_t i = chose; i < ui.choices.size(); ++i) brought_.push_back("asks " + ui.choices[i]);
    }

    test::UiFixture& f_;
    std::unique_ptr<Dialog> dialog_;
    std::vector<std::string> brought_;
};

TEST(FrontEndScenario, TheQtWindowsDoWhatTheScenarioSays) {
    const std::vector<test::ScenarioWindow> scenario = test::readFrontEndScenario();
    ASSERT_EQ(scenario.size(), 2u);
    for (const test::ScenarioWindow& window : scenario) {
        SCOPED_TRACE(window.kind);
        test::UiFixture f;
        if (window.kind == "Tracker") {
            QtPlayer<CTrackerConfigDialog> player(f, test::factorySession("AP64"));
            test::playScenario(window, player);
        } else {
            QtPlayer<CWeatherConfigDialog> player(f, test::factorySession("AP64", true));
            test::playScenario(window, player);
        }
    }
}

}  // namespace
}  // namespace varnel
