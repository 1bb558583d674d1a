// The palette operation every window that paints library images shares.
#pragma once

class QWidget;
class TRL8Library;

// Selects the library's palette into the form's drawing target as a
// foreground palette and realises it; when entries changed, the whole form is
// repainted (without erasing). Returns the number of changed entries: 0 when
// Library is missing, closed or has no palette, and 0 on a true-colour screen
// (depth above 8), where realising changes no screen colour.
int RealizeFormPalette(QWidget* form, TRL8Library* library);
