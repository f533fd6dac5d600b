#include "session/config_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "core/user_interface.h"

namespace varnel {
namespace {

constexpr const char* kWriteError = "Error writing to configuration file";
constexpr const char* kReadError = "Error reading configuration file";

using config_file_layout::kDeviceIdSize;
using config_file_layout::kFullSize;
using config_file_layout::kRadioFileSize;
using config_file_layout::kRadioOffset;
using config_file_layout::kScriptOffset;
using config_file_layout::kSettingsOffset;
using config_file_layout::kShortSize;

// The file as it would be written: the device id in a 32-byte field (NUL
// padded when shorter), the settings record, and the script where it belongs.
std::vector<std::uint8_t> fileBytes(const Session& session, ConfigFlavour flavour) {
    const bool withScript = configFileHasScript(flavour, session.target.kind);
    const bool withRadio = configFileHasRadio(flavour, session.target.kind);
    std::vector<std::uint8_t> out(withScript ? kFullSize : withRadio ? kRadioFileSize : kShortSize, 0);
    const std::string& id = session.link.deviceInfo.deviceId;
    std::memcpy(out.data(), id.data(), std::min(id.size(), kDeviceIdSize));
    std::memcpy(&out[kSettingsOffset], session.settings.bytes.data(), session.settings.bytes.size());
    if (withScript) std::memcpy(&out[kScriptOffset], session.script.bytes.data(), session.script.bytes.size());
    if (withRadio) std::memcpy(&out[kRadioOffset], session.radio.bytes.data(), session.radio.bytes.size());
    return out;
}

// The script part as far as the file holds it; bytes the file lacks keep
// their previous values.
void takeScript(std::span<const std::uint8_t> bytes, ScriptArea& script) {
    if (bytes.size() <= kScriptOffset) return;
    const std::size_t n = std::min(bytes.size() - kScriptOffset, script.bytes.size());
    std::memcpy(script.bytes.data(), &bytes[kScriptOffset], n);
}

// The radio block when the file holds all of it; an older file without it
// leaves the block as it was.
void takeRadio(std::span<const std::uint8_t> bytes, RadioBlock& radio) {
    if (bytes.size() >= kRadioFileSize) std::memcpy(radio.bytes.data(), &bytes[kRadioOffset], radio.bytes.size());
}

// A file that holds at least the device id and the whole settings record. A
// shorter file would splice its fragment of a record onto the working
// settings, so it is refused before anything changes.
bool longEnough(std::span<const std::uint8_t> bytes, UserInterface& ui) {
    if (bytes.size() >= kShortSize) return true;
    ui.message(std::string(kReadError) + ": it holds " + std::to_string(bytes.size()) +
               " bytes, a configuration file at least " + std::to_string(kShortSize));
    return false;
}

}  // namespace

// Writes the whole file under a temporary name beside the target and renames
// it into place only when every byte is out, so a full disk or a vanished
// folder never leaves a half-written file in place of the previous one.
bool writeFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string temporary = path + ".part";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temporary, path, ec);
        ok = !ec;
    }
    if (!ok) std::filesystem::remove(temporary, ec);
    return ok;
}

// The first 1049 bytes of the file (later bytes are never used), or nothing
// when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readFileHead(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::vector<std::uint8_t> bytes(kFullSize);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

ConfigFlavour configFlavourFor(const SettingsRecord& settings) {
    return settings.family() == kFamilyWeather ? ConfigFlavour::Weather : ConfigFlavour::Tracker;
}

bool configFileHasRadio(ConfigFlavour flavour, TargetKind kind) {
    return flavour == ConfigFlavour::Tracker && kind == KindJL16;
}

bool configFileHasScript(ConfigFlavour flavour, TargetKind kind) {
    return flavour == ConfigFlavour::Tracker && (kind == KindAP64 || kind == KindJM60 || kind == KindJM128);
}

int saveConfigFile(const std::string& path, const Session& session, ConfigFlavour flavour, UserInterface& ui) {
    if (!writeFileReplacing(path, fileBytes(session, flavour))) {
        ui.message(kWriteError, MessageKind::Error);
        return -1;
    }
    return 0;
}

int loadConfigFile(const std::string& path, Session& session, ConfigFlavour flavour, UserInterface& ui) {
    const auto bytes = readFileHead(path);
    if (!bytes) {
        ui.message(kReadError, MessageKind::Error);
        return -1;
    }
    return loadConfigBytes(*bytes, session, flavour, ui);
}

int loadConfigFileOffline(const std::string& path, Session& session, UserInterface& ui) {
    const auto bytes = readFileHead(path);
    if (!bytes) {
        ui.message(kReadError, MessageKind::Error);
        return -1;
    }
    if (loadConfigBytesOffline(*bytes, session, ui) != 0) return -1;
    session.offlineFile = path;
    return 0;
}

std::string settingsDialogTitle(const std::string& title, const Session& session) {
    if (session.link.connected || session.offlineFile.empty()) return title;
    return title + " - " + std::filesystem::path(session.offlineFile).filename().string() + " (offline)";
}

int loadConfigBytes(std::span<const std::uint8_t> bytes, Session& session, ConfigFlavour flavour, UserInterface& ui) {
    if (!longEnough(bytes, ui)) return -1;

    // The connected device's firmware decides family, type and build; the
    // flags byte and everything after it come from the file.
    const SettingsHeader kept = SettingsHeader::of(session.settings);
    std::memcpy(session.settings.bytes.data(), &bytes[kSettingsOffset], session.settings.bytes.size());
    if (configFileHasScript(flavour, session.target.kind)) takeScript(bytes, session.script);
    if (configFileHasRadio(flavour, session.target.kind)) takeRadio(bytes, session.radio);
    session.settings.setFamily(kept.family);
    session.settings.setType(kept.type);
    session.settings.setBuild(kept.build);
    return 0;
}

int loadConfigBytesOffline(std::span<const std::uint8_t> bytes, Session& session, UserInterface& ui) {
    if (!longEnough(bytes, ui)) return -1;

    std::memcpy(session.settings.bytes.data(), &bytes[kSettingsOffset], session.settings.bytes.size());

    const char* id = reinterpret_cast<const char*>(bytes.data());
    const void* nul = std::memchr(id, 0, kDeviceIdSize);
    const std::size_t idLength = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - id) : kDeviceIdSize;
    session.link.deviceInfo.deviceId.assign(id, idLength);
    splitDeviceId(session.link.deviceInfo.deviceId, session.link.chipName, session.link.targetSuffix);
    selectTarget(session.target, session.link.chipName);
    // What follows the settings is a JL16's radio block or any other chip's
    // script.
    if (session.target.kind == KindJL16) takeRadio(bytes, session.radio);
    else takeScript(bytes, session.script);
    return 0;
}

}  // namespace varnel
