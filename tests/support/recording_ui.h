#pragma once

#include <deque>
#include <functional>
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
    std::function<void()> onPump;  // what the window's events do meanwhile

    std::vector<MessageKind> kinds;  // each message's kind, in step with `messages`

    void message(const std::string& text, MessageKind kind = MessageKind::Warning) override {
        messages.push_back(text);
        kinds.push_back(kind);
    }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) return defaultAnswer;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    // The questions asked with No as the default (those whose Yes can
    // destroy data), also in `questions`.
    std::vector<std::string> defaultNoQuestions;
    bool askYesNoDefaultNo(const std::string& text) override {
        defaultNoQuestions.push_back(text);
        return askYesNo(text);
    }
    // Leaving a window with edits: Discard unless the test says otherwise,
    // so a window closes as it did before it asked.
    std::vector<std::string> choices;
    std::deque<Answer> choiceAnswers;
    Answer askChoice(const std::string& text, const std::string&, const std::string&) override {
        choices.push_back(text);
        if (choiceAnswers.empty()) return Answer::Second;
        Answer a = choiceAnswers.front();
        choiceAnswers.pop_front();
        return a;
    }
    void pump() override {
        ++pumps;
        if (onPump) onPump();
    }
};

}  // namespace varnel::test
