// The game's keys.
#include "base/KeyTable.h"

#include <string_view>

namespace {

const TKeyTable::Key kKeys[] = {
    {"The loading window", "Any key", "start the game once it has loaded"},

    {"The scene", "Tab, Shift+Tab",
     "go to the next or the previous character, the word book, the sign or the bird"},
    {"The scene", "Arrow keys", "go to the nearest one in that direction"},
    {"The scene", "Enter, Space",
     "press the one with the focus: open its tale or the word lists, switch the sound, quit"},
    {"The scene", "Escape", "take the focus away"},
    {"The scene", "Ctrl+O", "open My stories"},

    {"The book", "Tab, Shift+Tab", "go from control to control, in reading order"},
    {"The book", "Right, Page Down", "turn to the next page"},
    {"The book", "Left, Page Up", "turn back a page"},
    {"The book", "Enter, Space",
     "press the control with the focus (Read to me, Show the twists, a twisted word, a button)"},
    {"The book", "Left, Right on a twisted word", "go to the twisted word before or after"},
    {"The book", "Arrow keys on the reading pace", "read more slowly or more quickly"},
    {"The book", "Escape", "close the book"},

    {"My stories", "Arrow keys", "go from card to card"},
    {"My stories", "Page Up, Page Down", "go a screen of cards up or down"},
    {"My stories", "Enter", "open the card chosen, or press the button with the focus"},
    {"My stories", "Delete", "put the card chosen in the bin, after asking"},
    {"My stories", "Ctrl+Z", "Undo: take the last story put in the bin back out"},
    {"My stories", "Tab, Shift+Tab", "go between the cards, the buttons and Which stories"},
    {"My stories", "Escape", "close My stories"},

    {"The word lists", "Tab, Shift+Tab",
     "go from the word types to the new word box, the list, its button, the page's boxes "
     "and Close"},
    {"The word lists", "Left, Right on the word types", "show the word type before or after"},
    {"The word lists", "Ctrl+Tab, Ctrl+Page Down", "show the next word type"},
    {"The word lists", "Ctrl+Shift+Tab, Ctrl+Page Up", "show the word type before"},
    {"The word lists", "Enter in the new word box",
     "keep the word typed and empty the box for the next"},
    {"The word lists", "Escape", "close the word lists"},
};

} // namespace

std::span<const TKeyTable::Key> TKeyTable::Keys() {
    return kKeys;
}

std::string TKeyTable::Text() {
    // Keys in a column of their own, what they do wrapped beside them within
    // a terminal's 79 columns; keys too long for the column stand alone.
    constexpr std::size_t kKeyColumn = 34, kWidth = 79;
    const std::string indent(kKeyColumn, ' ');
    std::string text, window;
    for (const Key& k : kKeys) {
        if (window != k.window) {
            window = k.window;
            text += "  " + window + "\n";
        }
        std::string line = "    " + std::string(k.keys);
        if (line.size() + 2 > kKeyColumn) {
            text += line + "\n";
            line = indent;
        } else {
            line.resize(kKeyColumn, ' ');
        }
        std::string_view does = k.does;
        bool first = true;
        while (!does.empty()) {
            const std::size_t space = does.find(' ');
            const std::string_view word = does.substr(0, space);
            does = space == std::string_view::npos ? std::string_view() : does.substr(space + 1);
            if (!first && line.size() + 1 + word.size() > kWidth) {
                text += line + "\n";
                line = indent;
                first = true;
            }
            if (!first)
                line += ' ';
            line += word;
            first = false;
        }
        text += line + "\n";
    }
    return text;
}
