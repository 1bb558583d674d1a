// "Read to me" through the storybook window, on the offscreen platform with
// the build's speech engine and a test wave-out device: from the button press
// to the first sample handed to the device (the first sentence synthesized,
// the highlight drawn, the button's picture changed), and from a sentence's
// done message to the next sentence handed over (the sentence synthesized
// ahead collected, the highlight moved, sometimes a page turned). Peer: the
// engine's synthesis of the same first sentence alone. Both at the slow and
// the normal pace. And from the press that goes on after a pause to the
// first sample handed to the device, and on the machine's audio output
// beside the first press.
//
// Reading along: the lit word changed (two words' rectangles drawn again and
// painted) at 592 x 418 and at 1920 x 1080; and, on the machine's audio
// output (a PulseAudio null sink), how long after the played position
// reaches a word the window lights it, and the steps in which the output
// reports its position.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "BenchFolders.h"
#include "app/FormGame.h"
#include "base/Random.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/FormBook.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "data/InitGame.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "platform/PrivateProfile.h"
#include "platform/SpeechSynth.h"
#include "platform/WaveOutService.h"
#include "platform/qt/QtWaveOutService.h"
#include "support/BookParts.h"
#include "support/NullSpeechSynth.h"
#include "support/TestWaveOutService.h"

