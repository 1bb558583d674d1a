// Resampling: a tone keeps its pitch, level and place going up and down, and
// a tone the lower rate cannot hold is taken out instead of folding back.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "sound/Resampler.h"

namespace {

std::vector<int16_t> Tone(double hz, uint32_t rate, double seconds) {
    std::vector<int16_t> out(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(10000 * std::sin(2 * std::numbers::pi * hz * i / rate));
    return out;
}

// The error's level against the tone's, in dB, away from the ends.
double ErrorDb(const std::vector<int16_t>& got, double hz, uint32_t rate) {
    const std::vector<int16_t> want = Tone(hz, rate, static_cast<double>(got.size()) / rate);
    double signal = 0, error = 0;
    for (std::size_t i = got.size() / 10; i < got.size() * 9 / 10; ++i) {
        signal += double{1} * want[i] * want[i];
        error += (double{1} * got[i] - want[i]) * (double{1} * got[i] - want[i]);
    }
    return 10 * std::log10(error / signal);
}

TEST(Resampler, ATonePassesBothWaysAndOneTooHighIsTakenOut) {
    for (auto [from, to] : {std::pair{16000u, 48000u}, std::pair{48000u, 16000u},
                            std::pair{22050u, 48000u}, std::pair{48000u, 44100u}}) {
        SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
        const std::vector<int16_t> in = Tone(440, from, 0.5);
        const std::vector<int16_t> out = TResampler::Convert(in.data(), in.size(), from, to);
        EXPECT_EQ(out.size(), (in.size() * to + from / 2) / from);
        EXPECT_LT(ErrorDb(out, 440, to), -40);
    }
    const std::vector<int16_t> high = Tone(12000, 48000, 0.5);
    const std::vector<int16_t> down = TResampler::Convert(high.data(), high.size(), 48000, 16000);
    double level = 0;
    for (std::size_t i = down.size() / 10; i < down.size() * 9 / 10; ++i)
        level = std::max(level, std::abs(double{1} * down[i]));
    EXPECT_LT(level, 100); // 10000 before
}

} // namespace
