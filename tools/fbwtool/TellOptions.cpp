// The told story's options and its generator.
#include "TellOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/Files.h"
#include "platform/TextCodec.h"

bool ParseNumber(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high)
        return false;
    value = v;
    return true;
}

bool TellOptions::Take(Args& args, std::string& error) {
    const std::string programFolder = plat::ExtractFilePath(plat::ExecutablePath());
    files.dataFolder = programFolder + "dat/";
    files.wordsFile = programFolder + "words.dat";
    files.saveWords = false;
    files.saveSettings = false;
    std::string value;
    if (TakeOption(args, "--data", value))
        files.dataFolder = plat::IncludeTrailingSeparator(value);
    if (TakeOption(args, "--words", value))
        files.wordsFile = value;
    TakeOption(args, "--settings", files.settingsFile);
    if (TakeOption(args, "--twist", value) && !ParseNumber(value, 0, 100, twist)) {
        error = "--twist takes a percentage from 0 to 100";
        return false;
    }
    haveHero = TakeOption(args, "--hero", hero);
    haveHeroine = TakeOption(args, "--heroine", heroine);
    if (TakeOption(args, "--seed", value) &&
        !ParseNumber(value, 0, std::numeric_limits<uint32_t>::max(), seed)) {
        error = "--seed takes a number from 0 to 4294967295";
        return false;
    }
    return true;
}

std::unique_ptr<TStoryGenerator> TellOptions::MakeGenerator(std::string& error) const {
    if (!plat::FolderExists(files.dataFolder)) {
        error = "no data folder \"" + files.dataFolder + "\"";
        return nullptr;
    }
    if (!plat::FileExists(files.wordsFile))
        std::fprintf(stderr, "fbwtool: no words file \"%s\": swapped words stay empty\n",
                     files.wordsFile.c_str());
    auto generator = std::make_unique<TStoryGenerator>(files);
    if (!generator->HasTales()) {
        error = "no tale in the data folder \"" + files.dataFolder + "\"";
        return nullptr;
    }
    if (haveHero)
        generator->HeroName = plat::DecodeUtf8OrLatin1(hero);
    if (haveHeroine)
        generator->HeroineName = plat::DecodeUtf8OrLatin1(heroine);
    generator->SetTwistLevel(static_cast<int>(twist));
    if (seed >= 0)
        generator->FixSeed(static_cast<uint32_t>(seed));
    return generator;
}
