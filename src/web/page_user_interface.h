#pragma once

#include "core/user_interface.h"
#include "web/page_loop.h"

namespace varnel::web {

// Message boxes over the page (OK only; Yes/No where a question is asked)
// and the pump that gives the browser its turn during serial waits.
class PageUserInterface : public UserInterface {
public:
    explicit PageUserInterface(PageLoop& loop) : loop_(loop) {}
    void message(const std::string& text, MessageKind = MessageKind::Warning) override { loop_.ask(text, "OK"); }
    bool askYesNo(const std::string& text) override { return loop_.ask(text, "Yes|No") == 0; }
    bool askYesNoDefaultNo(const std::string& text) override { return loop_.ask(text, "Yes|No", 1) == 0; }
    Answer askChoice(const std::string& text, const std::string& first, const std::string& second) override {
        const int answer = loop_.ask(text, first + "|" + second + "|Cancel");
        return answer == 0 ? Answer::First : answer == 1 ? Answer::Second : Answer::Cancel;
    }
    void pump() override { loop_.pump(); }

private:
    PageLoop& loop_;
};

}  // namespace varnel::web
