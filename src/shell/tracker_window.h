#pragma once

#include <string>

#include "forms/tracker/tracker_form.h"
#include "shell/app_context.h"
#include "shell/front_end.h"

namespace varnel {

// The main tracker window as its behaviour sees it: its widgets copied to
// the form and back (through kTrackerControls).
class TrackerView : public WindowHost {
public:
    virtual void readForm(TrackerForm& form) = 0;
    virtual void showForm(const TrackerForm& form) = 0;
    virtual void showTitle(const std::string& title) = 0;
};

// The main tracker dialog's behaviour: the two profiles of a tracker under
// two tabs, the commands that write them, save and load them, open the
// windows of settings that do not fit the page, and put new firmware on the
// tracker. Its controls report here by id, and this decides what each does;
// every rule of a control is the form's. Ends with kResultReconnect after
// new firmware was written or when an offline Write connected a tracker.
class TrackerWindow : public ControlEvents {
public:
    TrackerWindow(AppContext& context, TrackerView& view) : context_(context), view_(view) {}

    // The form the view fills its captions into before start().
    TrackerForm& form() { return form_; }
    // Fills the form from the session in the units the user chose last time;
    // the title names the file an offline run edits.
    void start();

    // Which button runs which command or opens which window, which radio
    // button switches the units, which control goes to the form's change rule.
    void clicked(int controlId) override;
    void edited(int controlId) override;
    void tabChanged(int tab) override;
    // Exit, Escape or the window's close button: asks before dropping edits.
    void exitRequested();
    // The window menu's "Export firmware to .BIN".
    void exportPressed();
    // A key that reached the window itself, not a control: its code and the
    // key data laid out as on Windows (repeat count in bits 0-15, scan code in
    // 16-23, Alt held in bit 29, key already down in bit 30).
    void keyPressed(unsigned code, unsigned keyData);

private:
    void controlChanged(int controlId);
    void unitsChosen(bool metric);
    void writePressed();
    void copyPressed();
    void saveFilePressed();
    void loadFilePressed();
    void backupsPressed();
    void firmwarePressed(bool fromNetwork);
    void diagnosticsPressed();
    // The script editor and the windows of settings that do not fit the page.
    void windowPressed(WindowKind kind);
    int checkAndStoreControls();
    void endIfReconnect(int result);

    AppContext& context_;
    TrackerView& view_;
    TrackerForm form_;
};

}  // namespace varnel
