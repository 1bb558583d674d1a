// Saving a tale's story so that no story is lost: the tale's file
// ("Goldilox.txt") holds the story saved last, and a different story that it
// held is first kept beside it under its dated name (TDatedName, from the
// old file's time, " (2)" and on when taken), with the old file's time.
// Saving the same story again keeps no copy. Every file is written whole
// beside its place and renamed, so a save that dies leaves every story whole.
#pragma once
#include <string>
#include <string_view>

class TSavedStory {
public:
    // Writes Bytes (a saved story file) as Folder + Tale + ".txt", keeping a
    // different story there first. Returns the kept copy's file name, empty
    // when none was kept. Raises std::runtime_error "Save: ..." with the
    // system's reason when it cannot; the tale's file is then as it was.
    static std::string Save(const std::string& folder, const std::string& tale,
                            std::string_view bytes);
    // Whether two saved story files hold the same story as the book reads it
    // back (an editor's other line ends or encoding make no difference).
    static bool SameStory(std::string_view a, std::string_view b);
};
