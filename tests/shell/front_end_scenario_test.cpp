#include <gtest/gtest.h>

#include "forms/tracker/tracker_controls.h"
#include "forms/weather/weather_form.h"
#include "shell/firmware_windows.h"
#include "shell/tracker_window.h"
#include "shell/weather_window.h"
#include "scripted_front_end.h"
#include "support/factory_session.h"
#include "support/front_end_scenario.h"

namespace varnel {
namespace {

using test::ScenarioPlayer;

// The scripted front end, whose release list is fetched as the window's
// would be: the server cannot be reached.
class FetchingFrontEnd : public test::ScriptedFrontEnd {
public:
    int run(WindowKind kind, AppContext& context) override {
        if (kind == WindowKind::FirmwareDownload) FirmwareDownloadWindow fetched(context);
        return ScriptedFrontEnd::run(kind, context);
    }
};

// The shell alone: a view whose "widgets" are a copy of the form, shown as
// the behaviour shows it and changed as a user would change the controls.
template <class View, class Window, class Form>
class ShellPlayer : public test::RecordingView<View>, public ScenarioPlayer {
public:
    using Table = std::span<const ControlInfo<Form>>;
    ShellPlayer(const Session& factory, Table table) : table_(table) {
        Session& s = fixture_.session;
        s.restore(factory.snapshot());
        s.target = factory.target;
        s.link.connected = true;
        s.link.chipName = "AP64";
        s.markSaved();  // as the dialog loop does after its read
        window_.start();
    }

    void readForm(Form& form) override {
        for (const ControlInfo<Form>& row : table_) {
            FormControl& to = form.*(row.member);
            const FormControl& from = widgets_.*(row.member);
            to.text = from.text, to.checked = from.checked, to.selected = from.selected, to.position = from.position;
        }
    }
    void showForm(const Form& form) override { widgets_ = form; }
    void showTitle(const std::string&) override {}

    // Hidden or disabled controls take no clicks.
    void click(const std::string& name) override {
        if (const ControlInfo<Form>* row = usable(name)) {
            FormControl& c = widgets_.*(row->member);
            if (row->type == ControlType::Check) c.checked = !c.checked;
            if (row->type == ControlType::Radio) c.checked = true;
            act([&] { window_.clicked(row->id); });
        }
    }
    void type(const std::string& name, const std::string& text) override {
        if (const ControlInfo<Form>* row = usable(name)) {
            (widgets_.*(row->member)).text = text;
            act([&] { window_.edited(row->id); });
        }
    }
    void slide(const std::string& name, int position) override {
        if (const ControlInfo<Form>* row = usable(name)) {
            (widgets_.*(row->member)).position = position;
            act([&] { window_.edited(row->id); });
        }
    }
    std::vector<std::string> brought() override { return std::exchange(brought_, {}); }
    std::string shown(const std::string& name) override {
        const ControlInfo<Form>* row = find(name);
        return row ? (widgets_.*(row->member)).text : "(no " + name + ")";
    }

private:
    const ControlInfo<Form>* find(const std::string& name) const {
        for (const ControlInfo<Form>& row : table_)
            if (row.name == name) return &row;
        return nullptr;
    }
    const ControlInfo<Form>* usable(const std::string& name) const {
        const ControlInfo<Form>* row = find(name);
        EXPECT_TRUE(row) << name;
        return row && (widgets_.*(row->member)).visible && (widgets_.*(row->member)).enabled ? row : nullptr;
    }
    // Runs what the user did; questions are answered Cancel.
    template <class Action>
    void act(Action action) {
        test::RecordingUi& ui = fixture_.ui;
        const std::size_t said = ui.messages.size(), asked = ui.questions.size(), chose = ui.choices.size();
        const std::size_t opened = front_.opened.size();
        ui.choiceAnswers = {UserInterface::Answer::Cancel, UserInterface::Answer::Cancel};
        action();
        for (std::size_t i = said; i < ui.messages.size(); ++i) brought_.push_back("says " + ui.messages[i]);
        for (std::size_t i = asked; i < ui.questions.size(); ++i) brought_.push_back("asks " + ui.questions[i]);
        for (std::size_t i = chose; i < ui.choices.size(); ++i) brought_.push_back("asks " + ui.choices[i]);
        for (std::size_t i = opened; i < front_.opened.size(); ++i)
            brought_.push_back("opens " + front_.opened[i] + "Dialog");
    }

    test::ShellFixture fixture_;
    FetchingFrontEnd front_;
    AppContext context_{fixture_.session, fixture_.ui, front_, front_, front_, front_, "127.0.0.1:1", "", ""};
    Table table_;
    Form widgets_;
    std::vector<std::string> brought_;
    Window window_{context_, *this};
};

TEST(FrontEndScenario, TheShellAloneDoesWhatTheScenarioSays) {
    const std::vector<test::ScenarioWindow> scenario = test::readFrontEndScenario();
    ASSERT_EQ(scenario.size(), 2u);
    for (const test::ScenarioWindow& window : scenario) {
        SCOPED_TRACE(window.kind);
        if (window.kind == "Tracker") {
            ShellPlayer<TrackerView, TrackerWindow, TrackerForm> player(test::factorySession("AP64"), kTrackerControls);
            test::playScenario(window, player);
        } else {
            ShellPlayer<WeatherView, WeatherWindow, WeatherForm> player(test::factorySession("AP64", true),
                                                                        kWeatherControls);
            test::playScenario(window, player);
        }
    }
}

}  // namespace
}  // namespace varnel
