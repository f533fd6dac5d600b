// varnel-desktop-driver.exe: plays a user at the real varnelcfg.exe, from
// outside its process, through the window messages a user's clicks and
// typing produce. It reads a script of steps, one per line:
//
//   start COMMAND LINE      start the program (its windows are the driven ones)
//   window TITLE            wait for the program's window of this title to be the
//                           one taking input (a modal window above it disables it)
//   type ID TEXT            put TEXT into the edit ID of that window
//   click ID|CAPTION        click the button with this id, or captioned CAPTION
//                           (else the first whose caption starts with it)
//   check ID 0|1            click the check box ID unless it already is so
//   first ID                choose the first row of the list ID (its Home key)
//   text ID TEXT            wait until control ID shows TEXT somewhere in its text
//   shown ID                wait until control ID is on the screen, with room
//   partial ID              wait until the progress bar ID stands between its
//                           ends (a write seen under way, not only once done)
//   live ID MS              while the progress bar ID stands between its ends,
//                           every window of the program answers a message
//                           within MS milliseconds (it keeps pumping while the
//                           link waits); at least a few answers are needed
//   centred                 the window stands centred over the window it belongs to
//   capture NAME            save the window as NAME.bmp in $VARNEL_SCREENSHOT_DIR
//   await PATH              wait until the file PATH exists (the test's go-ahead)
//   exit CODE               wait for the program to end with this exit status
//
// A step that waits gives up after a minute. On any failure the driver says
// which step, lists the program's windows with their texts (an unexpected
// message box is then in plain sight), ends the program and exits 1.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "win32/window_capture.h"

