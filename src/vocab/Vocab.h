// The vocabulary: every word the stories can use, one sorted list per word
// class, kept in the words file; makes the story generator's random choices.
// The vocabulary owns its word objects.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vocab/WordFlags.h"

class TPartOfSpeech;

class TVocab {
public:
    // Reads InstallFolder + "words.dat"; writes it back when destroyed.
    TVocab();
    // Reads FileName; writes it back when destroyed only when SaveOnDestroy.
    explicit TVocab(std::string fileName, bool saveOnDestroy = true);
    ~TVocab();
    TVocab(const TVocab&) = delete;
    TVocab& operator=(const TVocab&) = delete;

    // A random word of the class in the form Flags ask for; empty when the
    // class has no candidate. Draws with the process-wide Random().
    std::string ChooseWord(int wordClass, uint16_t flags);
    void ClearUsed(int wordClass);
    void ClearAllUsed();

    // (The rest of the interface is completed with the word classes.)
};
