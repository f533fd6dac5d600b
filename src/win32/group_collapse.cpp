#include "win32/group_collapse.h"

#include <algorithm>

#include "win32/form_binding.h"

namespace varnel::win32 {

namespace {

RECT clientRect(HWND dialog, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A control belongs to the box its top left corner is in (a combo box's
// drop-down may reach beyond it).
bool holds(const RECT& box, const RECT& r) {
    return r.left >= box.left && r.left < box.right && r.top >= box.top && r.top < box.bottom;
}

bool shown(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

int clientWidth(HWND dialog) {
    RECT r{};
    GetClientRect(dialog, &r);
    return r.right;
}

}  // namespace

GroupCollapse::GroupCollapse(HWND dialog) : dialog_(dialog), width_(clientWidth(dialog)) {
    std::vector<std::pair<HWND, RECT>> controls, groups;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        controls.emplace_back(child, clientRect(dialog, child));
        if (control_binding::isKind(child, ControlType::Group)) groups.push_back(controls.back());
    }
    for (const auto& [control, r] : controls) {
        Placed p{control, {r.left, r.top}, {}};
        for (const auto& [group, box] : groups) {
            // The boxes below this one in its column; the first of them
            // starts where this one's room ends.
            LONG next = -1;
            bool below = false;
            for (const auto& [other, lower] : groups) {
                if (lower.left != box.left || lower.right != box.right || lower.top < box.bottom) continue;
                next = next < 0 ? lower.top : std::min(next, lower.top);
                below = below || other == control || holds(lower, r);
            }
            if (below) p.above.push_back({group, static_cast<int>(next - box.top)});
        }
        if (!p.above.empty()) placed_.push_back(std::move(p));
    }
}

void GroupCollapse::apply() const {
    // Moved to a screen of another DPI, the window has had its controls
    // scaled: the places are scaled as much.
    const int width = clientWidth(dialog_);
    const auto scaled = [&](int v) { return width_ > 0 ? MulDiv(v, width, width_) : v; };
    bool moved = false;
    for (const Placed& p : placed_) {
        int top = p.at.y;
        for (const Room& room : p.above)
            if (!shown(room.group)) top -= room.height;
        if (clientRect(dialog_, p.control).top == scaled(top)) continue;
        SetWindowPos(p.control, nullptr, scaled(p.at.x), scaled(top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        moved = true;
    }
    if (moved) InvalidateRect(dialog_, nullptr, TRUE);
}

}  // namespace varnel::win32
