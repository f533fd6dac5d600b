#pragma once

class QWidget;

namespace varnel {

// Tells screen readers that a widget's text or value changed while the user
// waits (a status line, a reading, a progress bar), so that they can speak
// it: a name change for a label, a value change for a progress bar.
void announceChange(QWidget& widget);

// Makes a drop-down list speak its own name (its accessible name, else its
// buddy caption) and its choice as its value. Qt's own interface names a
// list by its current text on Linux, so that "Port A speed" would be read as
// "4800". A row of radio buttons outside a group box speaks as a group
// named by its caption. Called once by main, before any window opens.
void installAccessibleNames();

}  // namespace varnel
