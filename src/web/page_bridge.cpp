#include "web/page_bridge.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace varnel::web {

namespace {

// A string the page made with _malloc, owned from here on.
std::string adopt(char* text) {
    std::unique_ptr<char, decltype(&std::free)> owned(text, &std::free);
    return text ? std::string(text) : std::string();
}

// clang-format off
EM_ASYNC_JS(char*, js_nextEvent, (), {
    const text = await window.varnel.nextEvent();
    const n = lengthBytesUTF8(text) + 1;
    const p = _malloc(n);
    stringToUTF8(text, p, n);
    return p;
});
EM_ASYNC_JS(void, js_yieldTurn, (), { await window.varnel.yieldTurn(); });
EM_JS(char*, js_takeEvent, (), {
    const text = window.varnel.takeEvent();
    const n = lengthBytesUTF8(text) + 1;
    const p = _malloc(n);
    stringToUTF8(text, p, n);
    return p;
});
EM_JS(int, js_openWindow, (const char* name), { return window.varnel.openWindow(UTF8ToString(name)); });
EM_JS(void, js_closeWindow, (int token), { window.varnel.closeWindow(token); });
EM_JS(void, js_setTitle, (int token, const char* text), { window.varnel.setTitle(token, UTF8ToString(text)); });
EM_JS(void, js_startTimer, (int token, int id, int ms), { window.varnel.startTimer(token, id, ms); });
EM_JS(void, js_stopTimer, (int token, int id), { window.varnel.stopTimer(token, id); });
EM_JS(int, js_showMessage, (const char* text, const char* buttons, int byDefault), {
    return window.varnel.showMessage(UTF8ToString(text), UTF8ToString(buttons), byDefault);
});
EM_JS(int, js_setControl, (int token, const char* name, const char* kind, const char* text, int checked,
                           int selected, int position, int enabled, int visible, const char* entries), {
    return window.varnel.setControl(token, UTF8ToString(name), UTF8ToString(kind), UTF8ToString(text),
                                    checked !== 0, selected, position, enabled !== 0, visible !== 0,
                                    UTF8ToString(entries)) ? 1 : 0;
});
EM_JS(char*, js_getControl, (int token, const char* name, const char* kind), {
    const text = window.varnel.getControl(token, UTF8ToString(name), UTF8ToString(kind));
    const n = lengthBytesUTF8(text) + 1;
    const p = _malloc(n);
    stringToUTF8(text, p, n);
    return p;
});
EM_JS(char*, js_caption, (int token, const char* name), {
    const text = window.varnel.caption(token, UTF8ToString(name));
    const n = lengthBytesUTF8(text) + 1;
    const p = _malloc(n);
    stringToUTF8(text, p, n);
    return p;
});
EM_JS(void, js_setControlFlags, (int token, const char* name, const char* flags), {
    window.varnel.setControlFlags(token, UTF8ToString(name), UTF8ToString(flags));
});
EM_JS(void, js_setTooltip, (int token, const char* name, const char* text), {
    window.varnel.setTooltip(token, UTF8ToString(name), UTF8ToString(text));
});
EM_JS(double, js_now, (), { return performance.now(); });
EM_JS(void, js_setText, (int token, const char* name, const char* text), {
    window.varnel.setText(token, UTF8ToString(name), UTF8ToString(text));
});
EM_JS(void, js_setEnabled, (int token, const char* name, int on), {
    window.varnel.setEnabled(token, UTF8ToString(name), on !== 0);
});
EM_JS(void, js_setShown, (int token, const char* name, int on), {
    window.varnel.setShown(token, UTF8ToString(name), on !== 0);
});
EM_JS(void, js_setProgress, (int token, const char* name, int low, int high, int position), {
    window.varnel.setProgress(token, UTF8ToString(name), low, high, position);
});
EM_JS(void, js_focus, (int token, const char* name), { window.varnel.focus(token, UTF8ToString(name)); });
EM_JS(void, js_setSlots, (int token, const char* group, const char* labels, const char* tooltips), {
    window.varnel.setSlots(token, UTF8ToString(group), UTF8ToString(labels), UTF8ToString(tooltips));
});
EM_JS(int, js_checkedSlot, (int token, const char* group), {
    return window.varnel.checkedSlot(token, UTF8ToString(group));
});
EM_JS(void, js_checkSlot, (int token, const char* group, int slot), {
    window.varnel.checkSlot(token, UTF8ToString(group), slot);
});
EM_JS(void, js_setTableRows, (int token, const char* name, const char* rows), {
    window.varnel.setTableRows(token, UTF8ToString(name), UTF8ToString(rows));
});
EM_JS(int, js_selectedTableRow, (int token, const char* name), {
    return window.varnel.selectedTableRow(token, UTF8ToString(name));
});
// clang-format on

}  // namespace

