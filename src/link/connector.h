#pragma once

#include <string>

namespace varnel {

class BootLink;

// How a connect ended. The numbers are those the command line shows when
// nothing else explains a failure.
enum class ConnectResult {
    Connected = 0,
    PortFailed = -1,          // the port would not open, or a read failed (reported)
    Aborted = -2,             // linkAbort was set: no message
    CommunicationError = -3,  // the caller reports it, see failureMessage
    WrongTarget = -4,         // the caller reports it, see failureMessage
};

// What one announce window brought.
enum class Announce {
    Answered,    // the announce came and was answered
    Quiet,       // nothing in the window
    ReadFailed,  // reported
    Aborted,     // linkAbort was set: no message
};

// Getting into the tracker's bootloader and staying in step with it: the
// reset request at every probe speed, the announce and its answer, the
// identification (two records that agree and make sense), the check against
// the held chip name and the fast link; after a lost step, getting back in
// step or finding the same tracker again. A connector works on its link's
// state only; make one where it is needed.
class Connector {
public:
    explicit Connector(BootLink& link) : link_(link) {}

    // Resets the tracker into its bootloader (cycling the probe speeds until
    // it answers or linkAbort is set), identifies it and checks it against
    // the held chip name; with allowFastLink it then switches to the fastest
    // speed the tracker offers. The caller sets linkAbort to 0 first.
    ConnectResult connect(const std::string& portName, bool allowFastLink);
    // The caller's message for a connect result, or "" when there is none.
    std::string failureMessage(ConnectResult result) const;

    // Waits one announce window for the bootloader's 0xFC and answers it.
    Announce waitForAnnounce();

    // Gets back in step after a missed reply or a refusal: completes a frame
    // the bootloader may still be waiting for with harmless bytes, drains the
    // line, and asks for the identification, which must be the connect's;
    // failing that, reconnects as the connect did. False when out of step
    // for good.
    bool resynchronise();
    // Finds the same tracker again on the connect's port (bounded, every
    // probe speed twice), whatever linkAbort says. Without allowFastLink the
    // link stays at the bootloader's own speed.
    bool reconnect(bool allowFastLink);
    // After a read's or a write's retries ran out on a fast link whose line
    // garbled: finds the same tracker again without the speed switch, keeps
    // the link at the bootloader's own speed from then on and says so once
    // (BootLink::note). False, with nothing said, when the link was not
    // fast, the line did not garble (a refusal is not the speed's fault), or
    // the tracker was not found at the slow speed either.
    bool fallBackToSlowLine();

private:
    ConnectResult connectWithin(const std::string& portName, bool allowFastLink, int maxWindows);
    // Identifies until two records agree and make sense (at most
    // kIdentifyAttempts records); the link's DeviceInfo then holds it.
    bool identifyConfirmed();
    bool openAt(const std::string& portName, const char* speed);
    void sendResetRequest();

    BootLink& link_;
    bool identificationUnreliable_ = false;  // the last connect's records disagreed
};

}  // namespace varnel
