#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace varnel::test {

// tests/shell/front_end_scenario.txt, read and played: the same user actions
// in every front end and what must come of them (the file says how it reads).
struct ScenarioStep {
    int line = 0;
    std::string action;                                      // click, type, slide
    std::string control;                                     // the control's object name
    std::string value;                                       // what is typed, where the slider goes
    std::vector<std::string> brings;                         // "opens NAME", "says TEXT", "asks TEXT", sorted
    std::vector<std::pair<std::string, std::string>> shows;  // control, text
};

struct ScenarioWindow {
    std::string kind;  // Tracker, Weather
    std::vector<ScenarioStep> steps;
};

inline std::string unescapeScenarioText(std::string text) {
    for (std::size_t at; (at = text.find("\\n")) != std::string::npos;) text.replace(at, 2, "\n");
    return text;
}

inline std::vector<ScenarioWindow> readFrontEndScenario() {
    std::ifstream in(VARNEL_TESTS_DIR "/shell/front_end_scenario.txt");
    EXPECT_TRUE(in) << "no scenario at " VARNEL_TESTS_DIR;
    std::vector<ScenarioWindow> windows;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        std::istringstream words(line);
        std::string word, rest;
        if (!(words >> word) || word[0] == '#') continue;
        std::getline(words >> std::ws, rest);
        if (word == "window") {
            windows.push_back({rest, {}});
        } else if (word == "click" || word == "type" || word == "slide") {
            ScenarioStep step{n, word, rest.substr(0, rest.find(' ')), {}, {}, {}};
            if (rest.find(' ') != std::string::npos) step.value = rest.substr(rest.find(' ') + 1);
            windows.back().steps.push_back(step);
        } else if (word == "shows") {
            windows.back().steps.back().shows.emplace_back(rest.substr(0, rest.find(' ')),
                                                           unescapeScenarioText(rest.substr(rest.find(' ') + 1)));
        } else {
            std::vector<std::string>& brings = windows.back().steps.back().brings;
            brings.push_back(word + " " + unescapeScenarioText(rest));
            std::sort(brings.begin(), brings.end());
        }
    }
    return windows;
}

// One front end (or the shell alone) as the scenario drives it: actions on
// its controls by object name, what they brought, what a control shows.
class ScenarioPlayer {
public:
    virtual ~ScenarioPlayer() = default;
    virtual void click(const std::string& control) = 0;
    virtual void type(const std::string& control, const std::string& text) = 0;
    virtual void slide(const std::string& control, int position) = 0;
    // What came since the last call: "opens NAME", "says TEXT", "asks TEXT".
    virtual std::vector<std::string> brought() = 0;
    virtual std::string shown(const std::string& control) = 0;
};

inline bool scenarioTextMatches(const std::string& seen, const std::string& expected) {
    if (!expected.empty() && expected.back() == '*')
        return seen.compare(0, expected.size() - 1, expected, 0, expected.size() - 1) == 0;
    return seen == expected;
}

// Plays a window's steps, each checked against what it must bring.
inline void playScenario(const ScenarioWindow& window, ScenarioPlayer& player) {
    for (const ScenarioStep& step : window.steps) {
        SCOPED_TRACE("front_end_scenario.txt:" + std::to_string(step.line) + " " + step.action + " " + step.control);
        if (step.action == "click") player.click(step.control);
        else if (step.action == "type") player.type(step.control, step.value);
        else player.slide(step.control, std::stoi(step.value));
        std::vector<std::string> seen = player.brought();
        std::sort(seen.begin(), seen.end());
        const bool same = seen.size() == step.brings.size() &&
                          std::equal(seen.begin(), seen.end(), step.brings.begin(), scenarioTextMatches);
        EXPECT_TRUE(same) << "brought:\n  " << ::testing::PrintToString(seen) << "\nexpected:\n  "
                          << ::testing::PrintToString(step.brings);
        for (const auto& [control, text] : step.shows) EXPECT_EQ(player.shown(control), text) << control;
    }
}

}  // namespace varnel::test
