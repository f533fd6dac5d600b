#pragma once

#include <string>
#include <vector>

#include "forms/backups/backups_form.h"
#include "shell/app_context.h"
#include "shell/front_end.h"

namespace varnel {

class BackupsView : public WindowHost {
public:
    virtual void readForm(BackupsForm& form) = 0;
    virtual void showForm(const BackupsForm& form) = 0;
};

// The Backups window: the configuration files the write sequence keeps in
// the backup folder before every write, newest first. Write back puts the
// chosen one on the connected tracker through the same write (so what the
// tracker holds now is backed up first); Save a copy puts it where the user
// says (in the browser, a download). Ends with kResultAccepted when a backup
// was written back: the working records are then the backup's, and the
// opener shows them.
class BackupsWindow {
public:
    BackupsWindow(AppContext& context, BackupsView& view) : context_(context), view_(view) {}

    BackupsForm& form() { return form_; }
    void start();

    void writeBackPressed();
    void saveCopyPressed();
    // Close, Escape or the window's close button.
    void closePressed();

    const std::vector<std::string>& backups() const { return paths_; }

private:
    // The chosen backup's path, "" when none is chosen.
    std::string chosen();
    void refresh(const std::string& keepSelected);

    AppContext& context_;
    BackupsView& view_;
    BackupsForm form_;
    std::vector<std::string> paths_;
    bool wroteBack_ = false;
};

// Why a backup's bytes are not written to the connected tracker: made on
// another chip, or by another firmware family. "" when they may be.
std::string backupWriteBackRefusal(const std::vector<std::uint8_t>& bytes, const Session& session);

}  // namespace varnel
