// Synthesis building blocks and the wave file writer.
#include "Signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// Raised-cosine ramp from 0 to 1 over [0, 1].
double Ramp(double x) {
    if (x <= 0)
        return 0;
    if (x >= 1)
        return 1;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * x);
}

void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

Signal::Signal(double seconds, uint32_t seed)
    : samples_(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0), state_(seed) {}

std::size_t Signal::Index(double seconds) const {
    const long i = std::lround(seconds * kRate);
    return static_cast<std::size_t>(std::clamp<long>(i, 0, static_cast<long>(samples_.size())));
}

double Signal::Noise() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
}

void Signal::AddTone(double start, double length, double f0, double f1, double amp,
                     const std::vector<double>& harmonics, double attack, double release,
                     double vibrato, double vibratoHz) {
    const std::size_t from = Index(start), to = Index(start + length);
    double phase = 0;
    for (std::size_t i = from; i < to; ++i) {
        const double t = static_cast<double>(i - from) / kRate;
        const double x = length > 0 ? t / length : 0;
        double f = f0 * std::pow(f1 / f0, x);
        if (vibrato > 0)
            f *= 1 + vibrato * std::sin(kTwoPi * vibratoHz * t);
        phase += kTwoPi * f / kRate;
        double v = 0;
        for (std::size_t h = 0; h < harmonics.size(); ++h)
            if ((h + 1) * f < kRate / 2.0)
                v += harmonics[h] * std::sin(phase * static_cast<double>(h + 1));
        const double env =
            (attack > 0 ? Ramp(t / attack) : 1) * (release > 0 ? Ramp((length - t) / release) : 1);
        samples_[i] += amp * env * v;
    }
}

void Signal::AddStrike(double start, double freq, double amp, const std::vector<double>& ratios,
                       const std::vector<double>& amps, const std::vector<double>& decays,
                       double attack) {
    const std::size_t from = Index(start);
    for (std::size_t i = from; i < samples_.size(); ++i) {
        const double t = static_cast<double>(i - from) / kRate;
        double v = 0;
        for (std::size_t k = 0; k < ratios.size(); ++k) {
            const double f = freq * ratios[k];
            if (f < kRate / 2.0)
                v += amps[k] * std::exp(-t / decays[k]) * std::sin(kTwoPi * f * t);
        }
        samples_[i] += amp * Ramp(t / attack) * v;
    }
}

Signal::BandPass::BandPass(double centre, double q) {
    const double w = kTwoPi * centre / kRate;
    const double alpha = std::sin(w) / (2 * q);
    const double a0 = 1 + alpha;
    b0 = alpha / a0;
    b2 = -alpha / a0;
    a1 = -2 * std::cos(w) / a0;
    a2 = (1 - alpha) / a0;
}

double Signal::BandPass::Step(double x) {
    const double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
}

void Signal::Finish(double targetRms, double peakCap, double fadeIn, double fadeOut) {
    double peak = 0, sum = 0;
    for (double s : samples_) {
        peak = std::max(peak, std::fabs(s));
        sum += s * s;
    }
    if (peak == 0)
        return;
    const double rms = std::sqrt(sum / static_cast<double>(samples_.size()));
    const double gain = std::min(targetRms / rms, peakCap / peak);
    const std::size_t n = samples_.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double rest = static_cast<double>(n - 1 - i) / kRate;
        samples_[i] *= gain * Ramp(t / fadeIn) * Ramp(rest / fadeOut);
    }
}

std::string Signal::WaveFile() const {
    const uint32_t dataSize = static_cast<uint32_t>(samples_.size() * 2);
    std::string out;
    out += "RIFF";
    PutLe(out, 4 + 8 + 16 + 8 + dataSize, 4);
    out += "WAVE";
    out += "fmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);         // PCM
    PutLe(out, 1, 2);         // mono
    PutLe(out, kRate, 4);     // samples per second
    PutLe(out, kRate * 2, 4); // bytes per second
    PutLe(out, 2, 2);         // bytes per frame
    PutLe(out, 16, 2);        // bits per sample
    out += "data";
    PutLe(out, dataSize, 4);
    for (double s : samples_) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        PutLe(out, static_cast<uint32_t>(static_cast<int16_t>(v)) & 0xFFFF, 2);
    }
    return out;
}
