#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "session/session.h"

namespace varnel {

class UserInterface;

// Which dialog saves or loads: the main tracker dialog carries the script
// area for kinds 2, 4 and 5 and the radio block for kind 3; the
// weather-station dialog carries neither.
enum class ConfigFlavour { Tracker, Weather };

namespace config_file_layout {
inline constexpr std::size_t kDeviceIdSize = 32;
inline constexpr std::size_t kSettingsOffset = 32;
inline constexpr std::size_t kScriptOffset = 537;
inline constexpr std::size_t kShortSize = 537;
inline constexpr std::size_t kFullSize = 1049;
// A JL16 tracker file adds its radio block (channel frequencies, status
// texts) behind the settings, where the other kinds keep the script; older
// 537-byte JL16 files simply lack it.
inline constexpr std::size_t kRadioOffset = 537;
inline constexpr std::size_t kRadioFileSize = 691;
}  // namespace config_file_layout

// The flavour a settings record's family calls for: weather-station firmware
// is saved as its own dialog saves it (no script).
ConfigFlavour configFlavourFor(const SettingsRecord& settings);

// True when a file saved in this flavour for this target carries the script.
bool configFileHasScript(ConfigFlavour flavour, TargetKind kind);
// True when it carries the radio block.
bool configFileHasRadio(ConfigFlavour flavour, TargetKind kind);

// Writes the device id, the settings record and (where it belongs) the script
// area. 0, or -1 after "Error writing to configuration file".
int saveConfigFile(const std::string& path, const Session& session, ConfigFlavour flavour, UserInterface& ui);

// Loads into a connected session: the device keeps its family, type and build.
// 0, or -1 after "Error reading configuration file" (nothing changed).
int loadConfigFile(const std::string& path, Session& session, ConfigFlavour flavour, UserInterface& ui);

// Offline load: takes the whole record and the script (when present) and sets
// the device id from the file's header; the session remembers the file.
// 0, or -1 after the message.
int loadConfigFileOffline(const std::string& path, Session& session, UserInterface& ui);

// A settings dialog's title, with the file's name when an offline run edits
// one ("Varnel tracker configuration - my.cfg (offline)"), so the user sees
// that Write goes to a file's copy and not to a tracker.
std::string settingsDialogTitle(const std::string& title, const Session& session);

// A configuration file's bytes as the loads take them: the first 1049 (later
// bytes are never used), or nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> readFileHead(const std::string& path);
// Writes the bytes under a temporary name beside `path` and renames them into
// place once all are out, so a failed write never leaves half a file there.
bool writeFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The same two loads from a file's bytes already in memory (bytes past the
// full layout are never used). A file shorter than the settings record is
// refused before anything changes.
int loadConfigBytes(std::span<const std::uint8_t> bytes, Session& session, ConfigFlavour flavour, UserInterface& ui);
int loadConfigBytesOffline(std::span<const std::uint8_t> bytes, Session& session, UserInterface& ui);

}  // namespace varnel
