#include <gtest/gtest.h>

#include "serial/port_resolver.h"

namespace varnel {
namespace {

TEST(PortResolver, SlotNames) {
    struct Row {
        const char* name;
        std::optional<int> slot;
    };
    const Row rows[] = {
        {"COM3", 3},
        {"com12", 12},
        {"3", 3},
        {"12", 12},
        {"3 ", 3},
        {"/dev/ttyUSB0", std::nullopt},
        {"COM", std::nullopt},
        {"COMX", std::nullopt},
        {"ttyS1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& r : rows) EXPECT_EQ(portSlotFromName(r.name), r.slot) << r.name;
}

TEST(PortResolver, SlotsAreTheSortedDevicesCountedFromOne) {
    std::vector<std::string> paths{"/dev/ttyS0", "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyUSB0"};
    sortPortPaths(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0",
                                               "/dev/ttyS0"}));
    const std::vector<PortDescription> ports{{"/dev/ttyUSB0", "a"}, {"/dev/ttyACM0", "b"}};
#ifdef _WIN32
    // Slot n is COMn whatever is present, in the form that opens COM10 and up.
    EXPECT_EQ(resolvePortName("COM2", ports), "\\\\.\\COM2");
    EXPECT_EQ(resolvePortName("12", ports), "\\\\.\\COM12");
    EXPECT_EQ(resolvePortName("com12"), "\\\\.\\COM12");
    EXPECT_EQ(resolvePortName("\\\\.\\COM5"), "\\\\.\\COM5");
#else
    EXPECT_EQ(resolvePortName("COM2", ports), "/dev/ttyACM0");
    EXPECT_EQ(resolvePortName("1", ports), "/dev/ttyUSB0");
    // A slot with no device stays as typed, so opening it fails normally.
    EXPECT_EQ(resolvePortName("COM5", ports), "COM5");
    EXPECT_EQ(resolvePortName("COM0", ports), "COM0");
#endif
    EXPECT_EQ(resolvePortName("/tmp/emu-ap64", ports), "/tmp/emu-ap64");
}

TEST(PortResolver, WindowsPortListIsInPortNumberOrderWithTheDriversKind) {
    const auto ports = describeSerialComm({{"\\Device\\VCP0", "COM10"},
                                           {"\\Device\\Odd", "Printer"},
                                           {"\\Device\\USBSER000", "COM2"},
                                           {"\\Device\\Serial0", "COM1"}});
    const std::vector<std::pair<std::string, std::string>> expected{
        {"COM1", "serial port (\\Device\\Serial0)"},
        {"COM2", "USB modem (CDC ACM) (\\Device\\USBSER000)"},
        {"COM10", "USB serial adapter (FTDI) (\\Device\\VCP0)"},
        {"Printer", "serial port (\\Device\\Odd)"},
    };
    ASSERT_EQ(ports.size(), expected.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].path, expected[i].first);
        EXPECT_EQ(ports[i].description, expected[i].second);
    }
}

}  // namespace
}  // namespace varnel
