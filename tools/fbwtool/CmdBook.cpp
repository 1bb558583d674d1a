// fbwtool book: makes the picture book of a story as a PDF file, the story as
// fbwtool tell tells it with the same options: a cover with the story's title
// and the tale's picture at the story's twist, the story's pages and "The
// End"; --booklet: the same book imposed as a folded booklet. The tale's
// picture comes from the game's image library beside the tool. --epub: the
// talking book instead, an EPUB 3 that reads itself aloud in the game's voice
// at the pace --pace names.
#include <cstdio>
#include <ctime>

#include "BookPdf.h"
#include "Command.h"
#include "TellOptions.h"
#include "book/BookLetters.h"
#include "keepsake/PictureBookPlan.h"
#include "keepsake/TalkingBook.h"
#include "platform/Files.h"
#include "platform/Mp3Encoder.h"
#include "platform/SpeechSynth.h"
#include "platform/ZipPacker.h"
#include "reading/ReadingPace.h"
#include "story/StoryText.h"
#include "story/TaleTable.h"

namespace {

constexpr const char* kUsage =
    "usage: fbwtool book [--data DIR] [--words FILE] [--twist PERCENT] [--hero NAME] "
    "[--heroine NAME] [--seed N] [--letters classic|easy] [--booklet] TALE OUT.pdf\n"
    "       fbwtool book [the same options] [--pace slow|normal|quick] --epub TALE OUT.epub";

// The talking book of Input's story into Out.
int MakeEpub(const BookPdfInput& input, bool big, TReadingPace::Pace pace, const std::string& out) {
    // The voice takes a while: a folder that is not there fails first.
    const std::string folder = plat::ExtractFilePath(out);
    if (!folder.empty() && !plat::FolderExists(folder))
        return Fail("cannot write " + out + ": no folder " + folder);
    TTalkingBook::Input book;
    book.Story = input.story;
    TBookLetters chosen;
    chosen.face = input.face == TBookLetters::kEasyReadFamily ? TBookLetters::Face::EasyRead
                                                              : TBookLetters::Face::Classic;
    chosen.big = big;
    book.Face = TTalkingBook::LettersFor(chosen);
    if (!book.Face.FontPath.empty() && !plat::ReadWholeFile(book.Face.FontPath, book.FontBytes))
        book.FontBytes.clear();
    std::string error;
    if (!MakeCoverPng(input, TTalkingBook::kCoverScale, book.CoverPng, error))
        return Fail(error);
    book.CoverAlt = "The picture of the tale " + input.pictureName;
    book.Identifier = TTalkingBook::NewIdentifier();
    book.Modified = std::time(nullptr);
    std::string epub;
    try {
        const auto synth = plat::CreateSystemSpeechSynth();
        const auto encoder = plat::CreateMp3Encoder();
        const auto packer = plat::CreateZipPacker();
        epub = TTalkingBook::Make(book, synth.get(), TReadingPace::Stretch(pace), encoder.get(),
                                  packer.get());
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
    if (!plat::WriteFileAtomic(out, epub, &error))
        return Fail("cannot write " + out + ": " + error);
    return 0;
}

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
    const bool epub = TakeFlag(args, "--epub");
    const bool big = TakeFlag(args, "--big");
    TReadingPace::Pace pace = TReadingPace::Pace::Normal;
    std::string paceName;
    if (TakeOption(args, "--pace", paceName)) {
        if (paceName == "slow")
            pace = TReadingPace::Pace::Slow;
        else if (paceName == "quick")
            pace = TReadingPace::Pace::Quick;
        else if (paceName != "normal")
            return Fail("--pace takes slow, normal or quick");
    }
    if (epub && input.booklet)
        return Fail("--epub and --booklet make different books: give one");
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

    if (epub)
        return MakeEpub(input, big, pace, out);
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
                         "  fbwtool book [the same options] [--big] [--pace slow|normal|quick] "
                         "--epub TALE OUT.epub\n"
                         "      make the picture book of a story of tale TALE (1 to 10), told as\n"
                         "      tell tells it, as a PDF file (--booklet: as a folded booklet);\n"
                         "      --epub: its talking book, an EPUB 3 that reads itself aloud in\n"
                         "      the game's voice at the pace given (--big: bigger letters)",
                         RunBook});

} // namespace
