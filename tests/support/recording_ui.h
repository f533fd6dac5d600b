#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/user_interface.h"

namespace varnel::test {

// A UserInterface that remembers every message and answers questions from a
// queue (default: the given fallback answer).
class RecordingUi : public UserInterface {
public:
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    bool defaultAnswer = false;
    int pumps = 0;

    void message(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) return defaultAnswer;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void pump() override { ++pumps; }
};

}  // namespace varnel::test
