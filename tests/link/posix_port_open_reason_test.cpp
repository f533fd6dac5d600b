#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/port_open_reason.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

TEST(PortOpenReason, AMissingDeviceAndAPortHeldByAnotherProcessAreNamed) {
    const fs::path missing = "/dev/varnel-no-such-tracker";
    EXPECT_EQ(describePortOpenFailure(missing), missing.string() + " does not exist; is the tracker's cable plugged in?");

    test::RecordingUi inner;
    PortReasonUi ui(inner, missing.string());
    ui.message("Can't open serial port");
    ui.message("Error receiving data");
    ASSERT_EQ(inner.messages.size(), 2u);
    EXPECT_EQ(inner.messages[0], "Can't open serial port\n" + describePortOpenFailure(missing));
    EXPECT_EQ(inner.messages[1], "Error receiving data");

    // Another process opens the "device" and takes its lock, as serial
    // programs do.
    const fs::path held = fs::temp_directory_path() / ("varnel-held-" + std::to_string(::getpid()));
    std::ofstream(held) << "";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(held.c_str(), O_RDWR);
        ::flock(fd, LOCK_EX);
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    const std::string reason = describePortOpenFailure(held);
    EXPECT_EQ(reason.rfind(held.string() + " is in use by ", 0), 0u) << reason;
    EXPECT_NE(reason.find("(pid " + std::to_string(child) + "); close it and try again."), std::string::npos) << reason;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(describePortOpenFailure(held), "");
    fs::remove(held);
}

}  // namespace
}  // namespace varnel
