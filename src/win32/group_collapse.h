#pragma once

#include <windows.h>

#include <vector>

namespace varnel::win32 {

// A dialog template places every control once, where the layout put it with
// everything shown; Qt's layouts close up around a hidden group box instead.
// This does the same for a window's columns of group boxes: the boxes below
// a hidden one in its column (same left and right edge) move up, with what
// they hold, by the room it took, and move back when it shows again. Other
// controls (the button rows under the columns) stay where they are.
class GroupCollapse {
public:
    // Takes every control's place from the template, before any has moved.
    explicit GroupCollapse(HWND dialog);

    // Moves the controls for the group boxes hidden now.
    void apply() const;

private:
    struct Room {
        HWND group;   // a group box above the control in its column
        int height;   // from its top to the top of the next box below it
    };
    struct Placed {
        HWND control;
        POINT at;  // in the dialog's client coordinates, as the template has it
        std::vector<Room> above;
    };

    HWND dialog_;
    int width_;  // of the window's client area when the places were taken
    std::vector<Placed> placed_;
};

}  // namespace varnel::win32
