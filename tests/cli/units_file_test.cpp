// The fleet's units file: quoted fields, profile 2's columns, and the rows
// it refuses.

#include <gtest/gtest.h>

#include "cli/fleet/units_file.h"

namespace varnel::cli {

namespace {

TEST(UnitsFile, RowsBecomeEachUnitsAssignments) {
    std::vector<UnitRow> rows;
    std::string error;
    ASSERT_TRUE(parseUnitsText("port,callsign,text,profile2.callsign\r\n"
                               "/dev/ttyUSB0,W1AW-7,\"Club net, \"\"Sundays\"\"\",W1AW-9\r\n"
                               "COM4,K2ABC-7,,\n",
                               rows, error))
        << error;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].port, "/dev/ttyUSB0");
    EXPECT_EQ(rows[0].profile1, (std::vector<std::string>{"callsign=W1AW-7", "text=Club net, \"Sundays\""}));
    EXPECT_EQ(rows[0].profile2, (std::vector<std::string>{"callsign=W1AW-9"}));
    // An empty field leaves the file's value.
    EXPECT_EQ(rows[1].profile1, (std::vector<std::string>{"callsign=K2ABC-7"}));
    EXPECT_TRUE(rows[1].profile2.empty());
}

TEST(UnitsFile, RefusesRowsItCannotPlace) {
    const struct {
        const char* text;
        const char* why;
    } cases[] = {
        {"", "the units file is empty"},
        {"port,callsign\n/dev/ttyUSB0,W1AW,extra\n", "row 2 has more fields than the header"},
        {"port,callsign\n,W1AW\n", "row 2 names no port"},
    };
    for (const auto& c : cases) {
        std::vector<UnitRow> rows;
        std::string error;
        EXPECT_FALSE(parseUnitsText(c.text, rows, error)) << c.text;
        EXPECT_EQ(error, c.why);
    }
}

}  // namespace

}  // namespace varnel::cli
