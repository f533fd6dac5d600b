#pragma once

#include <array>
#include <string>
#include <vector>

#include "forms/common/form_control.h"

namespace varnel {

// Control ids of the Backups window. Close is the dialog's Cancel, so that
// Escape and the close button end the window the same way.
namespace backups_id {
inline constexpr int kClose = 2;
inline constexpr int kBackupList = 1401;
inline constexpr int kNote = 1402;
inline constexpr int kWriteBack = 1403;
inline constexpr int kSaveCopy = 1404;
}  // namespace backups_id

// What the window's controls hold: the backups, newest first, one row each.
struct BackupsForm {
    FormControl backupList;
    FormControl note;  // how many there are, or that there are none yet
    FormControl writeBackButton, saveCopyButton, closeButton;
};

inline constexpr std::size_t kBackupsControlCount = 5;
extern const std::array<ControlInfo<BackupsForm>, kBackupsControlCount> kBackupsControls;

inline constexpr const char* kNoBackupsNote = "No backups yet: one is kept before every write.";

// A backup's row: "AP64, 2026-12-08 12:15:30" for the name the backup step
// gives its files ("AP64_2026-12-08_121530.cfg"; a second one within the
// same second "... (2)"); any other file shows its own name.
std::string backupRowText(const std::string& fileName);

// Fills the list from the backup files (full paths, newest first), keeping
// `selected` chosen when it is still there, else the newest. Write back
// needs a tracker; both buttons need a backup. The note under the list says
// how many there are, or that there are none yet.
void showBackups(BackupsForm& form, const std::vector<std::string>& paths, const std::string& selected, bool connected);

}  // namespace varnel
