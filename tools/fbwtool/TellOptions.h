// The options that shape a told story, shared by fbwtool tell and fbwtool
// book: the data folder, the words and settings files, the twist, the names
// and the seed; and the generator they make.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "Command.h"
#include "story/Generate.h"

struct TellOptions {
    TStoryGenerator::Files files;
    long long twist = 100;
    bool haveHero = false, haveHeroine = false;
    std::string hero, heroine;
    long long seed = -1;

    // Takes --data, --words, --settings, --twist, --hero, --heroine and
    // --seed out of Args. False with Error set on a bad value.
    bool Take(Args& args, std::string& error);
    // The generator for these options, after checking the data folder;
    // nullptr with Error set when it has no tale. Warns on stderr when the
    // words file is missing.
    std::unique_ptr<TStoryGenerator> MakeGenerator(std::string& error) const;
};

// A whole decimal integer in [Low, High]; false otherwise.
bool ParseNumber(const std::string& text, long long low, long long high, long long& value);
