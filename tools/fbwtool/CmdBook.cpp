// fbwtool book: makes the picture book of a story as a PDF file, the story as
// fbwtool tell tells it with the same options: a cover with the story's title
// and the tale's picture at the story's twist, the story's pages and "The
// End"; --booklet: the same book imposed as a folded booklet. The tale's
// picture comes from the game's image library beside the tool.
#include <cstdio>

#include "BookPdf.h"
#include "Command.h"
#include "TellOptions.h"
#include "book/BookLetters.h"
#include "book/PictureBookPlan.h"
#include "book/StoryText.h"
#include "platform/Files.h"
#include "story/TaleTable.h"

namespace {

constexpr const char* kUsage =
    "usage: fbwtool book [--data DIR] [--words FILE] [--twist PERCENT] [--hero NAME] "
    "[--heroine NAME] [--seed N] [--letters classic|easy] [--booklet] TALE OUT.pdf";

int RunBook(const Args& given) {
    Args args = given;
    TellOptions options;
    std::string error;
    if (!options.Take(args, error))
        return Fail(error);
    BookPdfInput input;
    input.face = TBookLetters::kClassicFamily;
    std::string letters;
    if (TakeOption(args, "--letters", letters)) {
        if (letters == "easy")
            input.face = TBookLetters::kEasyReadFamily;
        else if (letters != "classic")
            return Fail("--letters takes classic or easy");
    }
    input.booklet = TakeFlag(args, "--booklet");
    long long tale = 0;
    if (args.size() != 2 || args[1].empty() || !ParseNumber(args[0], 1, TTaleTable::kCount, tale))
        return Fail(kUsage);
    const std::string out = args[1];

    const std::unique_ptr<TStoryGenerator> generator = options.MakeGenerator(error);
    if (!generator)
        return Fail(error);
    const auto& lines = generator->GenerateStory(static_cast<int>(tale));
    input.story = ResolveStoryLineEnds(JoinStoryLines(lines));
    input.libraryPath = plat::ExtractFilePath(plat::ExecutablePath()) + "yarns.rl8";
    if (!plat::FileExists(input.libraryPath))
        return Fail("no image library \"" + input.libraryPath + "\"");
    input.pictureName = TTaleTable::ShortName(static_cast<int>(tale));
    input.pictureLevel = TPictureBookPlan::PictureLevel(static_cast<int>(options.twist));

    std::string pdf;
    if (!MakeBookPdf(input, pdf, error))
        return Fail(error);
    // Written whole beside OUT and renamed: a failure keeps what was there.
    if (!plat::WriteFileAtomic(out, pdf, &error))
        return Fail("cannot write " + out + ": " + error);
    return 0;
}

RegisterCommand bookCmd({"book",
                         "  fbwtool book [--data DIR] [--words FILE] [--twist PERCENT] "
                         "[--hero NAME] [--heroine NAME] [--seed N] [--letters classic|easy] "
                         "[--booklet] TALE OUT.pdf\n"
                         "      make the picture book of a story of tale TALE (1 to 10), told as\n"
                         "      tell tells it, as a PDF file (--booklet: as a folded booklet)",
                         RunBook});

} // namespace
