#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "serial/connection_doctor.h"
#include "serial/port_open_reason.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

TEST(PortOpenReason, AMissingDeviceIsNamedAndOtherMessagesPassThrough) {
    const fs::path missing = "/dev/varnel-no-such-tracker";
    // (Followed by the serial ports this machine has, if any.)
    EXPECT_EQ(describePortOpenFailure(missing).rfind(
                  missing.string() + " does not exist; is the tracker's cable plugged in?", 0),
              0u);

    test::RecordingUi inner;
    PortReasonUi ui(inner, missing.string());
    ui.message("Can't open serial port");
    ui.message("Error receiving data");
    ASSERT_EQ(inner.messages.size(), 2u);
    EXPECT_EQ(inner.messages[0], "Can't open serial port\n" + describePortOpenFailure(missing));
    EXPECT_EQ(inner.messages[1], "Error receiving data");
}

// A child that opens the file, locks it when asked, and waits to be killed.
pid_t holdOpen(const fs::path& path, bool lock) {
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(path.c_str(), O_RDWR);
        if (lock) ::flock(fd, LOCK_EX);
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char c;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return child;
}

void stop(pid_t child) {
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// The program that took the lock is named, not one that merely has the
// device open too (as varnel-emu keeps its pseudo-terminal open, started
// before the program that holds the port, so first in /proc).
TEST(PortOpenReason, TheProgramHoldingTheLockIsNamedNotAnotherThatHasItOpen) {
    const fs::path held = fs::temp_directory_path() / ("varnel-held-" + std::to_string(::getpid()));
    std::ofstream(held) << "";
    const pid_t opener = holdOpen(held, false);
    ASSERT_GT(opener, 0);
    EXPECT_NE(describePortHolder(held).find("(pid " + std::to_string(opener) + ")"), std::string::npos);
    EXPECT_EQ(describePortOpenFailure(held), "");  // open, not locked: nothing in the way

    const pid_t locker = holdOpen(held, true);
    ASSERT_GT(locker, 0);
    const std::string reason = describePortOpenFailure(held);
    EXPECT_EQ(reason.rfind(held.string() + " is in use by ", 0), 0u) << reason;
    EXPECT_NE(reason.find("(pid " + std::to_string(locker) + "); close it and try again."), std::string::npos)
        << reason;
    // The doctor's findings for the port say the same, marked as in the way.
    const auto findings = portFindings(held);
    ASSERT_EQ(findings.size(), 1u) << doctorReportText(findings);
    EXPECT_EQ(findings[0].level, FindingLevel::Problem);
    EXPECT_EQ(findings[0].sentence(), reason);
    stop(locker);

    // Two that have it open, neither locking: no way to tell which.
    const pid_t second = holdOpen(held, false);
    EXPECT_EQ(describePortHolder(held), "");
    stop(second);
    stop(opener);
    fs::remove(held);
}

}  // namespace
}  // namespace varnel
