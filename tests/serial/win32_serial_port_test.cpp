#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "serial/serial_messages.h"
#include "serial/win32_serial_port.h"
#include "support/recording_ui.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

// The failures of openPort, each with its message, and none leaves the
// device taken: a plain file opens like a device but takes no line
// settings, and the port opens it exclusively.
TEST(Win32SerialPort, AFailedOpenReportsOnceAndLetsGoOfTheDevice) {
    const fs::path file = fs::temp_directory_path() / "varnel-not-a-port.txt";
    std::ofstream(file) << "not a serial port";
    struct Row {
        std::string name, speed;
        const char* message;
    };
    const Row rows[] = {
        {"\\\\.\\COM250", "9600", serial_messages::kCantOpen},
        {file.string(), "48OO", serial_messages::kInvalidSpeed},
        {file.string(), "4800", serial_messages::kUnableToAccess},
        {file.string(), "", serial_messages::kUnableToAccess},
    };
    Win32SerialPort first;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name + " at '" + r.speed + "'");
        test::RecordingUi ui;
        EXPECT_EQ(first.openPort(r.name, r.speed, ui), -1);
        EXPECT_EQ(ui.messages, std::vector<std::string>{r.message});
        EXPECT_FALSE(first.isOpen());
        // Still free: a second port gets as far as the same failure.
        Win32SerialPort second;
        test::RecordingUi again;
        EXPECT_EQ(second.openPort(r.name, r.speed, again), -1);
        EXPECT_EQ(again.messages, std::vector<std::string>{r.message});
    }
    EXPECT_TRUE(fs::remove(file));
}

}  // namespace
}  // namespace varnel
