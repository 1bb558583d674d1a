// The screen cursor table: the game's five cursors, made from the cursor
// pictures and hotspots compiled into the program. Cursors 1 to 3 serve the
// storybook, 4 and 5 the scene.
#pragma once
#include <QCursor>

enum : int {
    kCursorActivate = 1, // "ACTIVATE"
    kCursorArrowRight,   // "ARR_RT"
    kCursorArrowLeft,    // "ARR_LT"
    kCursorArrow1,       // "ARROW_1"
    kCursorArrow2,       // "ARROW_2"
    kCursorCount = 5
};

// Loads "ACTIVATE" as cursor 1, "ARR_RT" as 2, "ARR_LT" as 3, "ARROW_1" as 4
// and "ARROW_2" as 5. A cursor that fails to load is skipped (its slot stays
// empty); loading again replaces the table.
void LoadCursors();
// Whether cursor N (1..5) is loaded.
bool HasScreenCursor(int n);
// Cursor N, or the standard arrow when it is not loaded or N is out of range.
QCursor ScreenCursor(int n);
// Cursor N drawn Scale times as large, each of its pixels a block, with its
// hotspot scaled alike (for a scene shown at that scale); the same cursor
// for the same N and Scale until the table is loaded again; ScreenCursor(N)
// for a scale of 1 or less.
QCursor ScreenCursor(int n, int scale);
// The resource name of cursor N ("ACTIVATE" ... "ARROW_2"); empty when out of range.
const char* ScreenCursorName(int n);
