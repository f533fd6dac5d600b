#include "shell/backups_window.h"

#include <cstring>
#include <filesystem>

#include "core/user_interface.h"
#include "link/tracker_backup.h"
#include "session/config_file.h"
#include "session/session.h"
#include "shell/firmware_sequences.h"

namespace varnel {

namespace {

constexpr const char* kConfigFilter = "Configuration Files (*.cfg)";
constexpr const char* kReadError = "Error reading configuration file";
constexpr const char* kWriteError = "Error writing to configuration file";

std::string fileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

std::string backupWriteBackRefusal(const std::vector<std::uint8_t>& bytes, const Session& session) {
    namespace layout = config_file_layout;
    if (bytes.size() < layout::kShortSize) return {};  // the loader says what is wrong with it
    const char* id = reinterpret_cast<const char*>(bytes.data());
    const void* nul = std::memchr(id, 0, layout::kDeviceIdSize);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - id) : layout::kDeviceIdSize;
    std::string chip, suffix;
    splitDeviceId(std::string(id, length), chip, suffix);
    if (chip != session.link.chipName)
        return "The backup is for " + (chip.empty() ? std::string("an unnamed chip") : chip) + " but the tracker is " +
               session.link.chipName + "; it was not written.";
    // The settings of one firmware family mean something else to another.
    const std::uint8_t family = bytes[layout::kSettingsOffset + settings_layout::kFamily];
    if (family != session.settings.family())
        return std::string("The backup holds settings of another firmware family (") + familyDescription(family) +
               ") than the tracker's (" + familyDescription(session.settings.family()) + "); it was not written.";
    return {};
}

void BackupsWindow::start() { refresh({}); }

void BackupsWindow::refresh(const std::string& keepSelected) {
    paths_ = listBackups(context_.backupFolder);
    showBackups(form_, paths_, keepSelected, context_.session.link.connected);
    view_.showForm(form_);
}

std::string BackupsWindow::chosen() {
    view_.readForm(form_);
    const int row = form_.backupList.selected;
    return row >= 0 && row < static_cast<int>(paths_.size()) ? paths_[static_cast<std::size_t>(row)] : std::string();
}

void BackupsWindow::writeBackPressed() {
    const std::string path = chosen();
    Session& s = context_.session;
    if (path.empty() || !s.link.connected) return;
    const auto read = readFileHead(path);
    if (!read) {
        context_.ui.message(kReadError, MessageKind::Error);
        return refresh(path);
    }
    const std::vector<std::uint8_t>& bytes = *read;
    // A backup that cannot go to this tracker is refused before asking.
    if (const std::string refusal = backupWriteBackRefusal(bytes, s); !refusal.empty()) {
        context_.ui.message(refusal, MessageKind::Error);
        return;
    }
    if (!context_.ui.askYesNoDefaultNo("Write the backup " + fileName(path) +
                                       " to the tracker?\n\nThe settings the tracker holds now are backed up first."))
        return;
    std::error_code error;
    const auto madeAt = std::filesystem::last_write_time(path, error);
    const ConfigFlavour flavour = configFlavourFor(s.settings);
    const RecordsSnapshot edits = s.snapshot();
    if (loadConfigBytes(bytes, s, flavour, context_.ui) != 0) return;
    if (writeConfiguration(context_, flavour) == 0) {
        s.markSaved();
        wroteBack_ = true;
    } else {
        // Nothing of the backup reached the tracker for sure: the window the
        // user came from keeps what it held.
        s.restore(edits);
    }
    // Saving the write's own backup keeps only the newest kBackupsKept, so
    // the oldest file may be the one just written back: it stays, in its
    // place in the list, until the next write's backup holds what it held.
    if (!std::filesystem::exists(path, error) && writeFileReplacing(path, bytes))
        std::filesystem::last_write_time(path, madeAt, error);
    refresh(path);
}

void BackupsWindow::saveCopyPressed() {
    const std::string path = chosen();
    if (path.empty()) return;
    const auto read = readFileHead(path);
    if (!read) {
        context_.ui.message(kReadError, MessageKind::Error);
        return refresh(path);
    }
    const std::vector<std::uint8_t>& bytes = *read;
    const std::string target = context_.files.saveFile(kConfigFilter, "cfg", fileName(path));
    if (target.empty()) return;
    if (!writeFileReplacing(target, bytes)) context_.ui.message(kWriteError, MessageKind::Error);
}

void BackupsWindow::closePressed() { view_.end(wroteBack_ ? kResultAccepted : kResultRejected); }

}  // namespace varnel
