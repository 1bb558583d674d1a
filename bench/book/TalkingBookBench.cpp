// Speed of "Make a talking book" in the storybook window on the offscreen
// platform, with the real game library, story generator (full twist, fixed
// seed) and voice: the longest of the ten tales on its commands spread, from
// the click on the command to the EPUB file closed in the stories folder (the
// offer to open it answered "No"). Bound: a tenth of the story's spoken
// length. Reports the ratio of the two, the spoken length, and the file's
// size per minute of voice (the whole book and its MP3 alone; read with
// unzip, the counters are 0 without it).
// Run: build/bench/book/bench_talkingbook
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
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

namespace fs = std::filesystem;

namespace {

std::string Run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

// Seconds of an "h:mm:ss.mmm" clock value.
double Seconds(const std::string& clock) {
    int h = 0, m = 0;
    double s = 0;
    std::sscanf(clock.c_str(), "%d:%d:%lf", &h, &m, &s);
    return h * 3600.0 + m * 60.0 + s;
}

void BM_MakeTalkingBook(benchmark::State& state) {
    TBenchFolders folders;
    auto game = std::make_unique<TFormGame>();
    TStoryGenerator& generator = *game->Generator();
    generator.SetTwistLevel(100);
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
    double fileBytes = 0, mp3Bytes = 0, voiceSeconds = 0, madeSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        fbwtest::Child<QPushButton>(*book, "cmdTalkingBook").click();
        madeSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        for (const auto& entry : fs::directory_iterator(book->StoriesFolder)) {
            const std::string path = entry.path().string();
            fileBytes = double(fs::file_size(path));
            const std::string opf = Run("unzip -p '" + path + "' OEBPS/content.opf");
            const std::string key = "<meta property=\"media:duration\">";
            const std::size_t at = opf.find(key);
            if (at != std::string::npos)
                voiceSeconds = Seconds(opf.substr(at + key.size(), 16));
            const std::string list = Run("unzip -lv '" + path + "' | grep voice.mp3");
            mp3Bytes = std::atof(list.c_str());
        }
        fs::remove_all(book->StoriesFolder);
        state.ResumeTiming();
    }
    plat::SetMessageHandler(std::move(previous));
    state.counters["tale"] = longest;
    state.counters["spokenSeconds"] = voiceSeconds;
    // Click to file closed against the story's spoken length (said time).
    state.counters["madePerSpoken"] =
        voiceSeconds > 0 ? madeSeconds / double(state.iterations()) / voiceSeconds : 0;
    state.counters["fileKBPerMinute"] =
        voiceSeconds > 0 ? fileBytes / 1024 / (voiceSeconds / 60) : 0;
    state.counters["mp3KBPerMinute"] = voiceSeconds > 0 ? mp3Bytes / 1024 / (voiceSeconds / 60) : 0;
    book.reset();
    game.reset();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("MakeTalkingBook/LongestTale", BM_MakeTalkingBook)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
