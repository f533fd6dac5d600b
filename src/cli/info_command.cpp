#include <cstdio>
#include <filesystem>
#include <memory>
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "cli/stderr_ui.h"
#include "config/ax25_codec.h"
#include "config/profile_record.h"
#include "firmware/srecord_loader.h"
#include "session/config_file.h"

namespace varnel::cli {
namespace {

bool endsWith(const std::string& s, const std::string& suffix) {
    if (s.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - suffix.size() + i])) != suffix[i]) return false;
    return true;
}

std::string hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%05X", v);
    return buf;
}

int infoConfig(const std::string& path) {
    StderrUi ui;
    Session session;
    if (loadConfigFileOffline(path, session, ui) != 0) return 1;
    const auto& s = session.settings;
    std::cout << "deviceId: " << session.link.deviceInfo.deviceId << '\n'
              << "chip: " << session.link.chipName << (session.target.kind == KindNone ? " (unknown)" : "") << '\n'
              << "family: " << int(s.family()) << '\n'
              << "type: " << int(s.type()) << '\n'
              << "build: " << s.build() << '\n';
    for (int p = 0; p < 2; ++p) {
        const ConstProfileRecord profile(s.profile(p), session.target.kind);
        std::cout << "profile " << p + 1 << " callsign: " << decodeAddress(profile.sourceAddress()) << '\n';
    }
    return 0;
}

// The size of a saved configuration file, with or without its script.
bool hasConfigLayout(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return !ec && (size == config_file_layout::kShortSize || size == config_file_layout::kFullSize);
}

int infoFirmware(const std::string& path) {
    // The loader's refusal of a file without records is not the last word
    // here: a configuration file under another name is still summarised.
    class NoRecordsUi : public StderrUi {
    public:
        bool noRecords = false;
        void message(const std::string& text, MessageKind kind) override {
            if (text == kNoFirmwareRecords) noRecords = true;
            else StderrUi::message(text, kind);
        }
    } ui;
    auto owned = std::make_unique<FlashImage>();
    FlashImage& image = *owned;
    const int rc = loadSRecordFile(path, image, ui);
    if (ui.noRecords) {
        // Anything else is neither, and "bytes: 0" would pass it off as an
        // empty firmware.
        if (!path.empty() && hasConfigLayout(path)) return infoConfig(path);
        ui.StderrUi::message((path.empty() ? std::string("Standard input") : path) +
                             " holds neither S-records nor a configuration file's layout");
        return 1;
    }
    std::uint32_t count = 0;
    std::uint32_t addr = 0;
    while (addr < kFlashSize) {
        if (image.touched[addr] == kUntouched) {
            ++addr;
            continue;
        }
        const std::uint32_t start = addr;
        while (addr < kFlashSize && image.touched[addr] != kUntouched) ++addr;
        std::cout << "range: " << hex(start) << "-" << hex(addr - 1) << " (" << addr - start << " bytes)\n";
        count += addr - start;
    }
    std::cout << "bytes: " << count << '\n';
    return rc == 0 ? 0 : 1;
}

}  // namespace

void addInfoCommand(CLI::App& app, int& status) {
    auto* cmd = app.add_subcommand("info", "Summarise a configuration (.cfg) or firmware (.s19) file");
    auto path = std::make_shared<std::string>();
    cmd->add_option("FILE", *path, "configuration or S-record file (- reads S-records from standard input)")
        ->required();
    cmd->callback([path, &status] {
        // "-" reads an S-record file from standard input.
        if (*path == "-") status = infoFirmware("");
        else status = endsWith(*path, ".cfg") ? infoConfig(*path) : infoFirmware(*path);
    });
}

}  // namespace varnel::cli
