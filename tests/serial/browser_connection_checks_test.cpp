#include <gtest/gtest.h>

#include "serial/browser_connection_checks.h"
#include "support/doctor_expect.h"

namespace varnel {
namespace {

constexpr auto kOk = FindingLevel::Ok;
constexpr auto kProblem = FindingLevel::Problem;

using Case = test::DoctorCase<BrowserSerialView>;

// A page in a desktop Chrome on a secure address, with serial:1 granted and
// plugged in; each case changes what it needs.
BrowserSerialView page(const std::function<void(BrowserSerialView&)>& setUp) {
    BrowserSerialView v{true, true, "https://example.org", true, true, "", ""};
    setUp(v);
    return v;
}

TEST(BrowserDoctor, EachFindingOfThePage) {
    const Case cases[] = {
        {"Web Serial there", [](BrowserSerialView&) {}, "", "Web Serial", kOk, {"gives the page serial ports"}},
        {"a page on a plain address",
         [](BrowserSerialView& v) {
             v.webSerial = false, v.secureAddress = false, v.address = "http://192.0.2.7:8080";
         },
         "",
         "Web Serial",
         kProblem,
         {"opened from http://192.0.2.7:8080, which is not a secure address", "Chrome, Edge and Opera", "https://",
          "http://localhost", "emulated trackers work here all the same"}},
        {"a browser without Web Serial",
         [](BrowserSerialView& v) { v.webSerial = false; },
         "",
         "Web Serial",
         kProblem,
         {"this browser has no Web Serial", "on a desktop computer (not in Firefox or Safari",
          "emulated trackers work"}},
        {"a granted port that is there", [](BrowserSerialView&) {}, "serial:1", "port", kOk, {"plugged in"}},
        {"a granted port not plugged in",
         [](BrowserSerialView& v) { v.pluggedIn = false; },
         "serial:1",
         "port",
         kProblem,
         {"serial:1 is granted to this page but not plugged in", "plug the tracker's cable in"}},
        {"a port the page was never granted",
         [](BrowserSerialView& v) { v.granted = false, v.pluggedIn = false; },
         "serial:4",
         "port",
         kProblem,
         {"serial:4 is not granted", "Add port..."}},
        {"a port held elsewhere or refused",
         [](BrowserSerialView& v) { v.openError = "NetworkError", v.openErrorText = "Failed to open serial port."; },
         "serial:1",
         "port",
         kProblem,
         {"would not open (the browser said \"Failed to open serial port.\")", "another tab", "dialout",
          "log out and in again"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::expectFinding(browserConnectionChecks(page(c.setUp), c.port), c.check, c.level, c.says);
    }
}

// For the connect window only what stands in the way; the page's emulated
// trackers have no port line, and without Web Serial no granted port does.
TEST(BrowserDoctor, PortFindingsKeepOnlyWhatStandsInTheWay) {
    EXPECT_TRUE(browserConnectionChecks(page([](BrowserSerialView&) {}), "serial:1", false).empty());
    EXPECT_EQ(browserConnectionChecks(page([](BrowserSerialView&) {}), "emulated:AP64").size(), 1u);
    const auto none =
        browserConnectionChecks(page([](BrowserSerialView& v) { v.webSerial = false; }), "serial:1", false);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].check, "Web Serial");
}

}  // namespace
}  // namespace varnel
