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
#include "TellOptions.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "story/Generate.h"
#include "story/StoryText.h"

namespace {

constexpr const char* kUsage =
    "usage: fbwtool tell [--data DIR] [--words FILE] [--settings FILE] [--twist PERCENT] "
    "[--hero NAME] [--heroine NAME] [--seed N] [--raw] TALE";

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
    TellOptions options;
    std::string error;
    if (!options.Take(args, error))
        return Fail(error);
    const bool raw = TakeFlag(args, "--raw");
    long long tale = 0;
    if (args.size() != 1 || !ParseNumber(args[0], std::numeric_limits<int>::min(),
                                         std::numeric_limits<int>::max(), tale))
        return Fail(kUsage);
    const std::unique_ptr<TStoryGenerator> made = options.MakeGenerator(error);
    if (!made)
        return Fail(error);
    TStoryGenerator& generator = *made;
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
