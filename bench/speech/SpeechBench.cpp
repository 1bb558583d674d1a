// Reading-aloud speed. The synthesis of one sentence is what stands between
// pressing "Read to me" and the first sample on the device, and it must stay
// well below the length of the speech it makes so that the next sentence is
// ready before the current one ends. Peer: the sentence finding and mapping
// of a whole story, done once per Start.
#include <benchmark/benchmark.h>

#include <string>

#include "book/Book.h"
#include "reading/StorySentences.h"
#include "platform/FixedCanvas.h"
#include "platform/SpeechSynth.h"

namespace {

const char* const kSentences[] = {
    "Cinderella and the Glass Slipper",
    "Once upon a time, in a tall old house at the edge of town, there lived a girl named "
    "Cinderella.",
    "Her new stepmother, Lady Agatha Grimshaw, was a proud, sharp-tongued woman with two "
    "daughters of her own, Griselda and Prunella, who were as vain as peacocks and twice as "
    "noisy.",
};

void BM_SynthesizeSentence(benchmark::State& state) {
    static std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    if (!synth) {
        state.SkipWithError("this build has no speech engine");
        return;
    }
    const std::string text = kSentences[state.range(0)];
    plat::SpeechPcm pcm;
    for (auto _ : state) {
        synth->Synthesize(text, pcm);
        benchmark::DoNotOptimize(pcm.Samples.data());
    }
    const double speechSeconds = double(pcm.Samples.size()) / pcm.SampleRate;
    state.counters["speech_ms"] = speechSeconds * 1000;
    // Seconds of speech made per second of synthesis.
    state.counters["x_realtime"] =
        benchmark::Counter(speechSeconds, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SynthesizeSentence)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_FindAndMapSentences(benchmark::State& state) {
    std::string text = std::string(kSentences[0]) + "\\n\\n";
    for (int i = 0; i < 40; ++i)
        text += std::string(kSentences[1 + i % 2]) + (i % 4 == 3 ? "\\n\\n" : " ");
    plat::FixedCanvas canvas(7, 16);
    TBook book;
    book.MarginX = book.MarginY = 8;
    book.Paginate(&canvas, TRect{0, 0, 216, 320}, text.c_str());
    for (auto _ : state) {
        TStorySentences sentences;
        sentences.Build(text.c_str(), book.Pages);
        benchmark::DoNotOptimize(sentences.Items.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_FindAndMapSentences)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
