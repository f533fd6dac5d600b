#pragma once

#include <iostream>

#include "core/user_interface.h"

namespace varnel::cli {

// The command line's face for the core: messages go to stderr, questions are
// answered from a fixed choice (there is nobody to ask in a script).
class StderrUi : public UserInterface {
public:
    explicit StderrUi(bool answer = false) : answer_(answer) {}
    void message(const std::string& text, MessageKind = MessageKind::Warning) override { std::cerr << text << '\n'; }
    bool askYesNo(const std::string& text) override {
        std::cerr << text << (answer_ ? " [yes]\n" : " [no]\n");
        return answer_;
    }

private:
    bool answer_;
};

}  // namespace varnel::cli
