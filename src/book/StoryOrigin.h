// Where the story the storybook shows came from: told by the generator at a
// twist level, read from a file, or a talking book's (played in its own
// voice; saving it goes to the tale's file, as a told story's). A story read from a file keeps the
// file's path and bytes, so that saving it goes back to that file and loses
// nothing; a told story gets them once it is saved.
#pragma once
#include <string>
#include <utility>

#include "shelf/SavedStory.h"

struct TStoryOrigin {
    enum class Kind { Told, File, TalkingBook };
    Kind kind = Kind::Told;
    // The twist level (0 none, 1 half, 2 full) whose picture the story's
    // keepsakes show: the level it was told at; none for a file's story,
    // whose twists are not known.
    int twistLevel = 0;
    // The file the story was read from or last saved to; path "" for none.
    TSavedStory::Source file;
    // The names the child typed for the hero and the heroine that the story
    // was told with (Latin-1); empty where none was, and for a file's story.
    std::string hero, heroine;

    static TStoryOrigin Told(int twistLevel, std::string hero = {}, std::string heroine = {}) {
        return {Kind::Told, twistLevel, {}, std::move(hero), std::move(heroine)};
    }
    static TStoryOrigin FromTalkingBook() { return {Kind::TalkingBook, 0, {}, {}, {}}; }
    static TStoryOrigin FromFile(std::string path, std::string bytes, bool whole) {
        return {Kind::File, 0, {std::move(path), std::move(bytes), whole}, {}, {}};
    }
};
