// TKeyTable: every key the game answers, window by window, and what it does.
// One table for the help (fablewhirl --help prints it) and for the manual
// page, which must describe every key of it under its window (a test holds
// the manual to it); a key a window gains or loses is a row here.
#pragma once
#include <span>
#include <string>

class TKeyTable {
public:
    struct Key {
        const char* window; // "The scene", "The book", "My stories", ...
        const char* keys;   // as a player names them: "Ctrl+O", "Tab, Shift+Tab"
        const char* does;   // what they do there
    };
    // In the order the player meets them: the windows, then their keys.
    static std::span<const Key> Keys();
    // The table as the help prints it: each window's name on a line, then
    // each of its keys and what they do.
    static std::string Text();
};
