#pragma once

#include <string>

namespace varnel::web {

// The calls C++ makes into the page script (site/page.js). Every wait for the
// browser is one of the two awaiting calls below: C++ is suspended there
// (Asyncify) and resumes when the page has an event or the browser has had
// its turn. The page never calls C++.
namespace page {

// The next event of the page's queue as "token\tkind\tname\tvalue",
// waiting for one when there is none.
std::string nextEvent();
// The next event if one is queued, else "".
std::string takeEvent();
// Lets the browser run its input handlers, timers and promises, then returns.
void yieldTurn();

int openWindow(const std::string& uiName);
void closeWindow(int token);
void setTitle(int token, const std::string& text);
void startTimer(int token, int id, int ms);
void stopTimer(int token, int id);

// The answer comes back as an "answer" event of the returned token; the
// button at `byDefault` has the focus.
int showMessage(const std::string& text, const std::string& buttons, int byDefault);

bool setControl(int token, const std::string& name, const char* kind, const std::string& text, bool checked,
                int selected, int position, bool enabled, bool visible, const std::string& entries);
std::string getControl(int token, const std::string& name, const char* kind);
std::string caption(int token, const std::string& name);
void setControlFlags(int token, const std::string& name, const char* flags);
void setTooltip(int token, const std::string& name, const std::string& text);

void setText(int token, const std::string& name, const std::string& text);
void setEnabled(int token, const std::string& name, bool on);
void setShown(int token, const std::string& name, bool on);
void setProgress(int token, const std::string& name, int low, int high, int position);
void focus(int token, const std::string& name);
// The connect window's port slots, their labels and tooltips.
void setSlots(int token, const std::string& groupName, const std::string& labels, const std::string& tooltips);
int checkedSlot(int token, const std::string& groupName);  // 1-based, 0 for none
void checkSlot(int token, const std::string& groupName, int slot);

// A table's rows, cells apart by \x1f, rows by \x1e; the row the user picked
// (-1: none).
void setTableRows(int token, const std::string& name, const std::string& rows);
int selectedTableRow(int token, const std::string& name);

double now();  // milliseconds, monotonic

}  // namespace page

// One event of the page's queue.
struct PageEvent {
    int token = 0;      // the window (or message box) it belongs to
    std::string kind;   // click, change, slide, tab, activate, close, timer, answer
    std::string name;   // the control's object name
    std::string value;  // a timer's id, a tab's index, an answer's button
    int number() const;
};

PageEvent parsePageEvent(const std::string& text);

}  // namespace varnel::web
