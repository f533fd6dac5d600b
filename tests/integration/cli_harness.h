#pragma once

// varnelcfg-cli run as a user would run it, against an emulated tracker's
// pty: the fixture the CLI's integration tests share.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "emu_harness.h"
#include "firmware/vector_remap.h"

namespace varnel::test {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

inline const char* const kChips[] = {"KX8", "AP64", "AW60", "JL16", "AW32", "JM60", "JM128"};

struct Result {
    int status = -1;
    std::string out, err;
};

inline Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), {});
}

inline std::string readText(const fs::path& p) {
    const Bytes b = readFile(p);
    return std::string(b.begin(), b.end());
}

// The first address at which two flash images differ, or -1.
inline long firstDifference(const Bytes& a, const Bytes& b) {
    const auto [x, y] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return x == a.end() && y == b.end() ? -1 : static_cast<long>(x - a.begin());
}

#ifdef VARNEL_CLI_RUNNER
// The Windows build under Wine: it opens COM12, which the test prefix maps
// to this link, and the link is pointed at each emulated tracker in turn.
inline constexpr const char* kCliRunner = VARNEL_CLI_RUNNER " ";
inline constexpr const char* kMissingPort = "COM13";
#else
inline constexpr const char* kCliRunner = "";
inline constexpr const char* kMissingPort = "/dev/no-such-tracker";
#endif

// Runs varnelcfg-cli as a user would, against the emulated tracker's pty.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');  // a parameterised test's "Name/3"
        dir = fs::temp_directory_path() / ("varnel-cli-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    Result cli(const std::string& args) {
        const fs::path out = dir / "stdout", err = dir / "stderr";
        // Backups go to the test's own folder, never the user's.
        const std::string command = "XDG_DATA_HOME=" + dataHome().string() + " " + kCliRunner +
                                    std::string(VARNEL_CLI_PATH) + " " + args + " >" + out.string() + " 2>" +
                                    err.string() + " </dev/null";
        const int rc = std::system(command.c_str());
        return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, readText(out), readText(err)};
    }

    // The port name that reaches this tracker.
    static std::string portOf(const EmulatorHarness& emu) {
#ifdef VARNEL_WINE_COM_LINK
        const fs::path link = VARNEL_WINE_COM_LINK;
        fs::remove(link);
        fs::create_symlink(emu.slavePath(), link);
        return "COM12";
#else
        return emu.slavePath();
#endif
    }

    // A file name as the program under test takes it: Windows programs get
    // the drive letter that Wine gives the Linux root.
    static std::string pathArg(const fs::path& p) {
#ifdef VARNEL_WINE_COM_LINK
        return "Z:" + p.string();
#else
        return p.string();
#endif
    }

    // An S-record file (S2 records, so any address fits) of the given spans.
    fs::path writeS19(const std::vector<std::pair<std::uint32_t, Bytes>>& spans) {
        const fs::path p = dir / "firmware.s19";
        std::ofstream f(p);
        for (const auto& [start, data] : spans) {
            for (std::size_t i = 0; i < data.size(); i += 32) {
                const std::size_t n = std::min<std::size_t>(32, data.size() - i);
                const std::uint32_t a = start + static_cast<std::uint32_t>(i);
                Bytes rec;
                rec.reserve(n + 5);
                rec.push_back(static_cast<std::uint8_t>(n + 4));
                rec.push_back(static_cast<std::uint8_t>(a >> 16));
                rec.push_back(static_cast<std::uint8_t>(a >> 8));
                rec.push_back(static_cast<std::uint8_t>(a));
                rec.insert(rec.end(), data.begin() + i, data.begin() + i + n);
                unsigned sum = 0;
                for (auto b : rec) sum += b;
                rec.push_back(static_cast<std::uint8_t>(~sum));
                f << "S2";
                for (auto b : rec) {
                    char hex[3];
                    std::snprintf(hex, sizeof hex, "%02X", b);
                    f << hex;
                }
                f << "\n";
            }
        }
        f << "S804000000FB\n";
        return p;
    }

    // The reset vector a firmware image for this chip carries (pointing
    // anywhere: the emulated tracker never runs it).
    static std::pair<std::uint32_t, Bytes> resetVector(const EmulatorHarness& emu) {
        return {resetVectorAddress(emu.deviceInfo()), Bytes{0x80, 0x00}};
    }

    // Where test firmware puts its code: clear of the script area (on AW60
    // and JM60 it starts the programmable range); on JM128 at 0, which makes
    // it a staged load.
    static std::uint32_t codeAddress(const EmulatorHarness& emu) {
        return emu.deviceInfo().deviceId.starts_with("JM128") ? 0 : emu.deviceInfo().validStart + 0x200u;
    }

    fs::path dataHome() const { return dataHomeOverride.empty() ? dir / "data" : dataHomeOverride; }
    std::string backupNamed(const Result& r) const {
        const std::string tag = "Backup of the previous settings: ";
        const std::size_t at = r.out.find(tag);
        if (at == std::string::npos) return {};
        return r.out.substr(at + tag.size(), r.out.find('\n', at) - at - tag.size());
    }

    fs::path dir;
    fs::path dataHomeOverride;
};

}  // namespace varnel::test
