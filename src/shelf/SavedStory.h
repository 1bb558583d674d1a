// Saving a story so that no story is lost. A story goes back to the file it
// was read from; any other story goes to its tale's file ("Goldilox.txt").
// Bytes already there are kept beside it under their dated name (TDatedName,
// from the old file's time, " (2)" and on when taken, with the old file's
// time) unless nothing of them is lost: they are the very bytes written,
// the same story in other line ends or encoding, or exactly what the book
// read in and showed whole.
//
// Keeping and writing are one step: the new story is written whole beside
// its place first; only then is the old file given its dated name (a second
// name for the same file where the file system allows, else a copy) and the
// new one renamed into place. A step that fails removes what it made, and a
// copy that a save killed half-way left is found and taken again, so kills
// and failures leave no duplicates.
//
// Where the tale's name is taken by something that cannot hold a story (a
// folder), the story is saved under its dated name for the moment of saving.
//
// Bytes kept under their dated name keep a copy of the story's recorded
// voice (TStoryVoice::Keep); the story saved keeps the voice folder itself.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

class TSavedStory {
public:
    // A story file the book read in: its path, its bytes as read, and whether
    // the book showed every character of them (ReadSavedStoryText's Whole).
    struct Source {
        std::string path;
        std::string bytes;
        bool whole = true;
    };
    struct Saved {
        std::string path;    // the file written
        std::string kept;    // the name the old bytes were kept under, beside Path; "" for none
        bool detour = false; // the tale's name was taken: Path is a dated name
    };

    // Writes Bytes (a saved story file) to Source's path when given, else to
    // Folder + Tale + ".txt" (Folder ends with a separator). Now (nanoseconds
    // since the epoch) names a detour. Raises std::runtime_error "Save: ..."
    // with the system's reason when it cannot; every file is then as it was.
    static Saved Save(const std::string& folder, const std::string& tale, std::string_view bytes,
                      const Source* source, int64_t now);
    // Whether two saved story files hold the same story, every character of
    // it, as the book reads them back (an editor's other line ends or
    // encoding make no difference; a letter the book cannot show does).
    static bool SameStory(std::string_view a, std::string_view b);
};
