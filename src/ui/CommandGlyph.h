// The look of the storybook's command buttons ("Create story", "Read saved
// story" and the commands spread's): Arial at 13 pixels and a two-state
// glyph compiled into the form's resources (normal left, disabled right).
#pragma once
class QPushButton;

// Gives Button its font and the glyph Name (":/glyphs/<Name>.png").
void StyleCommand(QPushButton& button, const char* name);
