#include "link/tracker_backup.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

#include "config/settings_packing.h"
#include "core/user_interface.h"
#include "link/boot_link.h"
#include "link/device_configuration.h"
#include "session/config_file.h"
#include "session/session.h"

namespace varnel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kBackupExtension = ".cfg";

// Messages of the save itself go into the backup's own error text.
class QuietUi : public UserInterface {
public:
    void message(const std::string&, MessageKind) override {}
    bool askYesNo(const std::string&) override { return false; }
};

BackupResult failure(const std::string& folder, const std::string& why) {
    BackupResult refused;
    refused.error = "Could not save a backup of the tracker's settings in " + folder + " (" + why +
                    "); nothing was written to the tracker.";
    return refused;
}

// Creates the file only if no file has that name yet. Two units backed up
// in the same second (a fleet's writes run at once) must never share a
// name, so asking whether it exists and then writing is not enough.
bool createExclusive(const fs::path& path) {
#ifdef _WIN32
    const int fd = _wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return false;
    _close(fd);
#else
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
    if (fd < 0) return false;
    ::close(fd);
#endif
    return true;
}

// A name not yet taken, created empty and so reserved: two writes within one
// second get "-2", "-3", ... Empty when not even a new name can be created.
fs::path freePath(const fs::path& folder, const std::string& chipName, std::time_t when) {
    const std::string name = backupFileName(chipName, when);
    const std::string stem = name.substr(0, name.size() - std::char_traits<char>::length(kBackupExtension));
    fs::path path = folder / name;
    for (int n = 2; !createExclusive(path); ++n) {
        std::error_code ec;
        if (!fs::exists(path, ec)) return {};  // refused for another reason than the name
        path = folder / (stem + "-" + std::to_string(n) + kBackupExtension);
    }
    return path;
}

void keepNewest(const std::string& folder) {
    const std::vector<std::string> all = listBackups(folder);
    std::error_code ec;
    for (std::size_t i = kBackupsKept; i < all.size(); ++i) fs::remove(all[i], ec);
}

}  // namespace

std::string defaultBackupFolder() {
    auto env = [](const char* name) -> const char* {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0' ? value : nullptr;
    };
    fs::path base;
    if (const char* data = env("XDG_DATA_HOME")) {
        base = data;
#ifdef _WIN32
    } else if (const char* local = env("LOCALAPPDATA")) {
        base = local;  // the per-user, per-machine data folder on Windows
#endif
    } else {
        const char* home = env("HOME");
        base = fs::path(home != nullptr ? home : ".") / ".local" / "share";
    }
    return (base / "varnelcfg" / "backups").string();
}

std::string backupFileName(const std::string& chipName, std::time_t when) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H%M%S", &local);
    // A chip name comes from the tracker: keep only what is safe in a file name.
    std::string chip;
    for (char c : chipName) chip += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    if (chip.empty()) chip = "tracker";
    return chip + "_" + stamp + kBackupExtension;
}

std::vector<std::string> listBackups(const std::string& folder) {
    struct Entry {
        fs::file_time_type time;
        std::string path;
    };
    std::vector<Entry> entries;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        if (!e.is_regular_file(ec) || e.path().extension() != kBackupExtension) continue;
        entries.push_back({e.last_write_time(ec), e.path().string()});
    }
    // Newest first; within one clock tick the later name ("-2") is newer.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.time != b.time) return a.time > b.time;
        if (a.path.size() != b.path.size()) return a.path.size() > b.path.size();
        return a.path > b.path;
    });
    std::vector<std::string> paths;
    paths.reserve(entries.size());
    for (auto& e : entries) paths.push_back(std::move(e.path));
    return paths;
}

BackupResult backupTracker(BootLink& link, const std::string& folder) {
    // A session of its own (its flash image is large, so on the heap): the
    // caller's image already holds what is about to be written.
    // Read and unpacked exactly as `read` does, so a weather station's flat
    // block (and a JL16's radio block) come back whole when restored.
    auto copy = std::make_unique<Session>();
    copy->link.deviceInfo = link.link().deviceInfo;
    copy->link.chipName = link.link().chipName;
    if (link.target().settingsSize == 0 || readDeviceConfiguration(link, *copy) != 0)
        return failure(folder, "the tracker's settings could not be read");

    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return failure(folder, ec.message());
    const fs::path path = freePath(folder, link.link().chipName, std::time(nullptr));
    if (path.empty()) return failure(folder, "the file could not be created");
    QuietUi quiet;
    const ConfigFlavour flavour = configFlavourFor(copy->settings);
    if (saveConfigFile(path.string(), *copy, flavour, quiet) != 0) {
        fs::remove(path, ec);  // the reserved name, still empty
        return failure(folder, "the file could not be written");
    }
    keepNewest(folder);
    return {path.string(), {}, copy->snapshot(), flavour};
}

}  // namespace varnel
