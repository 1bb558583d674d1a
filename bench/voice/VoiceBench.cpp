// Finding the words of a recording of the longest tale: the recording is the
// game's voice saying the story at a slower pace (stretch 1.4), read as the
// recorder would hand it over. Counters: milliseconds of work per second of
// recording (processor time), the work against the game's voice saying the
// story alone (measured in the same run), and the memory the alignment holds beyond its
// input (features and the warp's cells).
//
// Listen: from the press (what record mode's Listen does: the sentence's
// recording, decoded ahead by TListenAhead, queued on the wave manager) to
// its first sample handed to the device (the test device, which takes what
// it is handed at once), for the longest sentence of that tale: pressed once
// the sentence has been read (the decoding done meanwhile), and pressed the
// moment the sentence is reached (waiting for the decoding); against the
// game's voice saying the same sentence, which is what reading it aloud
// unrecorded waits for before its first sample.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>

#include "platform/OpusCodec.h"
#include "platform/SpeechSynth.h"
#include "platform/WaveOutService.h"
#include "reading/SpokenStory.h"
#include "reading/StorySentences.h"
#include "sound/Resampler.h"
#include "sound/SoundNode.h"
#include "sound/WaveMan.h"
#include "story/StoryText.h"
#include "support/TestWaveOutService.h"
#include "voice/ListenAhead.h"
#include "voice/StoryAligner.h"
#include "voice/TimeWarp.h"
#include "voice/VoiceStore.h"

