#pragma once

class QRadioButton;
class QWidget;

namespace varnel {

// Tells screen readers that a widget's text or value changed while the user
// waits (a status line, a reading, a progress bar), so that they can speak
// it: a name change for a label, a value change for a progress bar.
void announceChange(QWidget& widget);

// Makes a drop-down list speak its own name (its accessible name, else its
// buddy caption) and its choice as its value. Qt's own interface names a
// list by its current text on Linux, so that "Port A speed" would be read as
// "4800". A row of radio buttons named by nameRadioRow speaks as a group.
// Called once by main, before any window opens.
void installAccessibleNames();

// A radio button outside a group box whose caption (the label whose buddy
// it is) stands beside its row: the row becomes a group of that name for a
// screen reader ("Units", "Radio modem"). Called as a window is bound.
void nameRadioRow(QWidget& root, QRadioButton& radio);

}  // namespace varnel
