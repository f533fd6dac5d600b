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

LONG area(const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); }

}  // namespace

GroupCollapse::GroupCollapse(HWND dialog) : dialog_(dialog), width_(clientWidth(dialog)) {
    std::vector<Placed> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT r = clientRect(dialog, child);
        if (control_binding::isKind(child, ControlType::Group)) groups_.push_back({child, r, 0, {}, -1});
        controls.push_back({child, r, -1, 0, -1, {}});
    }
    // Outer boxes first, so that a box is placed before the boxes it holds.
    std::ranges::stable_sort(groups_, std::greater{}, [](const Group& g) { return area(g.at); });

    for (Placed& c : controls) {
        // The innermost box that holds the control, not counting itself.
        for (int g = 0; g < int(groups_.size()); ++g) {
            if (groups_[g].box == c.control) c.self = g;
            else if (holds(groups_[g].at, c.at)) c.group = g;
        }
        // A box's column: the boxes above it with its edges, and the room
        // each takes down to the next box of the column.
        if (c.self < 0) continue;
        for (int g = 0; g < int(groups_.size()); ++g) {
            const RECT& box = groups_[g].at;
            if (box.left != c.at.left || box.right != c.at.right || c.at.top < box.bottom) continue;
            c.above.push_back(g);
            LONG& room = groups_[g].room;
            room = room == 0 ? c.at.top - box.top : std::min(room, c.at.top - box.top);
        }
    }

    // The rows of each box, top down: controls whose heights overlap.
    std::ranges::sort(controls, {}, [](const Placed& c) { return c.at.top; });
    for (Placed& c : controls) {
        if (c.group < 0) continue;
        std::vector<Row>& rows = groups_[c.group].rows;
        if (rows.empty() || c.at.top >= rows.back().bottom) rows.push_back({c.at.top, c.at.bottom, {}});
        rows.back().bottom = std::max(rows.back().bottom, c.at.bottom);
        rows.back().controls.push_back(c.control);
        c.row = int(rows.size()) - 1;
    }
    // An edit box followed by one more control in its row can take that
    // control's width.
    const auto sameRow = [](const Placed& a, const Placed& b) { return a.group == b.group && a.row == b.row; };
    for (Placed& c : controls) {
        if (c.group < 0 || !control_binding::isKind(c.control, ControlType::Edit)) continue;
        const Placed* next = nullptr;
        for (const Placed& o : controls)
            if (sameRow(o, c) && o.at.left >= c.at.right && (!next || o.at.left < next->at.left)) next = &o;
        if (next && std::ranges::none_of(controls,
                                         [&](const Placed& o) { return sameRow(o, c) && o.at.left > next->at.left; })) {
            c.widensInto = next->control;
            c.widenTo = next->at.right;
        }
    }
    for (const Group& g : groups_) boxesBottom_ = std::max(boxesBottom_, g.at.bottom);
    for (Placed& c : controls) {
        if (c.group < 0 && c.self < 0) {
            if (c.at.top >= boxesBottom_) below_.push_back(c);
            continue;
        }
        if (c.self >= 0) groups_[c.self].placed = int(placed_.size());
        placed_.push_back(std::move(c));
    }
}

std::vector<LONG> GroupCollapse::rowShifts(const Group& group) const {
    const std::vector<Row>& rows = group.rows;
    std::vector<LONG> shifts(rows.size() + 1, 0);
    int last = -1;  // the last row shown so far
    for (int i = 0; i < int(rows.size()); ++i) {
        if (std::ranges::none_of(rows[i].controls, shown)) {
            shifts[i] = last < 0 ? 0 : shifts[last];
            continue;
        }
        // A shown row keeps the gap the template leaves above it, under the
        // last row shown, or takes the first row's place.
        shifts[i] = last < 0 ? rows[i].top - rows[0].top : shifts[last] + rows[i - 1].bottom - rows[last].bottom;
        last = i;
    }
    if (last >= 0) shifts.back() = shifts[last] + rows.back().bottom - rows[last].bottom;
    return shifts;
}

void GroupCollapse::apply() const {
    // How far the rows of each box move up within it (and last how much
    // shorter it gets); then how far each control moves up: with its row,
    // with the box that holds it, and, for a box, by what the boxes above it
    // in its column give up.
    std::vector<std::vector<LONG>> shifts;
    for (const Group& g : groups_) shifts.push_back(rowShifts(g));
    const auto givenUp = [&](int g) { return shown(groups_[g].box) ? shifts[g].back() : groups_[g].room; };
    std::vector<LONG> boxShift(groups_.size(), 0);
    const auto shiftOf = [&](const Placed& p) {
        LONG up = p.group < 0 ? 0 : boxShift[p.group] + shifts[p.group][p.row];
        for (int g : p.above) up += givenUp(g);
        return up;
    };
    // Outer boxes come first: a box's shift is known before what it holds.
    for (int g = 0; g < int(groups_.size()); ++g) boxShift[g] = shiftOf(placed_[groups_[g].placed]);

    // Moved to a screen of another DPI, the window has had its controls
    // scaled: the places are scaled as much.
    const int clientNow = clientWidth(dialog_);
    const auto scaled = [&](LONG v) { return width_ > 0 ? MulDiv(v, clientNow, width_) : v; };
    bool moved = false;
    for (const Placed& p : placed_) {
        const bool widened = p.widensInto && !shown(p.widensInto);
        const LONG top = scaled(p.at.top - shiftOf(p));
        const LONG width = scaled((widened ? p.widenTo : p.at.right) - p.at.left);
        const LONG height = scaled(p.at.bottom - p.at.top - (p.self < 0 ? 0 : shifts[p.self].back()));
        const RECT now = clientRect(dialog_, p.control);
        // Only boxes and edit boxes change size: a combo box's height is the
        // height of its drop-down list.
        const bool resize = p.self >= 0 || p.widensInto;
        if (now.top == top && (!resize || (now.right - now.left == width && now.bottom - now.top == height))) continue;
        SetWindowPos(p.control, nullptr, scaled(p.at.left), top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | (resize ? 0 : SWP_NOSIZE));
        moved = true;
    }
    // The lowest shown box now, and what is under the boxes with it.
    LONG bottom = 0;
    for (int g = 0; g < int(groups_.size()); ++g)
        if (shown(groups_[g].box)) bottom = std::max(bottom, groups_[g].at.bottom - boxShift[g] - shifts[g].back());
    const LONG band = bottom > 0 ? boxesBottom_ - bottom : 0;
    if (band != band_) {
        for (const Placed& p : below_)
            SetWindowPos(p.control, nullptr, scaled(p.at.left), scaled(p.at.top - band), 0, 0,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        RECT w;
        GetWindowRect(dialog_, &w);
        SetWindowPos(dialog_, nullptr, 0, 0, w.right - w.left, w.bottom - w.top + scaled(band_) - scaled(band),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        band_ = band;
        moved = true;
    }
    if (moved) InvalidateRect(dialog_, nullptr, TRUE);
}

}  // namespace varnel::win32
