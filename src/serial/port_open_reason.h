#pragma once

#include <string>

#include "core/user_interface.h"

namespace varnel {

// Why a serial device cannot be opened, in words a user can act on ("" when
// it opens now): no such device (with the ports there are), no permission
// (which group to join, or that this login must start again to be in it),
// or another program holding the port (named with its process id where
// /proc shows it). The connection doctor's first problem with the port.
std::string describePortOpenFailure(const std::string& path);

// The program that holds the device, as "minicom (pid 1234)": the one that
// took its lock, else the only other process that has it open; "" when no
// process we may look at holds it, or several have it open and none locked it.
std::string describePortHolder(const std::string& path);

// Adds the reason to "Can't open serial port": the port layer knows only that
// the open failed, the user needs to know what to do about it. Everything
// else passes through unchanged.
class PortReasonUi : public UserInterface {
public:
    PortReasonUi(UserInterface& inner, std::string path) : inner_(inner), path_(std::move(path)) {}
    void message(const std::string& text, MessageKind kind = MessageKind::Warning) override;
    bool askYesNo(const std::string& text) override { return inner_.askYesNo(text); }
    bool askYesNoDefaultNo(const std::string& text) override { return inner_.askYesNoDefaultNo(text); }
    void pump() override { inner_.pump(); }
    Answer askChoice(const std::string& text, const std::string& first, const std::string& second) override {
        return inner_.askChoice(text, first, second);
    }

private:
    UserInterface& inner_;
    std::string path_;
};

}  // namespace varnel
