// Converting sound between sample rates.
#include "sound/Resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr int kZeros = 16;         // zero crossings of the kernel each side
constexpr int kSteps = 512;        // table entries between two zero crossings
constexpr double kBandEdge = 0.95; // of half the lower rate

// The windowed sinc (Blackman) at 0, 1 / kSteps, ... kZeros zero crossings.
const std::array<float, kZeros * kSteps + 2>& Kernel() {
    static const auto table = [] {
        std::array<float, kZeros * kSteps + 2> t{};
        for (int k = 0; k <= kZeros * kSteps; ++k) {
            const double x = static_cast<double>(k) / kSteps;
            const double sinc =
                k == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
            const double w = static_cast<double>(k) / (kZeros * kSteps); // 0 .. 1
            const double blackman = 0.42 + 0.5 * std::cos(std::numbers::pi * w) +
                                    0.08 * std::cos(2 * std::numbers::pi * w);
            t[static_cast<std::size_t>(k)] = static_cast<float>(sinc * blackman);
        }
        return t;
    }();
    return table;
}

} // namespace

std::vector<int16_t> TResampler::Convert(const int16_t* samples, std::size_t count, uint32_t from,
                                         uint32_t to) {
    if (from == 0 || to == 0 || count == 0)
        return {};
    if (from == to)
        return std::vector<int16_t>(samples, samples + count);
    const auto& kernel = Kernel();
    const std::size_t outCount =
        static_cast<std::size_t>((static_cast<uint64_t>(count) * to + from / 2) / from);
    std::vector<int16_t> out(outCount);
    // The band's edge in cycles per input sample (0.5: half the input's rate).
    const double band = 0.5 * kBandEdge * std::min(1.0, static_cast<double>(to) / from);
    const double scale = 2 * band;            // the kernel's gain at 0
    const double reach = kZeros / (2 * band); // input samples each side
    const double step = static_cast<double>(from) / to;
    const auto last = static_cast<int64_t>(count) - 1;
    for (std::size_t j = 0; j < outCount; ++j) {
        const double t = static_cast<double>(j) * step;
        const int64_t first = std::max<int64_t>(0, static_cast<int64_t>(std::ceil(t - reach)));
        const int64_t end = std::min<int64_t>(last, static_cast<int64_t>(std::floor(t + reach)));
        double sum = 0;
        for (int64_t i = first; i <= end; ++i) {
            const double u = std::abs(t - static_cast<double>(i)) * scale * kSteps;
            const auto k = static_cast<std::size_t>(u);
            if (k >= static_cast<std::size_t>(kZeros * kSteps))
                continue;
            const double f = u - static_cast<double>(k);
            const double h = kernel[k] + (kernel[k + 1] - kernel[k]) * f;
            sum += h * samples[i];
        }
        out[j] = static_cast<int16_t>(std::clamp(std::lround(sum * scale), -32768L, 32767L));
    }
    return out;
}
