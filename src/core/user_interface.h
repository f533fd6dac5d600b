#pragma once

#include <string>

namespace varnel {

// Everything the core needs from whoever drives it: an OK-only message, a
// yes/no question (or one of two answers and Cancel), and a chance to keep the interface alive during long serial
// waits. The GUI shows message boxes and runs the event loop; the CLI writes to
// stderr; tests record what was said.
// What a message tells the user, so that its box carries the icon (and a
// screen reader speaks the word) of its kind: a warning about what was
// typed or asked (the default), a result, or a failure of the device, the
// port, a file or the network.
enum class MessageKind { Warning, Information, Error };

class UserInterface {
public:
    virtual ~UserInterface() = default;
    virtual void message(const std::string& text, MessageKind kind = MessageKind::Warning) = 0;
    virtual bool askYesNo(const std::string& text) = 0;
    // The same question where Yes can destroy data (overwrite a tracker or a
    // profile, throw away a configuration): No is the default button, so
    // Enter pressed out of habit keeps what is there. An interface with no
    // default button asks as askYesNo does.
    virtual bool askYesNoDefaultNo(const std::string& text) { return askYesNo(text); }
    // A question with two answers besides Cancel, on buttons labelled
    // `first` and `second`; Escape or closing the box is Cancel. An interface
    // that cannot ask answers Cancel, which leaves everything as it was.
    enum class Answer { First, Second, Cancel };
    virtual Answer askChoice(const std::string& text, const std::string& first, const std::string& second) {
        (void)text, (void)first, (void)second;
        return Answer::Cancel;
    }
    virtual void pump() {}
};

}  // namespace varnel
