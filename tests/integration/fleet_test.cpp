// `varnelcfg-cli fleet write` over several emulated trackers at once: each
// unit ends exactly as a single write of its row leaves a tracker, and a
// unit that fails its check keeps every unit unwritten.

#include <fstream>
#include <memory>

#include "cli_harness.h"

namespace varnel::test {

namespace {

struct Unit {
    std::string callsign, text;
};

class FleetTest : public CliTest {
protected:
    // A configuration of the chip, read from a fresh tracker of it.
    fs::path baseConfig(const std::string& chip) {
        EmulatorHarness emu(chip, true);
        const fs::path cfg = dir / (chip + ".cfg");
        EXPECT_EQ(cli("read --port " + emu.slavePath() + " --output " + cfg.string()).status, 0);
        return cfg;
    }

    fs::path unitsFile(const std::vector<std::unique_ptr<EmulatorHarness>>& emus, const std::vector<Unit>& units) {
        const fs::path p = dir / "units.csv";
        std::ofstream f(p);
        f << "port,callsign,text,profile2.callsign\n";
        for (std::size_t i = 0; i < units.size(); ++i)
            f << emus[i]->slavePath() << ',' << units[i].callsign << ",\"" << units[i].text << "\","
              << units[i].callsign << "\n";
        return p;
    }

    static std::string portList(const std::vector<std::unique_ptr<EmulatorHarness>>& emus) {
        std::string ports;
        for (const auto& e : emus) ports += (ports.empty() ? "" : ",") + e->slavePath();
        return ports;
    }
};

// Each chip's two units written at once, each compared byte for byte with a
// third tracker of the chip written singly with that unit's row.
TEST_F(FleetTest, EachUnitEndsAsASingleWriteOfItsRowLeavesItOnFourChips) {
    for (const std::string chip : {"AP64", "JM60", "JL16", "JM128"}) {
        SCOPED_TRACE(chip);
        const fs::path base = baseConfig(chip);
        std::vector<std::unique_ptr<EmulatorHarness>> emus;
        for (int i = 0; i < 2; ++i) emus.push_back(std::make_unique<EmulatorHarness>(chip, true));
        const std::vector<Unit> units = {{"W1AW-7", "Club net, Sundays"}, {"K2ABC-9", "Search team \"B\""}};
        const fs::path log = dir / "fleet.json";
        const Result r = cli("fleet write " + base.string() + " --units " + unitsFile(emus, units).string() +
                             " --log " + log.string());
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        const std::string logText = readText(log);
        for (std::size_t i = 0; i < units.size(); ++i) {
            SCOPED_TRACE(units[i].callsign);
            EXPECT_NE(r.out.find(units[i].callsign), std::string::npos) << r.out;
            EXPECT_NE(logText.find("\"callsign\": \"" + units[i].callsign + "\""), std::string::npos) << logText;
            // The same file and row through set and write, on a tracker alone.
            EmulatorHarness single(chip, true);
            const fs::path mine = dir / "single.cfg";
            fs::copy_file(base, mine, fs::copy_options::overwrite_existing);
            ASSERT_EQ(cli("set " + mine.string() + " callsign=" + units[i].callsign + " \"text=" + units[i].text + "\"")
                          .status,
                      0);
            ASSERT_EQ(cli("set --profile 2 " + mine.string() + " callsign=" + units[i].callsign).status, 0);
            ASSERT_EQ(cli("write --port " + single.slavePath() + " " + mine.string()).status, 0);
            EXPECT_EQ(firstDifference(emus[i]->flash(), single.flash()), -1);
        }
        // Two backups made in the same second get names of their own.
        std::size_t backups = 0;
        for (const auto& e : fs::directory_iterator(dataHome() / "varnelcfg" / "backups"))
            backups += e.is_regular_file();
        EXPECT_GE(backups, 2u);
    }
}

// Eight units at once; one row's value is refused as set refuses it, so
// nothing is written anywhere and the report names the unit and why; with
// --each the seven others are written. The log holds every unit.
TEST_F(FleetTest, AUnitFailingItsCheckKeepsEveryUnitUnwrittenUnlessEach) {
    const fs::path base = baseConfig("AP64");
    std::vector<std::unique_ptr<EmulatorHarness>> emus;
    std::vector<Unit> units;
    for (int i = 0; i < 8; ++i) {
        emus.push_back(std::make_unique<EmulatorHarness>("AP64", true));
        units.push_back({"N" + std::to_string(i) + "XYZ-" + std::to_string(i + 1), "unit " + std::to_string(i)});
    }
    units[5].callsign = "THISISFARTOOLONG-99";
    const fs::path csv = unitsFile(emus, units);
    std::vector<Bytes> before;
    for (const auto& e : emus) before.push_back(e->flash());

    const fs::path log = dir / "fleet.csv";
    Result r = cli("fleet write " + base.string() + " --units " + csv.string() + " --log " + log.string());
    EXPECT_EQ(r.status, 1);
    for (std::size_t i = 0; i < emus.size(); ++i) EXPECT_EQ(firstDifference(emus[i]->flash(), before[i]), -1) << i;
    EXPECT_NE(r.out.find("refused"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("not written"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(dataHome() / "varnelcfg" / "backups"));
    const std::string logText = readText(log);
    for (const auto& e : emus) EXPECT_NE(logText.find(e->slavePath()), std::string::npos);

    r = cli("fleet write --each " + base.string() + " --units " + csv.string() + " --ports " + portList(emus));
    EXPECT_EQ(r.status, 1);
    for (std::size_t i = 0; i < emus.size(); ++i)
        EXPECT_EQ(firstDifference(emus[i]->flash(), before[i]) == -1, i == 5) << i;

    // A tracker of another chip among them is refused for its chip.
    EmulatorHarness other("JM60", true);
    r = cli("fleet write " + base.string() + " --ports " + emus[0]->slavePath() + "," + other.slavePath());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("is for AP64 but the tracker is JM60"), std::string::npos) << r.out;
}

}  // namespace

}  // namespace varnel::test
