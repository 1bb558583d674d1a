// fbwtool tell: tells one story in the terminal with the story generator.
// It reads the templates, the words file and the settings file, and writes
// neither of the last two. Names given on the command line may be UTF-8 or
// Latin-1; the story comes out in UTF-8 as a saved story file has it (--raw:
// the generator's Latin-1 lines as they are).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "Command.h"
#include "book/StoryText.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "story/Generate.h"

namespace {

constexpr const char* kUsage =
    "usage: fbwtool tell [--data DIR] [--words FILE] [--settings FILE] [--twist PERCENT] "
    "[--hero NAME] [--heroine NAME] [--seed N] [--raw] TALE";

// A whole decimal integer in [Low, High]; false otherwise.
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

// The story as a saved story file has it, with LF line ends (the last line's
// own line end is left out, so the text ends without a space before it).
std::string StoryFileText(const std::vector<std::string>& lines) {
    std::string joined = JoinStoryLines(lines);
    if (joined.size() >= 2)
        joined.resize(joined.size() - 2);
    const std::string crlf = MakeSavedStoryFile(ResolveStoryLineEnds(joined));
    std::string out;
    out.reserve(crlf.size());
    for (std::size_t i = 0; i < crlf.size(); ++i)
        if (!(crlf[i] == '\r' && i + 1 < crlf.size() && crlf[i + 1] == '\n'))
            out += crlf[i];
    return out;
}

int RunTell(const Args& given) {
    Args args = given;
    const std::string programFolder = plat::ExtractFilePath(plat::ExecutablePath());
    TStoryGenerator::Files files;
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
    long long twist = 100;
    if (TakeOption(args, "--twist", value) && !ParseNumber(value, 0, 100, twist))
        return Fail("--twist takes a percentage from 0 to 100");
    std::string hero, heroine;
    const bool haveHero = TakeOption(args, "--hero", hero);
    const bool haveHeroine = TakeOption(args, "--heroine", heroine);
    long long seed = -1;
    if (TakeOption(args, "--seed", value) &&
        !ParseNumber(value, 0, std::numeric_limits<uint32_t>::max(), seed))
        return Fail("--seed takes a number from 0 to 4294967295");
    const bool raw = TakeFlag(args, "--raw");
    long long tale = 0;
    if (args.size() != 1 || !ParseNumber(args[0], std::numeric_limits<int>::min(),
                                         std::numeric_limits<int>::max(), tale))
        return Fail(kUsage);
    if (!plat::FolderExists(files.dataFolder))
        return Fail("no data folder \"" + files.dataFolder + "\"");
    if (!plat::FileExists(files.wordsFile))
        std::fprintf(stderr, "fbwtool: no words file \"%s\": swapped words stay empty\n",
                     files.wordsFile.c_str());

    TStoryGenerator generator(files);
    if (!generator.HasTales())
        return Fail("no tale in the data folder \"" + files.dataFolder + "\"");
    if (haveHero)
        generator.HeroName = plat::DecodeUtf8OrLatin1(hero);
    if (haveHeroine)
        generator.HeroineName = plat::DecodeUtf8OrLatin1(heroine);
    generator.SetTwistLevel(static_cast<int>(twist));
    if (seed >= 0)
        generator.FixSeed(static_cast<uint32_t>(seed));
    const auto& lines = generator.GenerateStory(static_cast<int>(tale));

    std::string out;
    if (raw) {
        for (const std::string& line : lines) {
            out += line;
            out += '\n';
        }
    } else {
        out = StoryFileText(lines);
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return FinishOutput();
}

RegisterCommand tellCmd({"tell",
                         "  fbwtool tell [--data DIR] [--words FILE] [--settings FILE] "
                         "[--twist PERCENT] [--hero NAME] [--heroine NAME] [--seed N] [--raw] "
                         "TALE\n"
                         "      tell one story of tale TALE (1 to 10; any other number picks one)\n"
                         "      without writing the words file or the settings file",
                         RunTell});

} // namespace
