// Where a story's recorded voice lies and how it goes with the story: the
// folder "<story file name> voice" beside the story file ("Goldilox.txt
// voice"), holding a sound file per sentence and their index (TVoiceStore,
// voice/, reads and writes them).
//
// The voice follows its story: a story kept under its dated name when a new
// one is saved over it keeps a copy of the voice (each file a second name of
// the same file where the file system allows, else a copy), while the new
// story keeps the folder, whose recordings of its unchanged sentences it
// still finds; a story binned or moved takes the folder with it; a story
// taken back out of the bin brings it back.
#pragma once
#include <string>

class TStoryVoice {
public:
    // The index's name in the folder: where it is, the story has a voice.
    static constexpr const char* kIndexName = "voice.idx";

    // The voice folder of the story at StoryPath, ending with a separator.
    static std::string FolderOf(const std::string& storyPath);
    // The folder's name beside the story for a story file named FileName.
    static std::string FolderName(const std::string& fileName) { return fileName + " voice"; }
    // Whether the story at StoryPath has a recorded voice (its index).
    static bool Has(const std::string& storyPath);

    // The story at StoryPath was kept as KeptPath: the kept story gets a
    // copy of the voice (where it has none yet). True when there was none to
    // copy or it was copied whole; false, with Why, when the copy failed
    // (what was made of it is removed; the story's own voice is untouched).
    static bool Keep(const std::string& storyPath, const std::string& keptPath,
                     std::string* why = nullptr);
    // The story at From now lies at To: its voice folder follows, renamed,
    // only where To has no voice folder yet. True when there was none to move
    // or it moved; false, with Why, when it could not.
    static bool Follow(const std::string& from, const std::string& to, std::string* why = nullptr);
};
