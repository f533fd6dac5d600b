#pragma once

#include <QObject>

#include "core/user_interface.h"

namespace varnel {

struct LinkState;

// The desktop face of the core: OK-only message boxes, Yes/No questions, and
// an event-loop pump for the long serial waits. A quit request that arrives
// while pumping (window manager, session end) asks the running link attempt
// to stop through linkAbort.
class QtUserInterface : public QObject, public UserInterface {
    Q_OBJECT
public:
    explicit QtUserInterface(LinkState& link, QObject* parent = nullptr);
    ~QtUserInterface() override;

    void message(const std::string& text, MessageKind kind = MessageKind::Warning) override;
    bool askYesNo(const std::string& text) override;
    bool askYesNoDefaultNo(const std::string& text) override;
    Answer askChoice(const std::string& text, const std::string& first, const std::string& second) override;
    void pump() override;

    bool quitRequested() const { return quitRequested_; }

    // Watches the application for a quit request.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LinkState& link_;
    bool quitRequested_ = false;
};

}  // namespace varnel
