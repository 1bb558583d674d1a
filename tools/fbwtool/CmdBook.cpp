// fbwtool book: makes the picture book of a story as a PDF file, the story as
// fbwtool tell tells it with the same options: a cover with the story's title
// and the tale's picture at the story's twist, the story's pages and "The
// End"; --booklet: the same book imposed as a folded booklet. The tale's
// picture comes from the game's image library beside the tool. --epub: the
// talking book instead, an EPUB 3 that reads itself aloud in the game's voice
// at the pace --pace names, written as the voice makes it, with the pictures
// told in words, the names given as its creators and the page breaks of the
// storybook as it opens.
#include <cstdio>
#include <ctime>

#include "BookPdf.h"
#include "Command.h"
#include "FontCanvas.h"
#include "TellOptions.h"
#include "book/Book.h"
#include "book/BookGeometry.h"
#include "book/BookLetters.h"
#include "keepsake/PictureBookPlan.h"
#include "keepsake/TalkingBook.h"
#include "platform/FileStream.h"
#include "platform/Files.h"
#include "platform/Mp3Encoder.h"
#include "platform/SpeechSynth.h"
#include "platform/TextCodec.h"
#include "platform/ZipWriter.h"
#include "reading/ReadingPace.h"
#include "story/StoryText.h"
#include "story/TalePictures.h"
#include "story/TaleTable.h"

namespace {

constexpr const char* kUsage =
    "usage: fbwtool book [--data DIR] [--words FILE] [--twist PERCENT] [--hero NAME] "
    "[--heroine NAME] [--seed N] [--letters classic|easy] [--booklet] TALE OUT.pdf\n"
    "       fbwtool book [the same options] [--pace slow|normal|quick] --epub TALE OUT.epub";

// The storybook's page as the window opens (592 x 418), where the talking
// book's page breaks fall.
constexpr int kOpenPageWidth = 216;
constexpr int kOpenPageHeight = 320;

// Where the storybook's pages start in Story, laid out in Chosen's letters
// on the page as the window opens; empty when no font canvas is at hand.
std::vector<int32_t> StorybookPageStarts(const std::string& story, const TBookLetters& chosen,
                                         std::string& source) {
    std::string error;
    const auto session = OpenFontCanvas(chosen.Family(), chosen.Points(), 96, error);
    if (!session)
        return {};
    TBook book;
    book.MarginX = book.MarginY = TBookGeometry::kMargin;
    book.Paginate(&session->Canvas(), TRect{0, 0, kOpenPageWidth, kOpenPageHeight}, story.c_str());
    source = "the Fablewhirl storybook: " + std::string(chosen.Family()) + " " +
             std::to_string(chosen.Points()) + " pt on pages of " + std::to_string(kOpenPageWidth) +
             " x " + std::to_string(kOpenPageHeight) + " pixels";
    return TBook::PageStarts(book.Pages);
}

// The talking book of Input's story into Out, told with Options.
int MakeEpub(const BookPdfInput& input, const TellOptions& options, int tale, bool big,
             TReadingPace::Pace pace, const std::string& out) {
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
    book.CoverAlt = TTalePictures::Text(tale, input.pictureLevel);
    book.Modified = std::time(nullptr);
    if (options.haveHero)
        book.Hero = plat::DecodeUtf8OrLatin1(options.hero);
    if (options.haveHeroine)
        book.Heroine = plat::DecodeUtf8OrLatin1(options.heroine);
    book.PageStarts = StorybookPageStarts(input.story, chosen, book.PageSource);
    // Written beside OUT as it is made, and renamed over it when whole.
    const auto file = plat::FileStream::CreateAtomic(out, &error);
    if (!file)
        return Fail("cannot write " + out + ": " + error);
    try {
        const auto synth = plat::CreateSystemSpeechSynth();
        const auto encoder = plat::CreateMp3Encoder();
        const auto archive = plat::CreateZipWriter(*file, book.Modified);
        if (!archive)
            throw std::runtime_error("Talking book: no zip library is installed (zlib)");
        TTalkingBook::MakeInto(book, synth.get(), TReadingPace::Stretch(pace), encoder.get(),
                               *archive);
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
    if (!file->Commit())
        return Fail("cannot write " + out + ": " + file->Failure());
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
        return MakeEpub(input, options, static_cast<int>(tale), big, pace, out);
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
