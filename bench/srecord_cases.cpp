#include "srecord_cases.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bench_result.h"
#include "core/user_interface.h"
#include "device/flash_image.h"
#include "firmware/srecord_loader.h"

extern char** environ;

namespace varnel::bench {

namespace {

constexpr std::uint32_t kImageBytes = 0x40000;
constexpr std::uint32_t kRecordData = 32;

class SilentUi : public UserInterface {
public:
    std::string said;
    void message(const std::string& text, MessageKind = MessageKind::Warning) override { said = text; }
    bool askYesNo(const std::string&) override { return false; }
};

std::uint8_t dataAt(std::uint32_t address) {
    std::uint32_t x = address * 2654435761u;
    return static_cast<std::uint8_t>(x >> 24);
}

void putRecord(std::string& out, char type, std::uint32_t address, int addressBytes, const std::uint8_t* data,
               std::uint32_t n) {
    static const char kHex[] = "0123456789ABCDEF";
    auto put = [&](std::uint8_t b, unsigned& sum) {
        out += kHex[b >> 4];
        out += kHex[b & 15];
        sum += b;
    };
    unsigned sum = 0;
    out += 'S';
    out += type;
    put(static_cast<std::uint8_t>(n + addressBytes + 1), sum);
    for (int i = addressBytes - 1; i >= 0; --i) put(static_cast<std::uint8_t>(address >> (8 * i)), sum);
    for (std::uint32_t i = 0; i < n; ++i) put(data[i], sum);
    unsigned ignored = 0;
    put(static_cast<std::uint8_t>(~sum), ignored);
    out += '\n';
}

// 256 KiB of data in records of one type. S1 reaches only 64 KiB, so its
// file goes over those four times with the same bytes.
std::string makeFile(char type) {
    const int addressBytes = type - '0' + 1;
    const std::uint32_t span = type == '1' ? 0x10000 : kImageBytes;
    std::string out;
    const std::uint8_t header[] = {'b', 'e', 'n', 'c', 'h'};
    putRecord(out, '0', 0, 2, header, sizeof header);
    std::uint8_t data[kRecordData];
    for (std::uint32_t done = 0; done < kImageBytes; done += kRecordData) {
        const std::uint32_t address = done % span;
        for (std::uint32_t i = 0; i < kRecordData; ++i) data[i] = dataAt(address + i);
        putRecord(out, type, address, addressBytes, data, kRecordData);
    }
    putRecord(out, static_cast<char>('0' + 10 - (addressBytes - 1)), 0, addressBytes, nullptr, 0);
    return out;
}

bool haveSrecCat() { return std::system("command -v srec_cat >/dev/null 2>&1") == 0; }

// srec_cat reading the file and writing the image, as one process run.
double timeSrecCat(const std::string& path, std::string& failure) {
    std::string redundant = "-redundant-bytes=ignore", sequence = "-Disable_Sequence_Warnings", out = "-o",
                null = "/dev/null", binary = "-binary", program = "srec_cat", input = path;
    char* argv[] = {program.data(), redundant.data(), sequence.data(), input.data(),
                    out.data(),     null.data(),      binary.data(),   nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    const bool ran =
        posix_spawnp(&pid, "srec_cat", &actions, nullptr, argv, environ) == 0 && waitpid(pid, &status, 0) == pid;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    if (!ran || !WIFEXITED(status) || WEXITSTATUS(status) != 0) failure = "srec_cat failed on " + path;
    return took.count();
}

}  // namespace

std::vector<SRecordRun> runSRecordCases(int runs) {
    const bool srecCat = haveSrecCat();
    const auto dir = std::filesystem::temp_directory_path() / ("varnel-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::vector<SRecordRun> rows;
    FlashImage image;
    for (char type : {'1', '2', '3'}) {
        SRecordRun row;
        row.records = std::string("S") + type;
        const std::string path = (dir / ("image-s" + std::string(1, type) + ".s19")).string();
        const std::string text = makeFile(type);
        std::ofstream(path, std::ios::binary) << text;
        row.fileMegabytes = static_cast<double>(text.size()) / 1e6;
        std::vector<double> ours, theirs;
        for (int i = 0; i < runs && row.failure.empty(); ++i) {
            SilentUi ui;
            const auto start = std::chrono::steady_clock::now();
            const int rc = loadSRecordFile(path, image, ui);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            if (rc != 0) row.failure = "loader: " + ui.said;
            ours.push_back(took.count());
            if (srecCat) theirs.push_back(timeSrecCat(path, row.failure));
        }
        row.oursSeconds = median(ours);
        row.srecCatSeconds = median(theirs);
        rows.push_back(row);
    }
    if (srecCat) {
        SRecordRun startUp;
        startUp.records = "start-up";
        const std::string path = (dir / "header-only.s19").string();
        std::string text;
        const std::uint8_t header[] = {'b'};
        putRecord(text, '0', 0, 2, header, 1);
        std::ofstream(path, std::ios::binary) << text;
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) times.push_back(timeSrecCat(path, startUp.failure));
        startUp.srecCatSeconds = median(times);
        rows.push_back(startUp);
    }
    std::filesystem::remove_all(dir);
    return rows;
}

}  // namespace varnel::bench