namespace {

constexpr DWORD kWaitMs = 60000;
constexpr DWORD kPollMs = 50;

std::wstring wide(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string narrow(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// A window's text, asked of its own thread (the program is another process).
std::wstring textOf(HWND window) {
    wchar_t buffer[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    return buffer;
}

std::wstring withoutAccelerators(std::wstring caption) {
    std::erase(caption, L'&');
    return caption;
}

struct Program {
    PROCESS_INFORMATION process{};
    HWND current = nullptr;
};

std::vector<HWND> windowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == s.processId && IsWindowVisible(w)) s.found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Keeps asking until `ready` gives a value or the wait is over.
template <class F>
auto waitFor(F ready) -> decltype(ready()) {
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    for (;;) {
        if (auto v = ready()) return v;
        if (GetTickCount64() >= end) return {};
        Sleep(kPollMs);
    }
}

HWND buttonByCaption(HWND dialog, const std::wstring& caption) {
    struct Search {
        std::wstring caption;
        HWND found = nullptr;  // the button captioned exactly so, else the first that starts so
    } search{caption};
    EnumChildWindows(
        dialog,
        [](HWND w, LPARAM p) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(p);
            wchar_t cls[32] = {};
            GetClassNameW(w, cls, 32);
            if (_wcsicmp(cls, L"Button") != 0 || !IsWindowVisible(w)) return TRUE;
            const std::wstring text = withoutAccelerators(textOf(w));
            if (text == s.caption) {
                s.found = w;
                return FALSE;
            }
            if (!s.found && text.starts_with(s.caption)) s.found = w;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void describeWindows(const Program& program) {
    for (HWND w : windowsOf(program.process.dwProcessId)) {
        std::printf("  window \"%s\"%s\n", narrow(textOf(w)).c_str(), IsWindowEnabled(w) ? "" : " (disabled)");
        for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const std::wstring t = textOf(c);
            if (!t.empty() && IsWindowVisible(c)) std::printf("    %d: %s\n", GetDlgCtrlID(c), narrow(t).c_str());
        }
    }
}

// One step; an empty result is success, else what went wrong.
std::string play(Program& program, const std::string& verb, const std::string& rest) {
    const auto control = [&](const std::string& idText) -> HWND {
        return program.current ? GetDlgItem(program.current, std::atoi(idText.c_str())) : nullptr;
    };
    std::istringstream args(rest);
    std::string first;
    args >> first;
    std::string remainder;
    std::getline(args >> std::ws, remainder);

    if (verb == "start") {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = wide(rest);
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &program.process))
            return "the program did not start (error " + std::to_string(GetLastError()) + ")";
        return {};
    }
    if (verb == "window") {
        const std::wstring title = wide(rest);
        program.current = waitFor([&]() -> HWND {
            for (HWND w : windowsOf(program.process.dwProcessId))
                if (IsWindowEnabled(w) && textOf(w) == title) return w;
            return nullptr;
        });
        return program.current ? "" : "no window \"" + rest + "\" took input";
    }
    if (verb == "type") {
        HWND edit = control(first);
        if (!edit) return "no control " + first;
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide(remainder).c_str()));
        return {};
    }
    if (verb == "click" || verb == "check") {
        const bool byId = !first.empty() && std::isdigit(static_cast<unsigned char>(first[0]));
        HWND button = byId ? control(first) : buttonByCaption(program.current, wide(rest));
        if (!button) return "no button " + (byId ? first : rest);
        // A user cannot click what is hidden or greyed out.
        if (!IsWindowVisible(button) || !IsWindowEnabled(button)) return "button " + rest + " cannot be clicked";
        if (verb == "check" && (SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) == (remainder == "1"))
            return {};
        // Posted, as a click arrives: the window it opens runs its own loop.
        PostMessageW(button, BM_CLICK, 0, 0);
        return {};
    }
    if (verb == "first") {
        HWND list = control(first);
        if (!list) return "no control " + first;
        PostMessageW(list, WM_KEYDOWN, VK_HOME, 0);
        PostMessageW(list, WM_KEYUP, VK_HOME, 0);
        return {};
    }
    if (verb == "text") {
        HWND c = control(first);
        if (!c) return "no control " + first;
        const std::wstring wanted = wide(remainder);
        const bool shown = waitFor([&] { return textOf(c).find(wanted) != std::wstring::npos; });
        return shown ? "" : "control " + first + " shows \"" + narrow(textOf(c)) + "\"";
    }
    if (verb == "shown") {
        HWND c = control(first);
        if (!c) return "no control " + first;
        const bool shown = waitFor([&] {
            RECT r;
            GetWindowRect(c, &r);
            return IsWindowVisible(c) && r.right > r.left && r.bottom > r.top;
        });
        return shown ? "" : "control " + first + " is not on the screen";
    }
    if (verb == "partial") {
        HWND bar = control(first);
        if (!bar) return "no control " + first;
        // The range's limits come back as the answer itself: nothing
        // crosses between the processes but the numbers.
        LRESULT position = 0, high = 0;
        const bool under = waitFor([&] {
            position = SendMessageW(bar, PBM_GETPOS, 0, 0);
            high = SendMessageW(bar, PBM_GETRANGE, FALSE, 0);
            return position > 0 && position + 1 < high;
        });
        return under ? "" : "bar " + first + " stood at " + std::to_string(position) + " of " + std::to_string(high);
    }
    if (verb == "live") {
        HWND bar = control(first);
        if (!bar) return "no control " + first;
        const DWORD limit = static_cast<DWORD>(std::atoi(remainder.c_str()));
        const auto underWay = [bar] {
            const LRESULT position = SendMessageW(bar, PBM_GETPOS, 0, 0);
            return position > 0 && position + 1 < SendMessageW(bar, PBM_GETRANGE, FALSE, 0);
        };
        // Asked of every window, the one behind the write window too: a
        // window that does not answer is one that cannot repaint either.
        int answers = 0;
        ULONGLONG slowest = 0;
        const ULONGLONG end = GetTickCount64() + kWaitMs;
        while (underWay() && GetTickCount64() < end) {
            for (HWND w : windowsOf(program.process.dwProcessId)) {
                const ULONGLONG asked = GetTickCount64();
                DWORD_PTR ignored = 0;
                if (!SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, limit * 4, &ignored))
                    return "window \"" + narrow(textOf(w)) + "\" did not answer";
                slowest = std::max(slowest, GetTickCount64() - asked);
                ++answers;
            }
            Sleep(5);
        }
        std::printf("live: %d answers, the slowest in %llu ms\n", answers, slowest);
        if (answers < 5) return "the write ended before the windows were asked";
        return slowest <= limit ? "" : "a window took " + std::to_string(slowest) + " ms to answer";
    }
    if (verb == "centred") {
        HWND owner = program.current ? GetWindow(program.current, GW_OWNER) : nullptr;
        if (!owner) return "the window belongs to no other";
        RECT over, box;
        GetWindowRect(owner, &over);
        GetWindowRect(program.current, &box);
        const long dx = (box.left + box.right) / 2 - (over.left + over.right) / 2;
        const long dy = (box.top + box.bottom) / 2 - (over.top + over.bottom) / 2;
        // Rounding of odd sizes aside, the two centres are one.
        if (std::labs(dx) > 2 || std::labs(dy) > 2)
            return "the window stands " + std::to_string(dx) + "," + std::to_string(dy) + " off centre";
        return {};
    }
    if (verb == "capture") {
        varnel::test::captureWindow(program.current, rest);
        return {};
    }
    if (verb == "await") {
        const std::wstring path = wide(rest);
        const bool there = waitFor([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; });
        return there ? "" : rest + " did not appear";
    }
    if (verb == "exit") {
        if (WaitForSingleObject(program.process.hProcess, kWaitMs) != WAIT_OBJECT_0) return "the program did not end";
        DWORD code = 0;
        GetExitCodeProcess(program.process.hProcess, &code);
        return code == static_cast<DWORD>(std::atoi(rest.c_str())) ? "" : "exit status " + std::to_string(code);
    }
    return "unknown step";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: varnel-desktop-driver STEPS-FILE\n");
        return 2;
    }
    std::ifstream steps(argv[1]);
    if (!steps) {
        std::fprintf(stderr, "varnel-desktop-driver: cannot read %s\n", argv[1]);
        return 2;
    }
    Program program;
    std::string line;
    for (int number = 1; std::getline(steps, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::size_t space = line.find(' ');
        const std::string verb = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        const std::string fault = play(program, verb, rest);
        if (fault.empty()) continue;
        std::printf("step %d \"%s\": %s\n", number, line.c_str(), fault.c_str());
        if (program.process.hProcess) {
            describeWindows(program);
            TerminateProcess(program.process.hProcess, 99);
        }
        std::fflush(stdout);
        return 1;
    }
    return 0;
}
