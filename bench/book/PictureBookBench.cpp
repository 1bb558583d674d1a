// Speed of "Make a picture book" in the storybook window on the offscreen
// platform, with the real game library and story generator (full twist,
// fixed seed): the longest of the ten tales on its commands spread, from the
// click on the command to the PDF file closed in the stories folder (the
// offer to open it answered "No"). Target: at most 300 ms.
// Run: build/bench/book/bench_picturebook
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <memory>

#include "BenchFolders.h"
#include "app/FormGame.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/FormBook.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "platform/MessageBox.h"
#include "story/Generate.h"
#include "story/StoryText.h"
#include "support/BookParts.h"

namespace {

void BM_MakePictureBook(benchmark::State& state) {
    TBenchFolders folders;
    auto game = std::make_unique<TFormGame>();
    TStoryGenerator& generator = *game->Generator();
    generator.SetTwistLevel(100);
    // The longest tale's story at this seed.
    int longest = 1;
    std::size_t length = 0;
    for (int tale = 1; tale <= 10; ++tale) {
        generator.FixSeed(7);
        const std::string story = JoinStoryLines(generator.GenerateStory(tale));
        if (story.size() > length) {
            length = story.size();
            longest = tale;
        }
    }
    auto book = std::make_unique<TFormBook>(generator, *game->Library());
    book->StoriesFolder = folders.Install() + "stories/";
    fbwtest::Keepsakes(*book).OpenDocument = [](const std::string&) { return true; };
    book->ShowError = [&](const std::string& m) { state.SkipWithError(m.c_str()); };
    generator.FixSeed(7);
    book->SetStory(JoinStoryLines(generator.GenerateStory(longest)));
    book->TaleNumber = longest;
    book->show();
    QCoreApplication::processEvents();
    book->ShowPages(book->Book().PageCount() | 1);
    auto previous = plat::SetMessageHandler(
        std::make_unique<plat::CapturingMessageHandler>(plat::MsgAnswer::No));
    for (auto _ : state) {
        fbwtest::Child<QPushButton>(*book, "cmdPictureBook").click();
        state.PauseTiming();
        std::filesystem::remove_all(book->StoriesFolder);
        state.ResumeTiming();
    }
    plat::SetMessageHandler(std::move(previous));
    state.counters["tale"] = longest;
    state.counters["storyPages"] = book->Book().PageCount();
    book.reset();
    game.reset();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("MakePictureBook/LongestTale", BM_MakePictureBook)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
