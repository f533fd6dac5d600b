#include "forms/backups/backups_form.h"

#include <cctype>
#include <filesystem>

namespace varnel {

namespace id = backups_id;
using T = ControlType;
using F = BackupsForm;

const std::array<ControlInfo<BackupsForm>, kBackupsControlCount> kBackupsControls{{
    // A list is not named by the caption tied to it, so it carries the name.
    {id::kBackupList, "backupList", T::ListBox, &F::backupList, 0, "", "Backups"},
    {id::kNote, "noteLabel", T::Label, &F::note, 0, ""},
    {id::kWriteBack, "writeBackButton", T::Button, &F::writeBackButton, 0,
     "Write the chosen backup to the tracker; what it holds now is backed up first"},
    {id::kSaveCopy, "saveCopyButton", T::Button, &F::saveCopyButton, 0, "Save a copy of the chosen backup"},
    {id::kClose, "closeButton", T::Button, &F::closeButton, 0, ""},
}};

std::string backupRowText(const std::string& fileName) {
    // <chip>_YYYY-MM-DD_HHMMSS[-n].cfg; the chip may itself hold '_'.
    const std::string stem = std::filesystem::path(fileName).stem().string();
    std::string base = stem, count;
    if (const std::size_t dash = stem.rfind('-'); dash != std::string::npos && dash + 1 < stem.size()) {
        const std::string tail = stem.substr(dash + 1);
        bool digits = true;
        for (char c : tail) digits = digits && std::isdigit(static_cast<unsigned char>(c));
        if (digits && tail.size() < 4) base = stem.substr(0, dash), count = tail;
    }
    constexpr std::string_view kPattern = "_dddd-dd-dd_dddddd";
    if (base.size() <= kPattern.size()) return fileName;
    const std::string stamp = base.substr(base.size() - kPattern.size());
    for (std::size_t i = 0; i < kPattern.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(stamp[i]));
        if (kPattern[i] == 'd' ? !digit : stamp[i] != kPattern[i]) return fileName;
    }
    std::string text = base.substr(0, base.size() - kPattern.size()) + ", " + stamp.substr(1, 10) + " " +
                       stamp.substr(12, 2) + ":" + stamp.substr(14, 2) + ":" + stamp.substr(16, 2);
    if (!count.empty()) text += " (" + count + ")";
    return text;
}

void showBackups(BackupsForm& form, const std::vector<std::string>& paths, const std::string& selected,
                 bool connected) {
    form.backupList.entries.clear();
    form.backupList.selected = paths.empty() ? -1 : 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        form.backupList.entries.push_back(
            {backupRowText(std::filesystem::path(paths[i]).filename().string()), static_cast<int>(i)});
        if (paths[i] == selected) form.backupList.selected = static_cast<int>(i);
    }
    if (paths.empty()) {
        form.note.text = kNoBackupsNote;
    } else {
        form.note.text =
            std::to_string(paths.size()) + (paths.size() == 1 ? " backup" : " backups") + ", newest first.";
        if (!connected) form.note.text += " Connect a tracker to write one back.";
    }
    form.writeBackButton.enabled = connected && !paths.empty();
    form.saveCopyButton.enabled = !paths.empty();
}

}  // namespace varnel
