// Trimming, fading and levelling a recorded take.
#include "voice/TakeCleanup.h"

#include <algorithm>
#include <cmath>

namespace {
// Frames of 10 ms: the level of each in dBFS.
std::vector<double> FrameLevels(const std::vector<int16_t>& samples, std::size_t frame) {
    std::vector<double> levels;
    for (std::size_t at = 0; at < samples.size(); at += frame) {
        const std::size_t end = std::min(samples.size(), at + frame);
        double sum = 0;
        for (std::size_t i = at; i < end; ++i)
            sum += static_cast<double>(samples[i]) * samples[i];
        const double rms = std::sqrt(sum / static_cast<double>(end - at)) / 32768.0;
        levels.push_back(20 * std::log10(rms + 1e-9));
    }
    return levels;
}
} // namespace

TTakeCleanup::Result TTakeCleanup::Clean(std::vector<int16_t>& samples, uint32_t sampleRate,
                                         plat::LoudnessMeter* meter) {
    Result result;
    if (samples.empty() || sampleRate == 0)
        return result;
    const std::size_t frame = std::max<std::size_t>(1, sampleRate / 100);
    const std::vector<double> levels = FrameLevels(samples, frame);
    // Speech: frames above -50 dBFS (so that hum or a breath alone is none)
    // and well above the take's quiet floor (its 10th percentile), or, in a
    // take that is speech from end to end, within 20 dB of its speech (its
    // 90th percentile, which a click does not move).
    std::vector<double> sorted = levels;
    std::sort(sorted.begin(), sorted.end());
    const double floor = sorted[sorted.size() / 10];
    const double speech = sorted[sorted.size() * 9 / 10];
    const double loudest = sorted.back();
    const double threshold = std::max(-50.0, std::min(floor + 12, speech - 20));
    if (loudest < threshold)
        return result;
    const auto loud = [&](double level) { return level >= threshold; };
    const std::size_t first =
        static_cast<std::size_t>(std::find_if(levels.begin(), levels.end(), loud) - levels.begin());
    const std::size_t last = static_cast<std::size_t>(
        levels.rend() - std::find_if(levels.rbegin(), levels.rend(), loud) - 1);
    const uint64_t lead = uint64_t{sampleRate} * kLeadMs / 1000;
    const uint64_t tail = uint64_t{sampleRate} * kTailMs / 1000;
    result.Speech = true;
    result.Begin = first * frame > lead ? first * frame - lead : 0;
    result.End = std::min<uint64_t>(samples.size(), (last + 1) * frame + tail);
    samples.erase(samples.begin() + static_cast<std::ptrdiff_t>(result.End), samples.end());
    samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(result.Begin));

    double gain = 1;
    const std::optional<double> lufs =
        meter ? meter->Integrated(samples.data(), samples.size(), sampleRate) : std::nullopt;
    if (lufs) {
        int peak = 1;
        for (int16_t s : samples)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        const double peakGain = std::pow(10.0, kPeakDbfs / 20) * 32767.0 / peak;
        gain = std::min(std::pow(10.0, (kTargetLufs - *lufs) / 20), peakGain);
        result.GainDb = 20 * std::log10(gain);
    }
    // The fades: a raised cosine over kFadeMs at each end.
    const std::size_t fade =
        std::min<std::size_t>(samples.size() / 2, std::size_t{sampleRate} * kFadeMs / 1000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        double g = gain;
        const std::size_t edge = std::min(i, samples.size() - 1 - i);
        if (edge < fade)
            g *= 0.5 - 0.5 * std::cos(M_PI * static_cast<double>(edge) / static_cast<double>(fade));
        samples[i] = static_cast<int16_t>(
            std::clamp(std::lround(samples[i] * g), long{-32768}, long{32767}));
    }
    return result;
}
