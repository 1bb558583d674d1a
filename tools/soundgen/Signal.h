// A mono signal being synthesized: samples as doubles at a fixed rate, the
// building blocks the game's sounds are made of, and the conversion to a
// 16-bit PCM wave file. Everything is deterministic: noise comes from the
// signal's own generator, seeded by the caller.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class Signal {
public:
    static constexpr int kRate = 22050; // samples per second

    // Seconds of silence; Seed starts the noise generator.
    Signal(double seconds, uint32_t seed);

    double Seconds() const { return static_cast<double>(samples_.size()) / kRate; }
    std::vector<double>& Samples() { return samples_; }
    const std::vector<double>& Samples() const { return samples_; }

    // A uniform value in [-1, 1).
    double Noise();

    // A tone from Start for Length seconds whose frequency glides from F0 to
    // F1 (Hz, exponentially); Harmonics are the amplitudes of partials 1, 2,
    // ...; the envelope rises over Attack and falls over Release seconds
    // (raised cosine); Vibrato is the depth (fraction of the frequency) at
    // VibratoHz.
    void AddTone(double start, double length, double f0, double f1, double amp,
                 const std::vector<double>& harmonics, double attack, double release,
                 double vibrato = 0, double vibratoHz = 0);
    // A struck tone: partials at Ratios times Freq with Amps, each decaying
    // exponentially with its time constant in Decays (seconds).
    void AddStrike(double start, double freq, double amp, const std::vector<double>& ratios,
                   const std::vector<double>& amps, const std::vector<double>& decays,
                   double attack = 0.003);
    // Noise through a band-pass filter (centre Hz, quality Q), shaped by
    // Envelope (called with the time since Start, gives the amplitude).
    template <class Envelope>
    void AddNoise(double start, double length, double centre, double q, Envelope envelope);

    // Scales the signal so that its RMS is TargetRms, but its peak at most
    // PeakCap; then fades in over FadeIn and out over FadeOut seconds.
    void Finish(double targetRms, double peakCap, double fadeIn, double fadeOut);

    // The RIFF "WAVE" file: 16-bit PCM, mono, kRate.
    std::string WaveFile() const;

private:
    // One step of a band-pass biquad with the given state.
    struct BandPass {
        double b0, b2, a1, a2;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        BandPass(double centre, double q);
        double Step(double x);
    };
    std::size_t Index(double seconds) const;
    std::vector<double> samples_;
    uint32_t state_;
};

template <class Envelope>
void Signal::AddNoise(double start, double length, double centre, double q, Envelope envelope) {
    BandPass filter(centre, q);
    const std::size_t from = Index(start), to = Index(start + length);
    for (std::size_t i = from; i < to; ++i) {
        const double t = static_cast<double>(i - from) / kRate;
        samples_[i] += filter.Step(Noise()) * envelope(t);
    }
}