namespace {

// The game's folders, a story in the book and the reader's device.
class Reading {
public:
    // RealAudio: the machine's audio output instead of the test device.
    explicit Reading(bool realAudio = false) {
        plat::WriteProfileString("Game", "Sound", "1", SettingsFileName);
        if (realAudio) {
            previous_ = plat::SetWaveOutService(std::make_unique<plat::QtWaveOutService>());
        } else {
            auto service = std::make_unique<fbwtest::TestWaveOutService>();
            device = service.get();
            previous_ = plat::SetWaveOutService(std::move(service));
        }
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
    bool Ok() const {
        return book && fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").isVisibleTo(book.get());
    }

    // Picks the pace on the control: 0 slow, 1 normal, 2 quick.
    void Pace(int pace) {
        fbwtest::ReadToMe(*book).pbxReadPaceClick(pace * TReadingPace::kCellWidth +
                                                  TReadingPace::kCellWidth / 2);
    }

    fbwtest::TestWaveOutService* device = nullptr; // none with the real audio output
    std::unique_ptr<TFormGame> game;
    std::unique_ptr<TFormBook> book;

private:
    TBenchFolders folders_;
    std::unique_ptr<plat::WaveOutService> previous_;
};

// Args: the spread read from (1: the title first; 3: a sentence of the
// story) and the pace (0 slow, 1 normal).
void BM_PressToFirstSample(benchmark::State& state) {
    Reading r;
    if (!r.Ok()) {
        state.SkipWithError("no speech engine in this build");
        return;
    }
    r.Pace(static_cast<int>(state.range(1)));
    r.book->ShowPages(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        fbwtest::ReadToMe(*r.book).pbxReadToMeClick();
        if (!r.device->Playing()) {
            state.SkipWithError("nothing was handed to the device");
            break;
        }
        state.PauseTiming();
        fbwtest::ReadToMe(*r.book).Stop(); // a press would pause, and the next go on
        r.device->DeliverMessages();
        // The sentence being synthesized ahead finishes before the next press.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PressToFirstSample)
    ->Args({1, 0})
    ->Args({3, 0})
    ->Args({1, 1})
    ->Args({3, 1})
    ->Unit(benchmark::kMillisecond);

// Going on after a pause: from the press on the paused button to the first
// sample handed to the device. The reading is paused in the second sentence
// read from spread Arg 0 (a whole sentence, not a first one split), at the
// normal pace, and goes on from that sentence's start Arg 1 ms after the
// pause (0: at once, while the sentence after it may still be being made).
void BM_GoOnToFirstSample(benchmark::State& state) {
    Reading r;
    if (!r.Ok()) {
        state.SkipWithError("no speech engine in this build");
        return;
    }
    r.Pace(1);
    r.book->ShowPages(static_cast<int>(state.range(0)));
    const auto wait = std::chrono::milliseconds(state.range(1));
    fbwtest::ReadToMe(*r.book).pbxReadToMeClick();
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the next one made ahead
    r.device->FinishBuffer();
    r.device->DeliverMessages();
    fbwtest::ReadToMe(*r.book).pbxReadToMeClick(); // paused
    r.device->DeliverMessages();
    if (r.book->Reader().State() != TReadState::Paused) {
        state.SkipWithError("not paused");
        return;
    }
    std::this_thread::sleep_for(wait);
    for (auto _ : state) {
        fbwtest::ReadToMe(*r.book).pbxReadToMeClick();
        if (!r.device->Playing()) {
            state.SkipWithError("nothing was handed to the device");
            break;
        }
        state.PauseTiming();
        fbwtest::ReadToMe(*r.book).pbxReadToMeClick(); // paused again
        r.device->DeliverMessages();
        std::this_thread::sleep_for(wait);
        state.ResumeTiming();
    }
    state.counters["chars"] = double(
        r.book->Reader().Sentences().Items[r.book->Reader().CurrentSentence()].Speech.size());
}
BENCHMARK(BM_GoOnToFirstSample)
    ->Args({1, 0})
    ->Args({3, 0})
    ->Args({1, 300})
    ->Args({3, 300})
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

// On the machine's audio output: the first press (from spread 3, at the
// normal pace; stopped between presses) and going on after a pause in the
// first sentence, each from the press to the sound handed to the output;
// medians of the iterations.
void BM_PressAndGoOnOnOutput(benchmark::State& state) {
    Reading r(true);
    if (plat::CurrentWaveOutService().DeviceCount() == 0 || !r.Ok()) {
        state.SkipWithError("no audio output or no speech engine");
        return;
    }
    r.Pace(1);
    std::vector<double> first, goOn;
    auto timed = [&](std::vector<double>& into) {
        QElapsedTimer clock;
        clock.start();
        fbwtest::ReadToMe(*r.book).pbxReadToMeClick();
        into.push_back(clock.nsecsElapsed() / 1e6);
    };
    auto settle = [] {
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    for (auto _ : state) {
        r.book->ShowPages(3);
        timed(first);
        settle();
        fbwtest::ReadToMe(*r.book).pbxReadToMeClick(); // paused
        settle();
        timed(goOn);
        if (r.book->Reader().State() != TReadState::Speaking) {
            state.SkipWithError("not speaking");
            return;
        }
        settle();
        fbwtest::ReadToMe(*r.book).Stop();
        settle();
    }
    std::sort(first.begin(), first.end());
    std::sort(goOn.begin(), goOn.end());
    state.counters["first_press_ms"] = first[first.size() / 2];
    state.counters["go_on_ms"] = goOn[goOn.size() / 2];
    state.counters["go_on_max_ms"] = goOn.back();
}
BENCHMARK(BM_PressAndGoOnOnOutput)->Iterations(10)->Unit(benchmark::kMillisecond);

// The peer: the first sentence the button reads from spread Arg 0, synthesized
// alone at pace Arg 1.
void BM_SynthesizeFirstSentence(benchmark::State& state) {
    Reading r;
    std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    if (!r.Ok() || !synth) {
        state.SkipWithError("no speech engine in this build");
        return;
    }
    r.book->ShowPages(static_cast<int>(state.range(0)));
    fbwtest::ReadToMe(*r.book).pbxReadToMeClick();
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
    fbwtest::ReadToMe(*r.book).pbxReadToMeClick();
    fbwtest::ReadToMe(*r.book).pbxReadToMeClick(); // paused
    r.Pace(static_cast<int>(state.range(1)));
    const float stretch = r.book->Reader().Pace();
    plat::SpeechPcm pcm;
    for (auto _ : state) {
        synth->Synthesize(text, stretch, pcm);
        benchmark::DoNotOptimize(pcm.Samples.data());
    }
    state.counters["chars"] = double(text.size());
}
BENCHMARK(BM_SynthesizeFirstSentence)
    ->Args({1, 0})
    ->Args({3, 0})
    ->Args({1, 1})
    ->Args({3, 1})
    ->Unit(benchmark::kMillisecond);

// The lit word moves on: the reader asked at a position of the next word,
// the two words' rectangles drawn again in the page picture and painted.
// Args: the window's client size.
void BM_LitWordChange(benchmark::State& state) {
    Reading r;
    r.book->SetSpeechSynth(std::make_unique<fbwtest::NullSpeechSynth>());
    r.book->resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    QCoreApplication::processEvents();
    r.book->ShowPages(1);
    fbwtest::ReadToMe(*r.book).pbxReadToMeClick();
    // The title heard: a sentence of the story in the page's own font.
    r.device->FinishBuffer();
    r.device->DeliverMessages();
    TReadAloud& reader = r.book->Reader();
    if (!reader.Reading() || !r.device->Playing() || reader.CurrentSentence() != 1) {
        state.SkipWithError("not reading");
        return;
    }
    fbwtest::Child<QTimer>(*r.book, "tmrReadAlong").stop();
    const TSentence& s = reader.Sentences().Items[reader.CurrentSentence()];
    uint32_t at[2];
    for (int i = 0; i < 2; ++i)
        at[i] = fbwtest::NullSpeechSynth::MsAt(
            static_cast<std::size_t>(s.Words[1 + i].Begin - s.Begin));
    QCoreApplication::processEvents();
    int i = 0;
    int changes = 0;
    for (auto _ : state) {
        r.device->Controls().position = {plat::WavePosition::Unit::Milliseconds, at[i]};
        i ^= 1;
        const int before = reader.LitWord();
        fbwtest::ReadToMe(*r.book).tmrReadAlongTimer();
        fbwtest::Child<QTimer>(*r.book, "tmrReadAlong").stop();
        // The damaged rectangles painted.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
        changes += reader.LitWord() != before;
    }
    state.counters["changes"] = changes;
}
BENCHMARK(BM_LitWordChange)->Args({592, 418})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

// Endless silence for the stream that keeps a null sink awake, as a sound
// card runs.
class Silence : public QIODevice {
public:
    Silence() { open(QIODevice::ReadOnly); }
    qint64 readData(char* data, qint64 max) override {
        std::fill(data, data + max, 0);
        return max;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

// On the machine's audio output: a story spread read aloud for a few seconds
// while the event loop runs; every half millisecond the played position and
// the lit word are looked at. For each word, the lag from the first look at
// which the position had reached it to the first look at which it was lit;
// and the steps in which the position moves (the output's reporting).
void BM_LitWordLag(benchmark::State& state) {
    Reading r(true);
    if (plat::CurrentWaveOutService().DeviceCount() == 0 || !r.Ok()) {
        state.SkipWithError("no audio output or no speech engine");
        return;
    }
    Silence silence;
    QAudioFormat format;
    format.setSampleRate(16000);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    QAudioSink keeper(QMediaDevices::defaultAudioOutput(), format);
    keeper.start(&silence);
    QElapsedTimer wake;
    wake.start();
    while (keeper.processedUSecs() < 2'500'000 && wake.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::vector<double> lags, steps;
    for (auto _ : state) {
        r.book->ShowPages(3);
        fbwtest::ReadToMe(*r.book).pbxReadToMeClick();
        TReadAloud& reader = r.book->Reader();
        QElapsedTimer clock;
        clock.start();
        int sentence = -1;
        std::vector<qint64> reached, lit;
        int64_t lastPosition = -1;
        qint64 lastStepAt = -1;
        while (clock.elapsed() < 8000 && reader.Reading()) {
            QCoreApplication::processEvents();
            const qint64 now = clock.nsecsElapsed() / 1000; // microseconds
            if (reader.CurrentSentence() != sentence) {
                sentence = reader.CurrentSentence();
                reached.assign(64, -1);
                lit.assign(64, -1);
            }
            const int64_t position = reader.Position();
            if (position >= 0 && reader.Times().Matched()) {
                const int due = reader.Times().LitAt(position);
                if (due >= 0 && due < 64 && reached[due] < 0)
                    reached[due] = now;
                if (position != lastPosition) {
                    if (lastStepAt >= 0 && position > lastPosition)
                        steps.push_back((now - lastStepAt) / 1000.0);
                    lastStepAt = now;
                    lastPosition = position;
                }
            }
            if (const int w = reader.LitWord(); w >= 0 && w < 64 && lit[w] < 0) {
                lit[w] = now;
                if (reached[w] >= 0)
                    lags.push_back((lit[w] - reached[w]) / 1000.0);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        if (reader.Reading())
            fbwtest::Turner(*r.book).cmdNextPageClick(); // stops
    }
    keeper.stop();
    if (lags.empty()) {
        state.SkipWithError("no word was lit");
        return;
    }
    std::sort(lags.begin(), lags.end());
    std::sort(steps.begin(), steps.end());
    state.counters["words"] = double(lags.size());
    state.counters["lag_median_ms"] = lags[lags.size() / 2];
    state.counters["lag_p95_ms"] = lags[lags.size() * 95 / 100];
    state.counters["lag_max_ms"] = lags.back();
    if (!steps.empty()) {
        state.counters["report_step_median_ms"] = steps[steps.size() / 2];
        state.counters["report_step_max_ms"] = steps.back();
    }
}
BENCHMARK(BM_LitWordLag)->Iterations(1)->Unit(benchmark::kMillisecond);

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
            fbwtest::ReadToMe(*r.book).pbxReadToMeClick();
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