namespace page {

void setTableRows(int token, const std::string& name, const std::string& rows) {
    js_setTableRows(token, name.c_str(), rows.c_str());
}
int selectedTableRow(int token, const std::string& name) { return js_selectedTableRow(token, name.c_str()); }

std::string nextEvent() { return adopt(js_nextEvent()); }
std::string takeEvent() { return adopt(js_takeEvent()); }
void yieldTurn() { js_yieldTurn(); }
int openWindow(const std::string& uiName) { return js_openWindow(uiName.c_str()); }
void closeWindow(int token) { js_closeWindow(token); }
void setTitle(int token, const std::string& text) { js_setTitle(token, text.c_str()); }
void startTimer(int token, int id, int ms) { js_startTimer(token, id, ms); }
void stopTimer(int token, int id) { js_stopTimer(token, id); }
int showMessage(const std::string& text, const std::string& buttons, int byDefault) {
    return js_showMessage(text.c_str(), buttons.c_str(), byDefault);
}
bool setControl(int token, const std::string& name, const char* kind, const std::string& text, bool checked,
                int selected, int position, bool enabled, bool visible, const std::string& entries) {
    return js_setControl(token, name.c_str(), kind, text.c_str(), checked, selected, position, enabled, visible,
                         entries.c_str()) != 0;
}
std::string getControl(int token, const std::string& name, const char* kind) {
    return adopt(js_getControl(token, name.c_str(), kind));
}
std::string caption(int token, const std::string& name) { return adopt(js_caption(token, name.c_str())); }
void setControlFlags(int token, const std::string& name, const char* flags) {
    js_setControlFlags(token, name.c_str(), flags);
}
void setTooltip(int token, const std::string& name, const std::string& text) {
    js_setTooltip(token, name.c_str(), text.c_str());
}
double now() { return js_now(); }
void setText(int token, const std::string& name, const std::string& text) {
    js_setText(token, name.c_str(), text.c_str());
}
void setEnabled(int token, const std::string& name, bool on) { js_setEnabled(token, name.c_str(), on); }
void setShown(int token, const std::string& name, bool on) { js_setShown(token, name.c_str(), on); }
void setProgress(int token, const std::string& name, int low, int high, int position) {
    js_setProgress(token, name.c_str(), low, high, position);
}
void focus(int token, const std::string& name) { js_focus(token, name.c_str()); }
void setSlots(int token, const std::string& groupName, const std::string& labels, const std::string& tooltips) {
    js_setSlots(token, groupName.c_str(), labels.c_str(), tooltips.c_str());
}
int checkedSlot(int token, const std::string& groupName) { return js_checkedSlot(token, groupName.c_str()); }
void checkSlot(int token, const std::string& groupName, int slot) { js_checkSlot(token, groupName.c_str(), slot); }

}  // namespace page

int PageEvent::number() const { return std::atoi(value.c_str()); }

PageEvent parsePageEvent(const std::string& text) {
    PageEvent e;
    std::string fields[4];
    std::size_t field = 0;
    for (char c : text) {
        if (c == '\t' && field < 3) ++field;
        else fields[field] += c;
    }
    e.token = std::atoi(fields[0].c_str());
    e.kind = fields[1];
    e.name = fields[2];
    e.value = fields[3];
    return e;
}

}  // namespace varnel::web