namespace {

// The longest story fbwtool tells of the ten tales (fixed seed), as the
// book holds it.
const std::string& LongestTale() {
    static const std::string longest = [] {
        std::string best;
        for (int tale = 1; tale <= 10; ++tale) {
            const std::string command =
                std::string(FBW_TOOL) + " tell --seed 1 " + std::to_string(tale) + " 2>/dev/null";
            std::FILE* pipe = popen(command.c_str(), "r");
            if (!pipe)
                continue;
            std::string bytes;
            char buffer[4096];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
                bytes.append(buffer, n);
            pclose(pipe);
            std::string text = ReadSavedStoryText(bytes);
            if (text.size() > best.size())
                best = std::move(text);
        }
        return best;
    }();
    return longest;
}

// The process's peak resident memory so far, in megabytes.
double PeakMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

// Processor time of this process, in seconds (the machine may be shared).
double Now() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double WallMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void BM_AlignLongestTale(benchmark::State& state) {
    const std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    if (!synth || LongestTale().empty()) {
        state.SkipWithError("no voice or no tale");
        return;
    }
    const std::string& text = LongestTale();
    TSpokenStory recording;
    recording.Speak(*synth, text, 1.4f);
    const double seconds = static_cast<double>(recording.Samples.size()) / recording.SampleRate;
    double alignTime = 0, sayTime = 0, warpTime = 0, wallTime = 0;
    const double peakBefore = PeakMb(); // the recording held, nothing aligned yet
    double peakGrowth = 0;
    int64_t cells = 0;
    std::size_t featureBytes = 0;
    for (auto _ : state) {
        // As fbwtool voice align does it: the recording read in while the
        // voice says the story.
        const auto t1 = Now();
        const double w1 = WallMs();
        TStoryAligner aligner;
        std::thread feeding([&] {
            constexpr std::size_t kPiece = 4800;
            for (std::size_t at = 0; at < recording.Samples.size(); at += kPiece)
                aligner.AddRecording(recording.Samples.data() + at,
                                     std::min(kPiece, recording.Samples.size() - at),
                                     recording.SampleRate);
        });
        aligner.Say(*synth, text);
        feeding.join();
        const auto t1b = Now();
        featureBytes = 0;
        const auto words = aligner.Align();
        benchmark::DoNotOptimize(words.data());
        const auto t2 = Now();
        wallTime += WallMs() - w1;
        cells = TTimeWarp::CellsSearched();
        featureBytes = static_cast<std::size_t>(aligner.Aligner().ReferenceFrames() +
                                                aligner.Aligner().RecordingFrames()) *
                       TMfcc::kDims * sizeof(float);
        const double peak = PeakMb();
        peakGrowth = std::max(peakGrowth, peak - peakBefore);
        // The peer: the voice saying the story, its sound handed on and let go.
        TSpokenStory alone;
        alone.Plan(text);
        const auto t3 = Now();
        alone.Say(*synth, text, plat::SpeechSynth::kNormalStretch,
                  [](const int16_t*, std::size_t) {});
        sayTime += Now() - t3;
        alignTime += t2 - t1;
        warpTime += t2 - t1b;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["speech_s"] = seconds;
    state.counters["align_s"] = alignTime / runs;
    // From the start to the words found, as the clock on the wall sees it.
    state.counters["align_wall_s"] = wallTime / runs / 1000;
    state.counters["ms_per_speech_s"] = 1000 * alignTime / runs / seconds;
    state.counters["vs_voice_alone"] = alignTime / sayTime;
    // The warp alone (the features are found while the voice speaks).
    state.counters["warp_ms_per_speech_s"] = 1000 * warpTime / runs / seconds;
    // A byte of step per cell searched, the features and their warp copies
    // (with slopes: three times the features).
    // The peak's growth while aligning (the voice's own work included).
    state.counters["peak_growth_MB"] = peakGrowth;
    state.counters["extra_MB"] = (static_cast<double>(cells) + 3.0 * featureBytes) / 1e6;
}
BENCHMARK(BM_AlignLongestTale)->Unit(benchmark::kSecond)->Iterations(2);

void BM_ListenToFirstSample(benchmark::State& state) {
    const std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    const std::unique_ptr<plat::OpusCodec> codec = plat::CreateOpusCodec();
    if (!synth || !codec || LongestTale().empty()) {
        state.SkipWithError("no voice, no Opus codec or no tale");
        return;
    }
    // The longest sentence, recorded at the microphone's rate.
    std::string sentence;
    for (const TSentence& s : TStorySentences::Find(LongestTale().c_str())) {
        std::string speech = TStorySentences::SpeechText(LongestTale().c_str(), s.Begin, s.End);
        if (speech.size() > sentence.size())
            sentence = std::move(speech);
    }
    plat::SpeechPcm said;
    synth->Synthesize(sentence, 1.4f, said);
    const std::vector<int16_t> take = TResampler::Convert(
        said.Samples.data(), said.Samples.size(), said.SampleRate, plat::OpusCodec::kSampleRate);
    std::string folder = (std::filesystem::temp_directory_path() / "fbw-listen-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string story = folder + "/story.txt";
    TVoiceStore(story, codec.get())
        .Put(sentence, take.data(), take.size(), plat::OpusCodec::kSampleRate, {});

    class Window : public plat::WaveOutWindow {
    public:
        void WaveOutDone(const plat::WaveDoneMessage&) override {}
    } window;
    auto service = std::make_unique<fbwtest::TestWaveOutService>();
    fbwtest::TestWaveOutService* device = service.get();
    auto previous = plat::SetWaveOutService(std::move(service));
    {
        TWaveMan manager(&window, true);
        TVoiceStore store(story, codec.get());
        TListenAhead ahead(plat::CreateOpusCodec());
        constexpr uint16_t kId = 0xF100;
        // Listen as record mode does it: the decoded sound queued and played.
        const auto listen = [&] {
            std::string why;
            const std::vector<int16_t>* samples = ahead.Sound(store, sentence, why);
            if (!samples)
                return false;
            const uint32_t rate = plat::OpusCodec::kSampleRate;
            const plat::WaveFormat format{plat::kWaveFormatPcm, 1, rate, rate * 2, 2, 16, 0};
            manager.Sounds.AddFirst(std::make_unique<TSoundNode>(format, samples->data(),
                                                                 samples->size() * sizeof(int16_t),
                                                                 sfAutoFree, kId)
                                        .release());
            manager.PlaySound(kId, poStopSound | poStopLoop | poAsked, false);
            return device->Playing() != nullptr;
        };
        const auto stop = [&] {
            manager.StopPlaying();
            if (TSoundNode* node = manager.FindSound(kId))
                manager.Sounds.Delete(node);
            device->DeliverMessages();
        };
        std::vector<double> pressed, atOnce, voice;
        for (auto _ : state) {
            // Pressed once the grown-up has read the sentence: its recording
            // was decoded meanwhile.
            state.PauseTiming();
            ahead.Start(store, sentence);
            std::string why;
            ahead.Sound(store, sentence, why);
            state.ResumeTiming();
            double t0 = WallMs();
            if (!listen()) {
                state.SkipWithError("nothing was handed to the device");
                break;
            }
            pressed.push_back(WallMs() - t0);
            state.PauseTiming();
            stop();
            // Pressed the moment the sentence is reached.
            t0 = WallMs();
            ahead.Start(store, sentence);
            listen();
            atOnce.push_back(WallMs() - t0);
            stop();
            const double t1 = WallMs();
            plat::SpeechPcm pcm;
            synth->Synthesize(sentence, 1.4f, pcm);
            voice.push_back(WallMs() - t1);
            state.ResumeTiming();
        }
        if (!pressed.empty()) {
            for (auto* v : {&pressed, &atOnce, &voice})
                std::sort(v->begin(), v->end());
            state.counters["sentence_s"] = static_cast<double>(take.size()) / 48000;
            state.counters["listen_ms"] = pressed[pressed.size() / 2];
            state.counters["listen_worst_ms"] = pressed.back();
            state.counters["at_once_ms"] = atOnce[atOnce.size() / 2];
            state.counters["at_once_worst_ms"] = atOnce.back();
            state.counters["vs_voice_saying_it"] =
                pressed[pressed.size() / 2] / voice[voice.size() / 2];
        }
    }
    plat::SetWaveOutService(std::move(previous));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ListenToFirstSample)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
