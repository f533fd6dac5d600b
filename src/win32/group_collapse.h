#pragma once

#include <windows.h>

#include <vector>

namespace varnel::win32 {

// A dialog template places every control once, where the layout put it with
// everything shown; Qt's layouts close up around hidden widgets instead.
// This does the same for a window of group boxes, in two steps:
// - within a box, a row whose controls are all hidden (controls whose
//   heights overlap make a row) gives up its room: the rows below it move
//   up and the box gets shorter by as much;
// - the boxes below a hidden or shortened one in its column (same left and
//   right edge) move up, with what they hold, by the room it gave up.
// Where the last control of a row is hidden, an edit box just before it
// takes its width, as a line edit stretches in Qt. Everything moves back when
// its controls show again. Controls in no box under the columns (the button
// rows) move up by as much as the lowest box now ends higher, and the
// window gets shorter with them, so no empty band is left above them.
class GroupCollapse {
public:
    // Takes every control's place from the template, before any has moved.
    explicit GroupCollapse(HWND dialog);

    // Moves the controls for the rows and group boxes hidden now.
    void apply() const;

private:
    struct Row {
        LONG top, bottom;
        std::vector<HWND> controls;
    };
    struct Group {
        HWND box;
        RECT at;
        LONG room;  // from its top to the top of the next box below it in its column
        std::vector<Row> rows;
        int placed;  // the box's own entry in placed_
    };
    struct Placed {
        HWND control;
        RECT at;                    // in the dialog's client coordinates, as the template has it
        int group;                  // the innermost box that holds it, or -1
        int row;                    // its row in that box
        int self;                   // the box it is, or -1
        std::vector<int> above;     // for a box: the boxes above it in its column
        HWND widensInto = nullptr;  // for an edit box: the control after it, last in its row
        LONG widenTo = 0;           // and that control's right edge
    };

    // How far each row of a box moves up now, and last how much shorter the
    // box gets.
    std::vector<LONG> rowShifts(const Group& group) const;

    HWND dialog_;
    int width_;                  // of the window's client area when the places were taken
    LONG boxesBottom_ = 0;       // the lowest edge of any box, as the template has it
    std::vector<Placed> below_;  // the controls in no box under all of them
    mutable LONG band_ = 0;      // how far those are up now (unscaled)
    std::vector<Group> groups_;
    std::vector<Placed> placed_;
};

}  // namespace varnel::win32
