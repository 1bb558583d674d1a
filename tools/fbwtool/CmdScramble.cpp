// fbwtool scramble, linefile and lines: the scrambled line files.
#include <cstdio>

#include "Command.h"
#include "data/ObfText.h"
#include "sound/SoundLineFilter.h"

namespace {

bool ParseFilter(Args& args, TLineFilter& filter) {
    std::string kind = "none";
    TakeOption(args, "--filter", kind);
    if (kind == "none")
        filter = nullptr;
    else if (kind == "all")
        filter = [](std::string&) { return true; };
    else if (kind == "sounds")
        filter = SoundLineFilter;
    else
        return false;
    return true;
}

int RunScramble(const Args& given, bool scramble) {
    Args args = given;
    TLineFilter filter;
    if (!ParseFilter(args, filter))
        return Fail("--filter takes none, all or sounds");
    if (args.size() != 2)
        return Fail(std::string("usage: fbwtool ") + (scramble ? "scramble" : "linefile") +
                    " [--filter none|all|sounds] PLAIN OUT");
    if (scramble)
        TObfText::BuildScrambledFile(args[0], args[1], filter);
    else
        TObfText::WriteLineFile(args[0], args[1], filter);
    return 0;
}

int RunLines(const Args& args) {
    if (args.size() != 1)
        return Fail("usage: fbwtool lines FILE");
    TObfText text(args[0]);
    std::string line;
    do {
        text.ReadLine(line);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    } while (!text.AtEnd());
    return FinishOutput();
}

RegisterCommand scrambleCmd({"scramble",
                             "  fbwtool scramble [--filter none|all|sounds] PLAIN OUT\n"
                             "      write the scrambled line file of a plain text file",
                             [](const Args& a) { return RunScramble(a, true); }});
RegisterCommand linefileCmd({"linefile",
                             "  fbwtool linefile [--filter none|all|sounds] PLAIN OUT\n"
                             "      write the unscrambled line file of a plain text file",
                             [](const Args& a) { return RunScramble(a, false); }});
RegisterCommand
    linesCmd({"lines",
              "  fbwtool lines FILE\n"
              "      print the lines of a scrambled line file as the program reads them",
              RunLines});

} // namespace
