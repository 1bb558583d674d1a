// "Read to me" through the storybook window, on the offscreen platform with
// the build's speech engine and a test wave-out device: from the button press
// to the first sample handed to the device (the first sentence synthesized,
// the highlight drawn, the button's picture changed), and from a sentence's
// done message to the next sentence handed over (the sentence synthesized
// ahead collected, the highlight moved, sometimes a page turned). Peer: the
// engine's synthesis of the same first sentence alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <thread>

#include "BenchFolders.h"
#include "app/FormGame.h"
#include "book/forms/FormBook.h"
#include "data/InitGame.h"
#include "image/Random.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "platform/PrivateProfile.h"
#include "platform/SpeechSynth.h"
#include "platform/TestWaveOutService.h"
#include "platform/WaveOutService.h"

namespace {

// The game's folders, a story in the book and the reader's device.
class Reading {
public:
    Reading() {
        plat::WriteProfileString("Game", "Sound", "1", SettingsFileName);
        auto service = std::make_unique<plat::TestWaveOutService>();
        device = service.get();
        previous_ = plat::SetWaveOutService(std::move(service));
        game = std::make_unique<TFormGame>();
        book = std::make_unique<TFormBook>(*game->Generator(), *game->Library());
        game->SetWindows(nullptr, book.get());
        book->TaleNumber = 1;
        book->show();
        SetRandSeed(4242); // the same story in every benchmark
        book->cmdNewStoryClick();
        QCoreApplication::processEvents();
    }
    ~Reading() {
        book.reset();
        game.reset();
        plat::SetWaveOutService(std::move(previous_));
    }
    bool Ok() const { return book && book->pbxReadToMe.isVisibleTo(book.get()); }

    plat::TestWaveOutService* device = nullptr;
    std::unique_ptr<TFormGame> game;
    std::unique_ptr<TFormBook> book;

private:
    TBenchFolders folders_;
    std::unique_ptr<plat::WaveOutService> previous_;
};

// Arg: the spread read from (1: the title first; 3: a sentence of the story).
void BM_PressToFirstSample(benchmark::State& state) {
    Reading r;
    if (!r.Ok()) {
        state.SkipWithError("no speech engine in this build");
        return;
    }
    r.book->ShowPages(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        r.book->pbxReadToMeClick();
        if (!r.device->Playing()) {
            state.SkipWithError("nothing was handed to the device");
            break;
        }
        state.PauseTiming();
        r.book->pbxReadToMeClick(); // stop
        r.device->DeliverMessages();
        // The sentence being synthesized ahead finishes before the next press.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PressToFirstSample)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

// The peer: the first sentence the button reads from spread Arg, synthesized alone.
void BM_SynthesizeFirstSentence(benchmark::State& state) {
    Reading r;
    std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    if (!r.Ok() || !synth) {
        state.SkipWithError("no speech engine in this build");
        return;
    }
    r.book->ShowPages(static_cast<int>(state.range(0)));
    r.book->pbxReadToMeClick();
    const TStorySentences& sentences = r.book->Reader().Sentences();
    // The first part the reader speaks: a long first sentence is split after
    // an early comma or semicolon.
    std::string text = sentences.Items[r.book->Reader().CurrentSentence()].Speech;
    if (text.size() > TReadAloud::kSplitLonger)
        for (std::size_t i = TReadAloud::kSplitMin;
             i <= TReadAloud::kSplitMax && i + 1 < text.size(); ++i)
            if ((text[i] == ',' || text[i] == ';') && text[i + 1] == ' ') {
                text.resize(i + 1);
                break;
            }
    r.book->pbxReadToMeClick();
    plat::SpeechPcm pcm;
    for (auto _ : state) {
        synth->Synthesize(text, pcm);
        benchmark::DoNotOptimize(pcm.Samples.data());
    }
    state.counters["chars"] = double(text.size());
}
BENCHMARK(BM_SynthesizeFirstSentence)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

// From the done message of one sentence to the next handed to the device,
// after the sentence has played long enough for the one ahead to be ready
// (a sentence plays for seconds; its successor is made in tens of ms).
void BM_SentenceToSentence(benchmark::State& state) {
    Reading r;
    if (!r.Ok()) {
        state.SkipWithError("no speech engine in this build");
        return;
    }
    r.book->ShowPages(1);
    int turns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!r.book->Reader().Reading()) {
            r.book->ShowPages(1);
            r.book->pbxReadToMeClick();
        }
        const int spread = r.book->CurrentPage();
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        r.device->FinishBuffer();
        state.ResumeTiming();
        r.device->DeliverMessages();
        state.PauseTiming();
        turns += r.book->CurrentPage() != spread;
        state.ResumeTiming();
    }
    state.counters["page_turns"] = turns;
}
BENCHMARK(BM_SentenceToSentence)->Iterations(40)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
