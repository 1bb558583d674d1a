// Speech features: the mel-frequency cepstrum of 10 ms frames.
#include "voice/Mfcc.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr int kBands = 26;
constexpr float kLowHz = 100;
constexpr float kHighHz = 7600;

float Mel(float hz) {
    return 2595.f * std::log10(1.f + hz / 700.f);
}
float Hz(float mel) {
    return 700.f * (std::pow(10.f, mel / 2595.f) - 1.f);
}

// In-place radix-2 FFT of Re + i Im, N a power of two.
void Fft(std::vector<float>& re, std::vector<float>& im) {
    const std::size_t n = re.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2 * std::numbers::pi / static_cast<double>(len);
        const float wr = static_cast<float>(std::cos(angle)),
                    wi = static_cast<float>(std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            float cr = 1, ci = 0;
            for (std::size_t k = 0; k < len / 2; ++k) {
                const std::size_t a = i + k, b = a + len / 2;
                const float tr = re[b] * cr - im[b] * ci;
                const float ti = re[b] * ci + im[b] * cr;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
                const float nr = cr * wr - ci * wi;
                ci = cr * wi + ci * wr;
                cr = nr;
            }
        }
    }
}
} // namespace

TMfcc::TMfcc(uint32_t sampleRate) : rate_(std::max<uint32_t>(sampleRate, 8000)) {
    window_ = static_cast<int>(rate_ / 40); // 25 ms
    fftSize_ = 1;
    while (fftSize_ < window_)
        fftSize_ <<= 1;
    hamming_.resize(window_);
    for (int i = 0; i < window_; ++i)
        hamming_[i] =
            static_cast<float>(0.54 - 0.46 * std::cos(2 * std::numbers::pi * i / (window_ - 1)));
    const float high = std::min(kHighHz, 0.475f * static_cast<float>(rate_));
    const float lo = Mel(kLowHz), hi = Mel(high);
    const float binHz = static_cast<float>(rate_) / static_cast<float>(fftSize_);
    for (int b = 0; b < kBands; ++b) {
        const float left = Hz(lo + (hi - lo) * b / (kBands + 1));
        const float centre = Hz(lo + (hi - lo) * (b + 1) / (kBands + 1));
        const float right = Hz(lo + (hi - lo) * (b + 2) / (kBands + 1));
        const int first = static_cast<int>(std::ceil(left / binHz));
        const int last = std::min(static_cast<int>(right / binHz), fftSize_ / 2);
        std::vector<float> w;
        for (int k = first; k <= last; ++k) {
            const float f = static_cast<float>(k) * binHz;
            w.push_back(f <= centre ? (f - left) / (centre - left)
                                    : (right - f) / (right - centre));
        }
        bandFirst_.push_back(first);
        bands_.push_back(std::move(w));
    }
    dct_.resize(kCepstra * kBands);
    for (int c = 0; c < kCepstra; ++c)
        for (int b = 0; b < kBands; ++b)
            dct_[c * kBands + b] =
                static_cast<float>(std::cos(std::numbers::pi * (c + 1) * (b + 0.5) / kBands));
    re_.resize(fftSize_);
    im_.resize(fftSize_);
}

void TMfcc::Push(const int16_t* samples, std::size_t count) {
    samplesIn_ += count;
    Feed(samples, count);
}

void TMfcc::Feed(const int16_t* samples, std::size_t count) {
    pending_.insert(pending_.end(), samples, samples + count);
    fed_ += count;
    // Frame K starts at sample floor(K * rate / 100), exact on average at any rate.
    while (nextStart_ + static_cast<uint64_t>(window_) <= fed_) {
        Frame(pending_.data() + (nextStart_ - pendingFirst_));
        nextStart_ = static_cast<uint64_t>(energyDb_.size()) * rate_ / kFramesPerSecond;
    }
    const std::size_t used = static_cast<std::size_t>(nextStart_ - pendingFirst_);
    if (used > 0) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
        pendingFirst_ = nextStart_;
    }
}

void TMfcc::PushSilence(int ms) {
    const std::vector<int16_t> zero(static_cast<std::size_t>(rate_ / 100), 0);
    for (int i = 0; i < ms / 10; ++i)
        Push(zero.data(), zero.size());
}

void TMfcc::Finish() {
    // Every frame that starts within the sound, and none after it.
    const uint64_t wanted = (samplesIn_ * kFramesPerSecond + rate_ - 1) / rate_;
    const std::vector<int16_t> zero(static_cast<std::size_t>(window_), 0);
    while (energyDb_.size() < wanted)
        Feed(zero.data(), zero.size());
    energyDb_.resize(std::min<std::size_t>(energyDb_.size(), wanted));
    frames_.resize(energyDb_.size() * kDims);
    pending_.clear();
    pendingFirst_ = nextStart_ = fed_ = samplesIn_ = 0;
}

void TMfcc::Frame(const float* window) {
    double energy = 0;
    for (int i = 0; i < window_; ++i) {
        re_[i] = window[i] * hamming_[i];
        im_[i] = 0;
        energy += static_cast<double>(window[i]) * window[i];
    }
    std::fill(re_.begin() + window_, re_.end(), 0.f);
    std::fill(im_.begin() + window_, im_.end(), 0.f);
    Fft(re_, im_);
    float logBands[kBands];
    for (int b = 0; b < kBands; ++b) {
        double sum = 0;
        const auto& w = bands_[b];
        for (std::size_t k = 0; k < w.size(); ++k) {
            const int bin = bandFirst_[b] + static_cast<int>(k);
            sum += w[k] * (re_[bin] * re_[bin] + im_[bin] * im_[bin]);
        }
        logBands[b] = static_cast<float>(std::log(sum + 1.0));
    }
    for (int c = 0; c < kCepstra; ++c) {
        float v = 0;
        for (int b = 0; b < kBands; ++b)
            v += dct_[c * kBands + b] * logBands[b];
        frames_.push_back(v);
    }
    const float db = static_cast<float>(10 * std::log10(energy / window_ + 1.0));
    frames_.push_back(db / 10);
    energyDb_.push_back(db);
}

void TMfcc::Normalise() {
    const int n = FrameCount();
    if (n == 0)
        return;
    for (int d = 0; d < kDims; ++d) {
        double sum = 0, sq = 0;
        for (int k = 0; k < n; ++k) {
            const double v = frames_[static_cast<std::size_t>(k) * kDims + d];
            sum += v;
            sq += v * v;
        }
        const double mean = sum / n;
        const double sd = std::sqrt(std::max(sq / n - mean * mean, 1e-6));
        for (int k = 0; k < n; ++k) {
            float& v = frames_[static_cast<std::size_t>(k) * kDims + d];
            v = static_cast<float>((v - mean) / sd);
        }
    }
}
