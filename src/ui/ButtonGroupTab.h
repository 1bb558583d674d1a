// One Tab stop for an exclusive group of buttons, as for radio buttons: the
// checked button takes the focus by Tab (and a click), the others only by a
// click or the arrow keys, which move the choice.
#pragma once
class QButtonGroup;

// Keeps Group's Tab stop on its checked button from now on (Group holds
// its buttons).
void TabStopOnChecked(QButtonGroup& group);
