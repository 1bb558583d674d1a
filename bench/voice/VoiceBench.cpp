// Finding the words of a recording of the longest tale: the recording is the
// game's voice saying the story at a slower pace (stretch 1.4), read as the
// recorder would hand it over. Counters: milliseconds of work per second of
// recording (processor time), the work against the game's voice saying the
// story alone (measured in the same run), and the memory the alignment holds beyond its
// input (features and the warp's cells).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <sys/resource.h>

#include "platform/SpeechSynth.h"
#include "reading/SpokenStory.h"
#include "story/StoryText.h"
#include "voice/StoryAligner.h"
#include "voice/TimeWarp.h"

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
    double alignTime = 0, sayTime = 0, warpTime = 0;
    const double peakBefore = PeakMb(); // the recording held, nothing aligned yet
    double peakGrowth = 0;
    int64_t cells = 0;
    std::size_t featureBytes = 0;
    for (auto _ : state) {
        const auto t1 = Now();
        TStoryAligner aligner;
        aligner.Say(*synth, text);
        const auto t1b = Now();
        constexpr std::size_t kPiece = 4800;
        for (std::size_t at = 0; at < recording.Samples.size(); at += kPiece)
            aligner.AddRecording(recording.Samples.data() + at,
                                 std::min(kPiece, recording.Samples.size() - at),
                                 recording.SampleRate);
        featureBytes = 0;
        const auto words = aligner.Align();
        benchmark::DoNotOptimize(words.data());
        const auto t2 = Now();
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
    state.counters["ms_per_speech_s"] = 1000 * alignTime / runs / seconds;
    state.counters["vs_voice_alone"] = alignTime / sayTime;
    // Without the voice's own work: the recording's features and the warp.
    state.counters["warp_ms_per_speech_s"] = 1000 * warpTime / runs / seconds;
    // A byte of step per cell searched, the features and their warp copies
    // (with slopes: three times the features).
    // The peak's growth while aligning (the voice's own work included).
    state.counters["peak_growth_MB"] = peakGrowth;
    state.counters["extra_MB"] = (static_cast<double>(cells) + 3.0 * featureBytes) / 1e6;
}
BENCHMARK(BM_AlignLongestTale)->Unit(benchmark::kSecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
