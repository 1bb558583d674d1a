// TShowInFolder: a keepsake (a picture book, a talking book) that no program
// on this computer opens. The message says so, names the whole folder that
// holds the file and its name, and offers "Show in folder": the folder opens
// in the desktop's file manager, or where there is none its path goes to the
// clipboard and a message says so. The shelf's Open and the book's "Open it
// now?" both end here.
#pragma once
#include <functional>
#include <string>

class TShowInFolder {
public:
    // With the desktop's own file manager and clipboard.
    TShowInFolder();

    // Opens Folder (ending with a separator) in the desktop's file manager;
    // false where none takes it.
    std::function<bool(const std::string& folder)> OpenFolder;
    // Puts Path (bytes, as the file system names it) on the clipboard.
    std::function<void(const std::string& path)> CopyPath;

    // Tells that no program opened Path, a Kind ("picture book"), naming its
    // folder in full, and shows the folder when the player asks.
    void NoProgramOpens(const std::string& path, const std::string& kind) const;
    // Shows the folder that holds Path, or copies the folder's path where no
    // file manager takes it, and says so.
    void Show(const std::string& path) const;

    // Opens Path with the desktop's program for its kind; false when no
    // program will (no launcher, or one that names no program for it).
    static bool OpenDocument(const std::string& path);
};
