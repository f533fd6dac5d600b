#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "emulator/model/fault_plan.h"
#include "emulator/model_bench.h"

namespace varnel {
namespace {

std::vector<CommandLogEntry> faultsLogged(const DeviceModel& model) {
    std::vector<CommandLogEntry> out;
    for (const auto& e : model.log())
        if (e.result == CommandResult::Fault) out.push_back(e);
    return out;
}

// A model after the handshake with a recognisable pattern at 0xF400.
struct Connected : Bench {
    explicit Connected(const std::string& chip = "AP64") : Bench(chip) {
        connect();
        for (std::uint32_t i = 0; i < 0x40; ++i) {
            const auto b = static_cast<std::uint8_t>(i * 7 + 1);
            model.flash().load(0xF400 + i, &b, 1);
        }
    }
};

TEST(LineFaults, EachAimedFaultHitsItsReplyOrCommandOnceAndIsLogged) {
    const Bytes read4 = Bench::addressed('R', 0xF400, {4});
    struct Case {
        const char* fault;
        Bytes command;
        // The clean reply to `expectedFrom`, turned into what the host hears.
        Bytes expectedFrom;
        Bytes (*expected)(Bytes clean);
        const char* logged;
    };
    const Case cases[] = {
        {"drop:R:1:2", read4, read4,
         [](Bytes b) {
             b.erase(b.begin() + 2);
             return b;
         },
         "dropped byte 2 of the reply to 'R' #1"},
        {"drop:R:1:99", read4, read4,
         [](Bytes b) {
             b.pop_back();
             return b;
         },
         "dropped byte 99"},
        {"duplicate:R:1:0", read4, read4,
         [](Bytes b) {
             b.insert(b.begin(), b[0]);
             return b;
         },
         "duplicated byte 0"},
        {"junk:R:1:0:0x00", read4, read4,
         [](Bytes b) {
             b.insert(b.begin(), 0x00);
             return b;
         },
         "junk byte 0x00 before the reply to 'R' #1"},
        // The low byte of the erase block size in the identification record.
        {"corrupt:I:1:10",
         {'I'},
         {'I'},
         [](Bytes b) {
             b[10] ^= 0x01;
             return b;
         },
         "corrupted byte 10"},
        {"corrupt:I:1:10:0x80",
         {'I'},
         {'I'},
         [](Bytes b) {
             b[10] ^= 0x80;
             return b;
         },
         "corrupted byte 10"},
        {"junk:E:1:0:0x55", Bench::addressed('E', 0xF600), Bench::addressed('E', 0xF600),
         [](Bytes b) {
             b.insert(b.begin(), 0x55);
             return b;
         },
         "junk byte 0x55"},
        // The tracker hears 0xF410 for 0xF400: the reply is another address's bytes.
        {"flip-address:R:1:4", read4, Bench::addressed('R', 0xF410, {4}), [](Bytes b) { return b; },
         "address field 0xF400 heard as 0xF410"},
        // Diagnostics answers can be aimed at too (the voltage reading).
        {"corrupt:0x8A:1:0:0xFF",
         {0x8A},
         {0x8A},
         [](Bytes b) {
             b[0] ^= 0xFF;
             return b;
         },
         "corrupted byte 0 of the reply to 0x8A #1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        Connected clean;
        const Bytes cleanReply = clean.command(c.expectedFrom);
        ASSERT_FALSE(cleanReply.empty());

        Connected bench;
        const auto fault = parseAimedFault(c.fault);
        ASSERT_TRUE(fault);
        bench.model.addAimedFault(*fault);
        EXPECT_EQ(bench.command(c.command), c.expected(cleanReply));
        const auto logged = faultsLogged(bench.model);
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_NE(logged[0].note.find(c.logged), std::string::npos) << logged[0].note;
        // Once only: the same command again is answered as it should be.
        EXPECT_EQ(bench.command(c.command), clean.command(c.command));
        EXPECT_EQ(faultsLogged(bench.model).size(), 1u);
    }
}

TEST(LineFaults, TheNthReplyIsHitCountedFromWhenTheFaultWasPlanned) {
    Connected bench;
    const Bytes read = Bench::addressed('R', 0xF400, {2});
    const Bytes clean = bench.command(read);  // before the plan: not counted
    bench.model.addAimedFault(*parseAimedFault("drop:R:3"));
    EXPECT_EQ(bench.command(read), clean);
    EXPECT_EQ(bench.command(Bench::addressed('E', 0xF600)), Bytes{0xFC});  // another command
    EXPECT_EQ(bench.command(read), clean);
    EXPECT_EQ(bench.command(read), Bytes(clean.begin() + 1, clean.end()));
    EXPECT_EQ(bench.command(read), clean);
}

TEST(LineFaults, AFlippedAddressBitPutsAWriteElsewhere) {
    Connected bench;
    bench.model.addAimedFault(*parseAimedFault("flip-address:W:1:9"));  // 0xF600 heard as 0xF400
    ASSERT_EQ(bench.command(Bench::addressed('E', 0xF600)), Bytes{0xFC});
    ASSERT_EQ(bench.command(Bench::addressed('E', 0xF400)), Bytes{0xFC});
    EXPECT_EQ(bench.command(Bench::addressed('W', 0xF600, {2, 0x12, 0x34})), Bytes{0xFC});
    EXPECT_EQ(bench.model.flash().read(0xF600), 0xFF);
    EXPECT_EQ(bench.model.flash().read(0xF400), 0x12);
    EXPECT_EQ(bench.model.log().back().address, 0xF400u);  // the log says where it went
}

TEST(LineFaults, MalformedFaultTextsAreRefused) {
    for (const char* text : {"", "drop", "drop:", "lose:R", "drop:R:0", "drop:R:x", "flip-address:R:1:16",
                             "junk:R:1:0:256", "drop:R:1:2:3:4", "drop:RR", "drop:R:-1"})
        EXPECT_FALSE(parseAimedFault(text)) << text;
    const auto f = parseAimedFault("flip-address:0x56:2:15");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->kind, AimedFaultKind::FlipAddressBit);
    EXPECT_EQ(f->command, 0x56);
    EXPECT_EQ(f->nth, 2u);
    EXPECT_EQ(f->index, 15u);
}

// Reads the same 128 bytes n times; returns every byte the host heard.
Bytes readMany(Bench& bench, int n) {
    Bytes all;
    for (int i = 0; i < n; ++i) {
        const Bytes r = bench.command(Bench::addressed('R', 0xF400, {128}));
        all.insert(all.end(), r.begin(), r.end());
    }
    return all;
}

std::size_t bitsDiffering(const Bytes& a, const Bytes& b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        n += static_cast<std::size_t>(__builtin_popcount(a[i] ^ b[i]));
    return n;
}

TEST(LineNoise, FlipsBitsAtAboutItsRateTheSameWayForTheSameSeed) {
    Connected clean;
    const Bytes truth = readMany(clean, 200);  // 204,800 bits
    auto noisy = [](std::uint64_t seed, NoiseDirection direction) {
        Connected bench;
        bench.model.setLineNoise({1e-3, seed, direction});
        Bytes heard = readMany(bench, 200);
        return std::make_pair(heard, faultsLogged(bench.model).size());
    };
    const auto [a, aLogged] = noisy(7, NoiseDirection::ToHost);
    const auto [again, againLogged] = noisy(7, NoiseDirection::ToHost);
    const auto [other, otherLogged] = noisy(8, NoiseDirection::ToHost);
    const auto [both, bothLogged] = noisy(7, NoiseDirection::Both);
    ASSERT_EQ(a.size(), truth.size());
    const std::size_t flipped = bitsDiffering(a, truth);
    EXPECT_GT(flipped, 150u);  // about 205 expected
    EXPECT_LT(flipped, 270u);
    // Every byte hit is in the log.
    std::size_t bytesHit = 0;
    for (std::size_t i = 0; i < a.size(); ++i) bytesHit += a[i] != truth[i];
    EXPECT_EQ(aLogged, bytesHit);
    EXPECT_EQ(a, again);
    EXPECT_EQ(againLogged, aLogged);
    EXPECT_NE(a, other);
    EXPECT_NE(otherLogged, 0u);
    // Both ways, the commands are hit too (and some reads go astray).
    EXPECT_GT(bothLogged, aLogged);
    EXPECT_NE(both, a);
}

TEST(LineNoise, WaitsForTheHandshakeAndKeepsToItsDirection) {
    Bench bench("AP64");
    bench.model.setLineNoise({0.5, 1, NoiseDirection::Both});  // every other bit wrong
    bench.connect();                                           // the announce and the handshake go through untouched
    EXPECT_TRUE(faultsLogged(bench.model).empty());
    EXPECT_NE(bench.command(Bench::addressed('R', 0xF400, {16})), Bytes(16, 0xFF));

    Bench toHost("AP64");
    toHost.model.setLineNoise({0.5, 1, NoiseDirection::ToHost});
    toHost.connect();
    toHost.command(Bench::addressed('E', 0xF400));
    toHost.command(Bench::addressed('W', 0xF400, {2, 0x12, 0x34}));
    EXPECT_EQ(toHost.model.flash().read(0xF400), 0x12);  // heard exactly
    EXPECT_EQ(toHost.model.flash().read(0xF401), 0x34);

    Bench toTracker("AP64");
    toTracker.model.setLineNoise({0.5, 1, NoiseDirection::ToTracker});
    toTracker.connect();
    toTracker.model.flash().load(0xF400, Bytes{0x5A}.data(), 1);
    // Whatever the tracker heard, it answers cleanly; the log says what it heard.
    for (int i = 0; i < 20; ++i) toTracker.command({'I'});
    for (const auto& e : faultsLogged(toTracker.model)) EXPECT_NE(e.note.find("heard as"), std::string::npos) << e.note;
    EXPECT_FALSE(faultsLogged(toTracker.model).empty());
}

}  // namespace
}  // namespace varnel
